#include "editing/estimate_window.h"

namespace vastrel {

QString EstimateWindow::selectedLine() const
{
    if (selectorIndex < 0 || selectorIndex >= selectorItems.size())
        return QString();
    return selectorItems.at(selectorIndex);
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
