#include "editing/calculation.h"

#include "base/amount.h"

namespace vastrel {

void calculate(EstimateWindow &window)
{
    window.totalsColour = TotalsColour::WindowText;

    QList<QString *> fields = {&window.income, &window.remainder};
    for (QString &expense : window.expenses)
        fields.append(&expense);
    for (QString *field : fields) {
        if (field->isEmpty())
            *field = QStringLiteral("0");
    }
    QList<double> values;
    for (const QString *field : fields)
        values.append(parseAmount(*field));

    AmountSum incomeTotal;
    incomeTotal.add(values.at(0));
    incomeTotal.add(values.at(1));
    AmountSum expenseTotal;
    for (qsizetype i = 2; i < values.size(); ++i)
        expenseTotal.add(values.at(i));

    const double incomeValue = finiteTotal(incomeTotal.value());
    const double expenseValue = finiteTotal(expenseTotal.value());
    window.incomeTotal = formatAmount(incomeValue);
    window.expenseTotal = formatAmount(expenseValue);
    window.totalsColour = window.incomeTotal == window.expenseTotal ? TotalsColour::Black : TotalsColour::Red;
    window.changedAfterCalculation = false;
}

void clearEntries(EstimateWindow &window)
{
    window.changedAfterCalculation = false;
    window.incomeTotal.clear();
    window.expenseTotal.clear();
    window.income.clear();
    window.remainder.clear();
    for (QString &expense : window.expenses)
        expense.clear();
}

void forgetTotals(EstimateWindow &window)
{
    if (!window.incomeTotal.isEmpty() || !window.expenseTotal.isEmpty())
        window.changedAfterCalculation = true;
    window.incomeTotal.clear();
    window.expenseTotal.clear();
}

} // namespace vastrel
