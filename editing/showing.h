#pragma once

#include "base/estimate_file.h"
#include "base/outcome.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QStringList>

namespace vastrel {

// "показать смету": loads the selected estimate's file into the window. The
// fields then no longer match the totals on the panels, so those are emptied.
Outcome showEstimate(const Workspace &workspace, EstimateWindow &window);

// Applies the lines of an estimate file to the estimate as the reader does:
// income code from COD_FIN, income source from CODE_RASCH, the amounts of
// SUM_YEAR lines by the CODE line above them. Entries without an amount
// become empty; a code or source the file does not give stays.
void applyEstimateLines(const EstimateContent &content, Estimate &estimate);

// True when the estimate's file holds an amount of any line (a freshly
// registered estimate holds none); false also when there is no file.
bool estimateHoldsAmounts(const Workspace &workspace, const QString &name);

// The refusal for consolidated estimates, which only their export can show.
QString consolidatedNotShownMessage();

} // namespace vastrel
