#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDate>

namespace vastrel {

// The refusal of a save whose totals were emptied by a later edit.
QString changedAfterCalculationMessage();

// "запись сметы в базу": the checks in order, then the estimate file of the
// selected estimate is written from the window. True when written.
bool saveEstimate(const Workspace &workspace, const EstimateWindow &window, MessageService &messages,
                  const QDate &today = QDate::currentDate());

} // namespace vastrel
