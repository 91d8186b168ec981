#include "editing/estimate_window.h"

#include "store/settings.h"
#include "store/table_of_contents.h"

namespace vastrel {

QString EstimateWindow::selectedLine() const
{
    if (selectorIndex < 0 || selectorIndex >= selectorItems.size())
        return QString();
    return selectorItems.at(selectorIndex);
}

Estimate EstimateWindow::estimate() const
{
    return {incomeCode, source, statusCodeOfItem(status), {remainder, income, expenses}};
}

void EstimateWindow::show(const Estimate &estimate)
{
    // An unchanged position keeps a typed text that is no item of the list.
    if (estimate.incomeCode != incomeCode)
        setIncomeCode(estimate.incomeCode);
    source = estimate.source;
    remainder = estimate.entries.remainder;
    income = estimate.entries.income;
    expenses = estimate.entries.expenses;
}

void EstimateWindow::showStored(const QString &name, const Estimate &estimate)
{
    show(estimate);
    incomeTotal.clear();
    expenseTotal.clear();
    changedAfterCalculation = false;
    shownEstimate = name;
}

std::optional<QString> EstimateWindow::selectedName() const
{
    const QString line = selectedLine();
    if (line.isEmpty())
        return std::nullopt;
    return estimateNameOf(line);
}

QString &EstimateWindow::expense(const QString &shortCode)
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

const QString &EstimateWindow::expense(const QString &shortCode) const
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

void EstimateWindow::setIncomeCode(int position)
{
    incomeCode = position;
    incomeCodeText = position >= 0 && position < IncomeCodeCount ? incomeCodes()[size_t(position)].code : QString();
}

} // namespace vastrel
