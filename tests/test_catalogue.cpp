#include "domain/catalogue.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace vastrel;

namespace {

TEST(Catalogue, IncomeCodesTheirStarFormsAndFinancingCodes)
{
    EXPECT_EQ(incomeCodes()[10].starForm(), QStringLiteral("38600000000000000510*"));
    EXPECT_EQ(incomeCodes()[2].financing, QStringLiteral("3"));
    EXPECT_EQ(incomeCodes()[1].financing, QStringLiteral("7"));
    // Financing code back to position, as saved estimates are read.
    const char *byPosition[] = {"2", "7", "3", "8", "9", "4", "10", "11", "5", "6", "1"};
    for (int i = 0; i < IncomeCodeCount; ++i) {
        EXPECT_EQ(incomeIndexByFinancing(QString::fromLatin1(byPosition[i])), i);
        EXPECT_EQ(incomeIndexByStarForm(incomeCodes()[size_t(i)].starForm()), i);
        EXPECT_EQ(incomeIndexByCode(incomeCodes()[size_t(i)].code), i);
        EXPECT_EQ(incomeCodes()[size_t(i)].code.size(), 21);
        EXPECT_EQ(incomeCodes()[size_t(i)].starForm().size(), 21);
    }
    EXPECT_EQ(incomeIndexByFinancing(QStringLiteral("12")), -1);
}

TEST(Catalogue, ExpenseLinesAreUniqueAndInWindowOrder)
{
    QSet<QString> codes;
    for (const ExpenseLine &line : expenseLines()) {
        codes.insert(line.shortCode);
        EXPECT_EQ(line.fullCode(), QStringLiteral("386 00000000000000") + line.shortCode);
    }
    EXPECT_EQ(codes.size(), ExpenseLineCount);
    EXPECT_EQ(expenseLines().front().shortCode, QStringLiteral("211"));
    EXPECT_EQ(expenseLines()[11].shortCode, QStringLiteral("241"));
    EXPECT_EQ(expenseLines().back().shortCode, QStringLiteral("610"));
    EXPECT_EQ(expenseLines()[expenseIndexByShortCode(QStringLiteral("225"))].savedDescription,
              QStringLiteral("услуги по содержанию имущества"));
    EXPECT_TRUE(expenseLines()[expenseIndexByShortCode(QStringLiteral("242"))].consolidatedDescription.contains(
        QStringLiteral("государтсвенных")));
    EXPECT_EQ(expenseLines()[expenseIndexByShortCode(QStringLiteral("290"))].breakdownDescription,
              QStringLiteral("ПРОЧИЕ РАСХОДЫ"));
    EXPECT_EQ(expenseIndexByShortCode(QStringLiteral("252")), -1);
}

TEST(Catalogue, IncomeSources)
{
    ASSERT_EQ(incomeSources().size(), IncomeSourceCount);
    EXPECT_EQ(incomeSources().at(8), QStringLiteral("9 отчисления из ЦБ Тавер"));
    for (int i = 0; i < IncomeSourceCount; ++i)
        EXPECT_TRUE(incomeSources().at(i).startsWith(QString::number(i + 1) + QLatin1Char(' ')));
}

} // namespace
