#include "support/estimate_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

TEST_F(SavingTest, ChecksRunInOrderAndTheFirstFailureIsShownWithNothingWritten)
{
    // Every check fails at first; fixing them one by one brings out the next message.
    EstimateWindow window = readyWindow();
    window.selectorIndex = -1;
    window.incomeTotal.clear();
    window.setIncomeCode(-1);
    window.source = -1;
    window.status = -1;
    struct Step
    {
        std::function<void()> fix;
        const char16_t *message;
    };
    const Step steps[] = {
        {[] {}, u"Введите имя для сметы!"},
        {[&] { window.selectorIndex = 1; }, u"Пустая смета."},
        {[&] { window.incomeTotal = window.expenseTotal = QStringLiteral("0"); }, u"Введите код дохода!"},
        {[&] { window.setIncomeCode(10); }, u"Введите источник дохода!"},
        {[&] { window.source = 1; }, u"Введите юридический статус подразделения!"},
        {[&] { window.status = 0; }, u"Пустая смета!"},
        {[&] { window.incomeTotal = QStringLiteral("150"); }, u"Пустая смета!"},
        {[&] { window.expenseTotal = QStringLiteral("149"); }, u"Ошибки в смете!"},
    };
    for (const Step &step : steps) {
        step.fix();
        messages.clear();
        EXPECT_FALSE(save(window));
        EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf16(step.message)});
        EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
        EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
    }
    window = readyWindow();
    messages.clear();
    EXPECT_TRUE(save(window));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета успешно записана в базу.")});
    EXPECT_EQ(messages.all().first().kind, MessageKind::Information);
}

TEST_F(SavingTest, CalculatedEmptyEstimateIsRefused)
{
    EstimateWindow window = readyWindow();
    clearEntries(window);
    calculate(window);
    EXPECT_FALSE(save(window));
    EXPECT_EQ(messages.last(), QStringLiteral("Пустая смета!"));
}

