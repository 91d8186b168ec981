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

} // namespace vastrel
