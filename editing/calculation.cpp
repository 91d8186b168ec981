#include "editing/calculation.h"

#include "domain/amount.h"
#include "domain/error.h"

namespace vastrel {

Outcome calculateTotals(EstimateEntries &entries, EstimateTotals &totals)
{
    QList<std::pair<QString *, Field>> fields = {{&entries.income, Field::Income},
                                                 {&entries.remainder, Field::Remainder}};
    for (size_t i = 0; i < entries.expenses.size(); ++i)
        fields.append({&entries.expenses[i], Field::expenseLine(int(i))});
    for (const auto &[text, field] : fields) {
        if (text->isEmpty())
            *text = QStringLiteral("0");
    }
    QList<double> values;
    for (const auto &[text, field] : fields) {
        try {
            values.append(parseAmount(*text));
        } catch (const Error &error) {
            return Outcome::error(error.text(), field);
        }
    }

    AmountSum incomeTotal;
    incomeTotal.add(values.at(0));
    incomeTotal.add(values.at(1));
    AmountSum expenseTotal;
    for (qsizetype i = 2; i < values.size(); ++i)
        expenseTotal.add(values.at(i));

    double incomeValue = 0;
    double expenseValue = 0;
    try {
        incomeValue = finiteTotal(incomeTotal.value());
        expenseValue = finiteTotal(expenseTotal.value());
    } catch (const Error &error) {
        return Outcome::error(error.text());
    }
    totals = {formatAmount(incomeValue), formatAmount(expenseValue)};
    return Outcome::done();
}

Outcome calculate(EstimateWindow &window)
{
    window.totalsColour = TotalsColour::WindowText;
    EstimateEntries entries{window.remainder, window.income, window.expenses};
    EstimateTotals totals = window.totals();
    const Outcome outcome = calculateTotals(entries, totals);
    // The fields set to "0" keep it whatever the outcome.
    window.remainder = entries.remainder;
    window.income = entries.income;
    window.expenses = entries.expenses;
    if (!outcome)
        return outcome;
    window.incomeTotal = totals.income;
    window.expenseTotal = totals.expense;
    window.totalsColour = window.incomeTotal == window.expenseTotal ? TotalsColour::Black : TotalsColour::Red;
    window.changedAfterCalculation = false;
    return Outcome::done();
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