TEST_F(SavingTest, WritesTheWholeFileWithSettingsOverTheWindowsLegalStatus)
{
    ws.writeSettings({QStringLiteral("кафедры физики"), QStringLiteral("Заведующий"), QStringLiteral("И.И. Иванов"),
                      QStringLiteral("007"), QStringLiteral("2"), QStringLiteral("Бухгалтер"),
                      QStringLiteral("Петрова")});
    ASSERT_TRUE(save(readyWindow()));
    const QStringList expected = {
        QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>"),
        QStringLiteral("<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<YEAR>2026</YEAR>"),
        QStringLiteral("\t\t<COD_FIN>1</COD_FIN>"),
        QStringLiteral("\t\t<DEP>Смета кафедры физики</DEP>"),
        QStringLiteral("\t\t<COD_DEP>007</COD_DEP>"),
        QStringLiteral("\t\t<COD_LEG>2</COD_LEG>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>остаток</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>38600000000000000510*</CODE>"),
        QStringLiteral("\t\t<CODE_RASCH>2</CODE_RASCH>"),
        QStringLiteral("\t\t<SUM_YEAR>50</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>название дохода</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>386 00000000000000510</CODE>"),
        QStringLiteral("\t\t<CODE_RASCH>2</CODE_RASCH>"),
        QStringLiteral("\t\t<SUM_YEAR>100,5</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>Заработная плата</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>211</CODE>"),
        QStringLiteral("\t\t<SUM_YEAR>150</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>Начисления на оплату труда</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>213</CODE>"),
        QStringLiteral("\t\t<SUM_YEAR>0,5</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>Безвозмездные и безвозвратные перечисления государственным и муниципальным "
                       "организациям</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>241</CODE>"),
        QStringLiteral("\t\t<SUM_YEAR>0</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>Перечисление средств вышестоящей организации</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>610</CODE>"),
        QStringLiteral("\t\t<SUM_YEAR>0</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("</SMETA>"),
    };
    EXPECT_EQ(file(), crlf(expected));
}

TEST_F(SavingTest, WithoutSettingsTheDepartmentIsEmptyAndTheSelectionGivesTheLegalStatus)
{
    EstimateWindow window = readyWindow();
    window.status = 1; // "обособленное лицо"
    ASSERT_TRUE(save(window));
    const QByteArray bytes = file();
    EXPECT_TRUE(bytes.contains(cp1251(QStringLiteral("\t\t<DEP>Смета </DEP>\r\n\t\t<COD_DEP></COD_DEP>\r\n"
                                                     "\t\t<COD_LEG>3</COD_LEG>\r\n"))));
}

TEST_F(SavingTest, SaveShowSaveGivesTheSameFileAndShowRestoresTheWindow)
{
    EstimateWindow first = readyWindow();
    first.setIncomeCode(1); // financing code "7", not the position
    first.source = 8;
    ASSERT_TRUE(save(first));
    const QByteArray saved = file();

    EstimateWindow window;
    window.selectorItems = first.selectorItems;
    window.selectorIndex = 1;
    window.incomeTotal = QStringLiteral("1");
    window.expenseTotal = QStringLiteral("1");
    window.expense(QStringLiteral("225")) = QStringLiteral("77");
    ASSERT_TRUE(show(window));
    EXPECT_EQ(window.incomeCode, 1);
    EXPECT_EQ(window.incomeCodeText, QStringLiteral("386 30102010010000120"));
    EXPECT_EQ(window.source, 8);
    EXPECT_EQ(window.remainder, QStringLiteral("50"));
    EXPECT_EQ(window.income, QStringLiteral("100,5"));
    EXPECT_EQ(window.expense(QStringLiteral("211")), QStringLiteral("150"));
    EXPECT_EQ(window.expense(QStringLiteral("213")), QStringLiteral("0,5"));
    EXPECT_EQ(window.expense(QStringLiteral("241")), QStringLiteral("0"));
    EXPECT_EQ(window.expense(QStringLiteral("212")), QString()); // left out at saving
    EXPECT_EQ(window.expense(QStringLiteral("225")), QString()); // no record: emptied
    // The fields changed: the old totals no longer belong to them.
    EXPECT_TRUE(window.incomeTotal.isEmpty());
    EXPECT_TRUE(window.expenseTotal.isEmpty());
    EXPECT_FALSE(save(window));
    EXPECT_EQ(messages.last(), QStringLiteral("Пустая смета."));

    calculate(window);
    messages.clear();
    ASSERT_TRUE(save(window));
    EXPECT_EQ(file(), saved);
}

TEST_F(SavingTest, EveryIncomeCodeAndSourceComesBackFromTheFile)
{
    for (int code = 0; code < IncomeCodeCount; ++code) {
        for (int source = 0; source < IncomeSourceCount; ++source) {
            SCOPED_TRACE(testing::Message() << "income code " << code << ", source " << source);
            EstimateWindow first = readyWindow();
            first.setIncomeCode(code);
            first.source = source;
            ASSERT_TRUE(save(first)) << messages.last().toStdString();
            const QByteArray saved = file();

            EstimateWindow window;
            window.selectorItems = first.selectorItems;
            window.selectorIndex = 1;
            ASSERT_TRUE(show(window));
            EXPECT_EQ(window.incomeCode, code);
            EXPECT_EQ(window.incomeCodeText, first.incomeCodeText);
            EXPECT_EQ(window.source, source);
            calculate(window);
            ASSERT_TRUE(save(window));
            EXPECT_EQ(file(), saved);
        }
    }
}

TEST_F(SavingTest, AmountsChangedAfterTheCalculationAreNeverStored)
{
    EstimateWindow window = readyWindow();
    window.expense(QStringLiteral("211")) = QStringLiteral("999");
    EXPECT_FALSE(save(window));
    EXPECT_EQ(messages.texts(), QStringList{changedAfterCalculationMessage()});
    // An edit that empties the totals says the same.
    window = readyWindow();
    forgetTotals(window);
    messages.clear();
    EXPECT_FALSE(save(window));
    EXPECT_EQ(messages.texts(), QStringList{changedAfterCalculationMessage()});
    EXPECT_TRUE(file().isEmpty());
}

TEST_F(SavingTest, SelectedNameThatLeavesTheBaseDirectoryIsRefused)
{
    const QString evil = QStringLiteral("105|../../work/departments|");
    ws.writeToc({evil});
    const QByteArray toc = ws.read(Workspace::tocName());
    EstimateWindow window = readyWindow();
    window.selectorItems = {evil};
    window.selectorIndex = 0;
    EXPECT_FALSE(save(window));
    EXPECT_TRUE(messages.last().contains(QStringLiteral("Имя сметы")));
    EXPECT_FALSE(show(window));
    EXPECT_EQ(messages.all().size(), 2);
    EXPECT_EQ(ws.read(Workspace::tocName()), toc);
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
}

TEST_F(SavingTest, MissingBaseDirectoryIsReportedAsCannotCreate)
{
    ASSERT_TRUE(QDir(ws.baseDir()).removeRecursively());
    EXPECT_FALSE(save(readyWindow()));
    ASSERT_EQ(messages.all().size(), 1);
    EXPECT_EQ(messages.all().first().kind, MessageKind::Error);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Cannot create file \"..")));
    EXPECT_FALSE(messages.texts().contains(QStringLiteral("Смета успешно записана в базу.")));
}
