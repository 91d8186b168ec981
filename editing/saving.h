#pragma once

#include "base/outcome.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDate>

namespace vastrel {

// The refusal of a save whose totals were emptied by a later edit.
QString changedAfterCalculationMessage();

// "запись сметы в базу": the checks in order, then the estimate file of the
// selected estimate is written from the window.
Outcome saveEstimate(const Workspace &workspace, const EstimateWindow &window,
                     const QDate &today = QDate::currentDate());

} // namespace vastrel
