#include "editing/estimate_window.h"

#include "base/settings.h"

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
    incomeCodeText = position >= 0 && position < IncomeCodeCount ? incomeCodes()[size_t(position)].code
                                                                   : QString();
}

} // namespace vastrel
