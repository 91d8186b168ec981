#pragma once

#include "editing/estimate_window.h"

namespace vastrel {

// "расчет сметы": empty fields become "0", the totals are shown in the general
// format, red while their texts differ. A field that is not a number throws
// the conversion Error; the fields already set to "0" keep it and the totals
// keep their previous texts.
void calculate(EstimateWindow &window);

// "очистить смету": empties the entry fields and both totals.
void clearEntries(EstimateWindow &window);

// Any change of an entry field after a calculation: the totals no longer
// belong to the fields, so they are emptied and a save asks for a new one.
void forgetTotals(EstimateWindow &window);

} // namespace vastrel
