#pragma once

#include "base/outcome.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDate>

#include <functional>

namespace vastrel {

// The refusal of a save whose totals were emptied by a later edit.
QString changedAfterCalculationMessage();

// Whether the amounts stored in the named estimate may be replaced; false keeps them.
using ReplaceQuestion = std::function<bool(const QString &name)>;

// "запись сметы в базу": the checks in order, then the estimate file of the
// selected estimate is written from the window. Given a question, a save into
// another estimate than the window's shownEstimate whose file already holds
// amounts asks it first; "нет" ends the save with nothing written or shown.
Outcome saveEstimate(const Workspace &workspace, const EstimateWindow &window,
                     const QDate &today = QDate::currentDate(), const ReplaceQuestion &mayReplace = {});

// The question asked before another estimate's amounts are replaced.
QString replaceAmountsQuestion(const QString &name);

} // namespace vastrel
