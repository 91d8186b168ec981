#pragma once

#include "base/messages.h"
#include "base/workspace.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

namespace vastrel {

// "сложить сметы": sums the selected table-of-contents lines (in list order)
// into a new consolidated estimate, registers it and returns its name; an
// empty name when nothing was written.
QString sumEstimates(const Workspace &workspace, const QStringList &lines, const QList<int> &selected,
                     MessageService &messages, const QDateTime &now = QDateTime::currentDateTime());

} // namespace vastrel
