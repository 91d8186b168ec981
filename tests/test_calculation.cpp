#include "domain/error.h"
#include "editing/calculation.h"
#include "windows/state/estimate_window.h"

#include <gtest/gtest.h>

using namespace vastrel;

namespace {

TEST(Calculation, TotalsAndColours)
{
    struct Case
    {
        const char *name;
        const char *income, *remainder;
        std::vector<std::pair<const char *, const char *>> expenses;
        const char *incomeTotal, *expenseTotal;
        TotalsColour colour;
    };
    const Case cases[] = {
        {"all_empty", "", "", {}, "0", "0", TotalsColour::Black},
        {"balanced", "100", "50", {{"211", "150"}}, "150", "150", TotalsColour::Black},
        {"decimal_comma_unbalanced", "100", "", {{"211", "99,5"}}, "100", "99,5", TotalsColour::Red},
        {"every_line_counts", "3", "", {{"241", "1"}, {"530", "1"}, {"610", "1"}}, "3", "3", TotalsColour::Black},
        {"float_noise_is_equal", "0,3", "", {{"211", "0,1"}, {"212", "0,2"}}, "0,3", "0,3", TotalsColour::Black},
        {"beyond_fifteen_digits_equal",
         "1000000000000000",
         "",
         {{"211", "999999999999999,9"}},
         "1E15",
         "1E15",
         TotalsColour::Black},
        {"negative_amounts", "-5", "5", {{"211", "-1"}, {"212", "1"}}, "0", "0", TotalsColour::Black},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EstimateWindow window;
        window.income = QString::fromUtf8(c.income);
        window.remainder = QString::fromUtf8(c.remainder);
        for (const auto &[code, amount] : c.expenses)
            window.expense(QString::fromLatin1(code)) = QString::fromUtf8(amount);
        EXPECT_TRUE(calculate(window).ok());
        EXPECT_EQ(window.incomeTotal, QString::fromUtf8(c.incomeTotal));
        EXPECT_EQ(window.expenseTotal, QString::fromUtf8(c.expenseTotal));
        EXPECT_EQ(window.totalsColour, c.colour);
        // Empty fields become "0"; typed ones keep their text.
        EXPECT_EQ(window.income, c.income[0] ? QString::fromUtf8(c.income) : QStringLiteral("0"));
        EXPECT_FALSE(window.expense(QStringLiteral("340")).isEmpty());
    }
}

TEST(Calculation, ANonNumberStopsAtThatFieldAndKeepsThePreviousTotals)
{
    EstimateWindow window;
    window.incomeTotal = QStringLiteral("10");
    window.expenseTotal = QStringLiteral("20");
    window.totalsColour = TotalsColour::Red;
    window.income = QStringLiteral("1 000");
    window.expense(QStringLiteral("212")) = QStringLiteral("x");
    const Outcome outcome = calculate(window);
    EXPECT_EQ(outcome.kind(), MessageKind::Error);
    EXPECT_EQ(outcome.message(), Error::notAFloat(QStringLiteral("1 000")).text());
    EXPECT_EQ(outcome.field(), Field(Field::Income)); // the first in the calculation's order
    EXPECT_EQ(window.incomeTotal, QStringLiteral("10"));
    EXPECT_EQ(window.expenseTotal, QStringLiteral("20"));
    EXPECT_EQ(window.totalsColour, TotalsColour::WindowText);
    EXPECT_EQ(window.remainder, QStringLiteral("0"));
    EXPECT_EQ(window.expense(QStringLiteral("610")), QStringLiteral("0"));

    window.income = QStringLiteral("1");
    EXPECT_EQ(calculate(window).field(), Field::expenseLine(expenseIndexByShortCode(QStringLiteral("212"))));
}

TEST(Calculation, ATotalBeyondTheLargestNumberIsRefusedAndKeepsThePreviousTotals)
{
    const std::vector<std::pair<const char *, const char *>> cases[] = {
        {{"income", "1e308"}, {"remainder", "1e308"}},
        {{"211", "1,7E308"}, {"212", "1,7E308"}, {"213", "-1e308"}},
        {{"income", "-1e308"}, {"remainder", "-1e308"}},
    };
    for (const auto &fields : cases) {
        SCOPED_TRACE(fields.front().second);
        EstimateWindow window;
        window.incomeTotal = QStringLiteral("10");
        window.expenseTotal = QStringLiteral("20");
        for (const auto &[field, amount] : fields) {
            const QString name = QString::fromLatin1(field);
            QString &text = name == u"income"      ? window.income
                            : name == u"remainder" ? window.remainder
                                                   : window.expense(name);
            text = QString::fromUtf8(amount);
        }
        const Outcome outcome = calculate(window);
        EXPECT_FALSE(outcome.ok()) << "an overflowing total was shown as " << window.incomeTotal.toStdString();
        EXPECT_EQ(outcome.message(), QStringLiteral("Итоговая сумма слишком велика для расчета. Проверьте суммы."));
        EXPECT_EQ(window.incomeTotal, QStringLiteral("10"));
        EXPECT_EQ(window.expenseTotal, QStringLiteral("20"));
    }
}

TEST(Calculation, ClearingEmptiesFieldsAndTotalsOnly)
{
    EstimateWindow window;
    window.selectorItems = {QStringLiteral("001|a|")};
    window.selectorIndex = 0;
    window.setIncomeCode(2);
    window.source = 4;
    window.status = 2;
    window.income = QStringLiteral("100");
    window.remainder = QStringLiteral("1");
    window.expense(QStringLiteral("211")) = QStringLiteral("101");
    calculate(window);
    clearEntries(window);
    EXPECT_TRUE(window.incomeTotal.isEmpty());
    EXPECT_TRUE(window.expenseTotal.isEmpty());
    EXPECT_TRUE(window.income.isEmpty());
    EXPECT_TRUE(window.remainder.isEmpty());
    for (const QString &expense : window.expenses)
        EXPECT_TRUE(expense.isEmpty());
    EXPECT_EQ(window.selectorIndex, 0);
    EXPECT_EQ(window.incomeCode, 2);
    EXPECT_EQ(window.source, 4);
    EXPECT_EQ(window.status, 2);
    EXPECT_EQ(window.totalsColour, TotalsColour::Black);
}

} // namespace
