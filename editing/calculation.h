#pragma once

#include "domain/estimate.h"
#include "domain/outcome.h"

namespace vastrel {

// "расчет сметы" on the entries: empty entries become "0" and the totals are
// filled on success; `totals` is untouched on failure. A text that is not a
// number fails with the conversion error and names its field (income,
// remainder, then the expense lines).
Outcome calculateTotals(EstimateEntries &entries, EstimateTotals &totals);

} // namespace vastrel
