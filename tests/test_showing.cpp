#include "support/estimate_fixture.h"

#include "store/estimate_file.h"

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

class ShowingTest : public SavingTest
{
protected:
    EstimateWindow selecting(const QString &line)
    {
        EstimateWindow window;
        window.selectorItems = {line};
        window.selectorIndex = 0;
        return window;
    }
};

TEST_F(ShowingTest, MissingFileOrNoSelectionAsksForAName)
{
    EstimateWindow window = selecting(Line);
    window.remainder = QStringLiteral("5");
    window.incomeTotal = QStringLiteral("5");
    EXPECT_FALSE(show(window));
    window.selectorIndex = -1;
    ws.write(Workspace::estimateName(QString()), cp1251(QStringLiteral("\t\t<SUM_YEAR>1</SUM_YEAR>\r\n")));
    EXPECT_FALSE(show(window));
    EXPECT_EQ(messages.texts(), QStringList(2, QStringLiteral("Введите имя для редактируемой сметы!")));
    EXPECT_EQ(window.remainder, QStringLiteral("5"));
    EXPECT_EQ(window.incomeTotal, QStringLiteral("5"));
}

TEST_F(ShowingTest, ConsolidatedEstimateIsRefusedWithTheThreeLineMessage)
{
    const QString name = QStringLiteral("сводная смета ( 08.12.2026_10.15.00 )");
    ws.write(Workspace::estimateName(name), cp1251(QStringLiteral("\t\t<SUM_YEAR>1</SUM_YEAR>\r\n")));
    EstimateWindow window = selecting(QStringLiteral("000|") + name + QStringLiteral("|"));
    window.remainder = QStringLiteral("5");
    EXPECT_FALSE(show(window));
    EXPECT_EQ(messages.last(),
              QStringLiteral("Невозможно показать сводную смету\r\n\nДля просмотра сводной сметы воспользуйтесь\r\n\n"
                             "экспортом сводной сметы в Excel в \"операциях со сметами\"!"));
    EXPECT_EQ(window.remainder, QStringLiteral("5"));
}

TEST_F(ShowingTest, DamagedFileIsRefusedAndASoundOneReadsByItsRecords)
{
    const QString name = QStringLiteral("моя сводная смета");
    ws.write(
        Workspace::estimateName(name),
        crlf({QStringLiteral("\t\t<COD_FIN>СВОДНАЯ СМЕТА</COD_FIN>"), QStringLiteral("\t\t<CODE_RASCH>12</CODE_RASCH>"),
              QStringLiteral("\t\t<CODE>386 00000000000000211</CODE>"), // full code: not an expense field
              QStringLiteral("\t\t<SUM_YEAR>1</SUM_YEAR>"), QStringLiteral("\t\t<CODE>225</CODE>"),
              QStringLiteral("\t\t<SUM_YEAR>2</SUM_YEAR>"),
              QStringLiteral("\t\t<SUM_YEAR>3</SUM_YEAR>"), // replaces the 225 amount
              QString(),
              QStringLiteral("\t<SUM_YEAR>9</SUM_YEAR>"), // one TAB: not recognised
              QStringLiteral("\t\t<CODE>x</CODE>"), QStringLiteral("\t\t<SUM_YEAR>4</SUM_YEAR>"),
              QStringLiteral("\t\t<SUM_YEAR>5</SUM_YEAR>"), // a third income amount is no field
              QStringLiteral("\t\t<COD_FIN>3</COD_FIN>trailing")}));
    EstimateWindow window = selecting(QStringLiteral("105|") + name + QStringLiteral("|"));
    window.source = 4;
    window.remainder = QStringLiteral("7");
    // Not an estimate file: show refuses it and leaves the window alone.
    EXPECT_FALSE(show(window));
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Файл сметы «моя сводная смета» (")));
    EXPECT_EQ(window.remainder, QStringLiteral("7"));

    // Saving over it asks first: it may hold what someone typed.
    EXPECT_TRUE(estimateHoldsAmounts(ws.workspace(), name));

    // A sound file read by its records: an amount belongs to its record's
    // code, and codes that are no expense line fill the remainder, then the income.
    EstimateHeader header;
    header.year = QStringLiteral("2026");
    header.financing = ConsolidatedFinancing;
    writeEstimateFile(
        ws.workspace(), name,
        estimateFileLines(header, consolidatedRecords({
                                      {QStringLiteral("I. Остаток"), QString(), QStringLiteral("1")},
                                      {QString(), incomeCodes()[0].code, QStringLiteral("4")},
                                      {QStringLiteral("з/п"), expenseLines()[0].fullCode(), QStringLiteral("2"), false},
                                      {QStringLiteral("ИТОГО"), QString(), QStringLiteral("5")},
                                  })));
    ASSERT_TRUE(show(window));
    EXPECT_EQ(window.source, 4);
    EXPECT_EQ(window.remainder, QStringLiteral("1"));
    EXPECT_EQ(window.income, QStringLiteral("4"));
    EXPECT_EQ(window.expense(QStringLiteral("211")), QString());
}

TEST_F(ShowingTest, TemplateHasNoAmountsSoEveryFieldIsEmptied)
{
    const QString name = QStringLiteral("Новая");
    Estimate estimate;
    estimate.source = 0; // COD_FIN "2": the first income code
    estimate.entries.income = QStringLiteral("100");
    writeEstimateFile(ws.workspace(), name, templateEstimateLines(estimate, Today, QString()));
    EstimateWindow window = selecting(QStringLiteral("105|") + name + QStringLiteral("|"));
    window.income = QStringLiteral("7");
    window.expense(QStringLiteral("610")) = QStringLiteral("7");
    ASSERT_TRUE(show(window));
    EXPECT_EQ(window.income, QString());
    EXPECT_EQ(window.expense(QStringLiteral("610")), QString());
    EXPECT_EQ(window.incomeCode, 0);
}
