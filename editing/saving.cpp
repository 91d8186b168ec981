#include "editing/saving.h"

#include "domain/amount.h"
#include "domain/error.h"
#include "editing/calculation.h"
#include "editing/showing.h"
#include "store/base_lock.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/settings.h"
#include "store/table_of_contents.h"

namespace vastrel {

namespace {

// True when the entry fields still give the totals on the panels. The panels
// are emptied whenever a field changes, so this only fails when a caller let
// the fields drift from their totals; the file must never hold amounts whose
// totals were not checked.
bool totalsBelongToFields(const Estimate &estimate, const EstimateTotals &totals)
{
    EstimateEntries entries = estimate.entries;
    EstimateTotals again;
    return calculateTotals(entries, again).ok() && again.income == totals.income && again.expense == totals.expense;
}

// A save after another copy deleted the estimate would leave a file that no
// record lists. Without a table of contents there is nothing to compare with.
bool stillListed(const Workspace &workspace, const QString &name)
{
    return !fileExists(workspace.tocPath()) || listsName(readToc(workspace, OpenFailure::FileNotFound), name);
}

} // namespace

QString changedAfterCalculationMessage()
{
    return QStringLiteral("Смета изменена после расчета. Нажмите «расчет сметы» еще раз.");
}

QString replaceAmountsQuestion(const QString &name)
{
    return QStringLiteral("В смете «%1» уже записаны суммы, а на экране суммы другой сметы. "
                          "Заменить суммы сметы «%1» суммами с экрана?")
        .arg(name);
}

Outcome saveEstimate(const Workspace &workspace, const std::optional<QString> &selectedName, const Estimate &estimate,
                     const SaveBasis &basis, const QDate &today, const ReplaceQuestion &mayReplace)
{
    if (!selectedName) {
        return Outcome::refusal(QStringLiteral("Введите имя для сметы!"));
    }
    const EstimateTotals &totals = basis.totals;
    if (totals.income.isEmpty() || totals.expense.isEmpty()) {
        return Outcome::refusal(basis.changedAfterCalculation ? changedAfterCalculationMessage()
                                                              : QStringLiteral("Пустая смета."));
    }
    const QString &name = *selectedName;
    if (const QString problem = storedEstimateNameProblem(name); !problem.isEmpty()) {
        return Outcome::refusal(problem);
    }
    if (estimate.incomeCode < 0 || estimate.incomeCode >= IncomeCodeCount) {
        return Outcome::refusal(QStringLiteral("Введите код дохода!"));
    }
    if (estimate.source < 0 || estimate.source >= IncomeSourceCount) {
        return Outcome::refusal(QStringLiteral("Введите источник дохода!"));
    }
    if (estimate.legalStatus.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Введите юридический статус подразделения!"));
    }
    const std::optional<Settings> settings = readSettings(workspace, SettingsBlock::Last);

    const double incomeTotal = parseAmount(totals.income);
    if (incomeTotal == 0) {
        return Outcome::refusal(QStringLiteral("Пустая смета!"));
    }
    const double expenseTotal = parseAmount(totals.expense);
    if (expenseTotal == 0) {
        return Outcome::refusal(QStringLiteral("Пустая смета!"));
    }
    if (incomeTotal != expenseTotal) {
        return Outcome::refusal(QStringLiteral("Ошибки в смете!"));
    }
    if (!totalsBelongToFields(estimate, totals)) {
        return Outcome::refusal(changedAfterCalculationMessage());
    }

    if (mayReplace && name != basis.shownEstimate && estimateHoldsAmounts(workspace, name) && !mayReplace(name)) {
        return Outcome::refusal(QString());
    }

    const BaseLock lock(workspace);
    if (!stillListed(workspace, name)) {
        return Outcome::refusal(QStringLiteral("Смета «%1» удалена из оглавления базы (departments.txt), возможно, "
                                               "другой копией программы. Смета не записана.")
                                    .arg(name));
    }
    writeEstimateFile(workspace, name, windowEstimateLines(estimate, today, settings));
    return Outcome::done(QStringLiteral("Смета успешно записана в базу."));
}

} // namespace vastrel
