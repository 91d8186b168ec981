#include "editing/saving.h"

#include "base/amount.h"
#include "base/base_lock.h"
#include "base/error.h"
#include "base/estimate_file.h"
#include "base/estimate_name.h"
#include "base/settings.h"
#include "base/table_of_contents.h"
#include "editing/calculation.h"

namespace vastrel {

namespace {

// True when the entry fields still give the totals on the panels. The panels
// are emptied whenever a field changes, so this only fails when a caller let
// the fields drift from their totals; the file must never hold amounts whose
// totals were not checked.
bool totalsBelongToFields(const EstimateWindow &window)
{
    EstimateWindow again = window;
    try {
        calculate(again);
    } catch (const Error &) {
        return false;
    }
    return again.incomeTotal == window.incomeTotal && again.expenseTotal == window.expenseTotal;
}

// A save after another copy deleted the estimate would leave a file that no
// record lists. Without a table of contents there is nothing to compare with.
bool stillListed(const Workspace &workspace, const QString &name)
{
    if (!fileExists(workspace.tocPath()))
        return true;
    for (const QString &line : readToc(workspace, OpenFailure::FileNotFound)) {
        if (estimateNameOf(line) == name)
            return true;
    }
    return false;
}

} // namespace

QString changedAfterCalculationMessage()
{
    return QStringLiteral("Смета изменена после расчета. Нажмите «расчет сметы» еще раз.");
}

bool saveEstimate(const Workspace &workspace, const EstimateWindow &window, MessageService &messages,
                  const QDate &today)
{
    const QString selected = window.selectedLine();
    if (selected.isEmpty()) {
        messages.refuse(QStringLiteral("Введите имя для сметы!"));
        return false;
    }
    if (window.incomeTotal.isEmpty() || window.expenseTotal.isEmpty()) {
        messages.refuse(window.changedAfterCalculation ? changedAfterCalculationMessage()
                                                       : QStringLiteral("Пустая смета."));
        return false;
    }
    const QString name = estimateNameOf(selected);
    if (const QString problem = storedEstimateNameProblem(name); !problem.isEmpty()) {
        messages.refuse(problem);
        return false;
    }
    if (window.incomeCode < 0 || window.incomeCode >= IncomeCodeCount) {
        messages.refuse(QStringLiteral("Введите код дохода!"));
        return false;
    }
    if (window.source < 0 || window.source >= IncomeSourceCount) {
        messages.refuse(QStringLiteral("Введите источник дохода!"));
        return false;
    }
    const QString status = statusCodeOfItem(window.status);
    if (status.isEmpty()) {
        messages.refuse(QStringLiteral("Введите юридический статус подразделения!"));
        return false;
    }
    const std::optional<Settings> settings = readSettings(workspace, SettingsBlock::Last);

    const double incomeTotal = parseAmount(window.incomeTotal);
    if (incomeTotal == 0) {
        messages.refuse(QStringLiteral("Пустая смета!"));
        return false;
    }
    const double expenseTotal = parseAmount(window.expenseTotal);
    if (expenseTotal == 0) {
        messages.refuse(QStringLiteral("Пустая смета!"));
        return false;
    }
    if (incomeTotal != expenseTotal) {
        messages.refuse(QStringLiteral("Ошибки в смете!"));
        return false;
    }
    if (!totalsBelongToFields(window)) {
        messages.refuse(changedAfterCalculationMessage());
        return false;
    }

    WindowEstimate estimate;
    estimate.today = today;
    estimate.incomeCode = window.incomeCode;
    estimate.incomeCodeText = incomeCodes()[size_t(window.incomeCode)].code;
    estimate.source = window.source;
    estimate.legalStatus = status;
    estimate.entries = {window.remainder, window.income, window.expenses};
    const BaseLock lock(workspace);
    if (!stillListed(workspace, name)) {
        messages.refuse(QStringLiteral("Смета «%1» удалена из оглавления базы (departments.txt), возможно, "
                                       "другой копией программы. Смета не записана.")
                            .arg(name));
        return false;
    }
    writeEstimateFile(workspace, name, windowEstimateLines(estimate, settings));
    messages.inform(QStringLiteral("Смета успешно записана в базу."));
    return true;
}

} // namespace vastrel
