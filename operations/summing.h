#pragma once

#include "domain/outcome.h"
#include "store/workspace.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace vastrel {

// "сложить сметы": sums the named estimates (the selected lines' names, in
// list order: the last one gives the header) into a new consolidated estimate
// and registers it; the outcome's value is its name. "Выделена только одна
// смета!" is shown on the way, so every message is shown here and the outcome
// holds none. File and conversion errors are thrown (the caller runs it under
// runAction); nothing is written before all named estimates have been read.
Outcome sumEstimates(const Workspace &workspace, const QStringList &names, MessageService &messages,
                     const QDateTime &now = QDateTime::currentDateTime());

// "сводная смета ( 07_12_2026_9_05_33 )": the date, then the time in the
// locale's long time format with "_" between hours, minutes and seconds.
QString consolidatedEstimateName(const QDateTime &when, const QLocale &locale = QLocale::system());

} // namespace vastrel
