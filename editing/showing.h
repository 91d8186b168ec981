#pragma once

#include "domain/estimate.h"
#include "domain/outcome.h"
#include "store/estimate_file.h"
#include "store/workspace.h"

#include <QStringList>

#include <optional>

namespace vastrel {

// "показать смету": reads the named estimate's file into `estimate` (no name:
// nothing is selected). What the file does not give stays as it was.
Outcome showEstimate(const Workspace &workspace, const std::optional<QString> &name, Estimate &estimate);

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
