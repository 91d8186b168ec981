#pragma once

#include "domain/estimate.h"
#include "domain/outcome.h"
#include "store/workspace.h"

#include <QDate>

#include <functional>
#include <optional>

namespace vastrel {

// The refusal of a save whose totals were emptied by a later edit.
QString changedAfterCalculationMessage();

// Whether the amounts stored in the named estimate may be replaced; false keeps them.
using ReplaceQuestion = std::function<bool(const QString &name)>;

// What a save checks besides the estimate: the totals of the last
// calculation, whether an edit emptied them since, and the estimate whose
// amounts the entries came from.
struct SaveBasis
{
    EstimateTotals totals;
    bool changedAfterCalculation = false;
    QString shownEstimate;
};

// "запись сметы в базу": the checks in order, then the file of the named
// estimate (none: nothing is selected) is written from `estimate`. Given a
// question, a save into another estimate than the basis' shownEstimate whose
// file already holds amounts asks it first; "нет" ends the save with nothing
// written or shown.
Outcome saveEstimate(const Workspace &workspace, const std::optional<QString> &name, const Estimate &estimate,
                     const SaveBasis &basis, const QDate &today = QDate::currentDate(),
                     const ReplaceQuestion &mayReplace = {});

// The question asked before another estimate's amounts are replaced.
QString replaceAmountsQuestion(const QString &name);

} // namespace vastrel
