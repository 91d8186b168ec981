#pragma once

#include "domain/outcome.h"
#include "editing/estimate_window.h"

namespace vastrel {

// "расчет сметы": empty fields become "0", the totals are shown in the general
// format, red while their texts differ. A field that is not a number fails
// with the conversion error and names the first such field (income,
// remainder, then the expense lines); the fields already set to "0" keep it
// and the totals keep their previous texts, as they do when a total is too
// large for a number.
Outcome calculate(EstimateWindow &window);

// The calculation on the entries alone: empty entries become "0" and the
// totals are filled on success; `totals` is untouched on failure.
Outcome calculateTotals(EstimateEntries &entries, EstimateTotals &totals);

// "очистить смету": empties the entry fields and both totals.
void clearEntries(EstimateWindow &window);

// Any change of an entry field after a calculation: the totals no longer
// belong to the fields, so they are emptied and a save asks for a new one.
void forgetTotals(EstimateWindow &window);

} // namespace vastrel
