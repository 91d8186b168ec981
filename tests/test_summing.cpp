#include "operations/summing.h"

#include "domain/catalogue.h"
#include "store/estimate_file.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <ostream>

// Readable failures: texts and file bytes as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << vastrel::fromWindows1251(bytes).toStdString() << '"';
}
QT_END_NAMESPACE

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

const QString Success = QStringLiteral("Операция сложения смет была успешно произведена\r\n\n"
                                       "Cводные сметы  записаны в базу системы.");
// The success message goes on to name the new estimate.
QString success(const QString &name)
{
    return Success + QStringLiteral("\r\n\nНовая смета: «%1».").arg(name);
}
const QString OnlyOne = QStringLiteral("Выделена только одна смета!");
const QString NoneSelected = QStringLiteral("Выделите сметы для сложения!");

// 7 December 2026, 9:05:33: names end in "07_12_2026_9_05_33 )".
const QDateTime Now(QDate(2026, 12, 7), QTime(9, 5, 33));
const QString NowName = QStringLiteral("сводная смета ( 07_12_2026_9_05_33 )");

// A main-window estimate as the save of the main window lays it out.
struct MainEstimate
{
    QString year = QStringLiteral("2025");
    QString financing = QStringLiteral("2");
    QString department = QStringLiteral("Смета Кафедра истории");
    QString subdivisionCode = QStringLiteral("105");
    QString legalStatus = QStringLiteral("1");
    QString incomeCode = QStringLiteral("386 30101010010000120");
    QString breakdown = QStringLiteral("1");
    QString remainder = QStringLiteral("0");
    QString income = QStringLiteral("0");
    QMap<QString, QString> expenses; // short code -> amount; 241 and 610 are "0" unless given
};

QStringList mainEstimateLines(const MainEstimate &e)
{
    QString star = e.incomeCode;
    star.remove(QLatin1Char(' '));
    star += QLatin1Char('*');
    QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>"),
        QStringLiteral("<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<YEAR>") + e.year + QStringLiteral("</YEAR>"),
        QStringLiteral("\t\t<COD_FIN>") + e.financing + QStringLiteral("</COD_FIN>"),
        QStringLiteral("\t\t<DEP>") + e.department + QStringLiteral("</DEP>"),
        QStringLiteral("\t\t<COD_DEP>") + e.subdivisionCode + QStringLiteral("</COD_DEP>"),
        QStringLiteral("\t\t<COD_LEG>") + e.legalStatus + QStringLiteral("</COD_LEG>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>остаток</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>") + star + QStringLiteral("</CODE>"),
        QStringLiteral("\t\t<CODE_RASCH>") + e.breakdown + QStringLiteral("</CODE_RASCH>"),
        QStringLiteral("\t\t<SUM_YEAR>") + e.remainder + QStringLiteral("</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>название дохода</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>") + e.incomeCode + QStringLiteral("</CODE>"),
        QStringLiteral("\t\t<CODE_RASCH>") + e.breakdown + QStringLiteral("</CODE_RASCH>"),
        QStringLiteral("\t\t<SUM_YEAR>") + e.income + QStringLiteral("</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
    };
    for (const ExpenseLine &line : expenseLines()) {
        const bool always = line.shortCode == QLatin1String("241") || line.shortCode == QLatin1String("610");
        if (!e.expenses.contains(line.shortCode) && !always)
            continue;
        lines << QStringLiteral("\t<COLUMN>")
              << QStringLiteral("\t\t<DESCRIPTION>") + line.savedDescription + QStringLiteral("</DESCRIPTION>")
              << QStringLiteral("\t\t<CODE>") + line.shortCode + QStringLiteral("</CODE>")
              << QStringLiteral("\t\t<SUM_YEAR>") + e.expenses.value(line.shortCode, QStringLiteral("0")) +
                     QStringLiteral("</SUM_YEAR>")
              << QStringLiteral("\t</COLUMN>");
    }
    lines << QStringLiteral("</SMETA>");
    return lines;
}

QString estimateFile(const QString &name)
{
    return QStringLiteral("../Vastrel/smetas/") + name + QStringLiteral(".xml");
}

void writeEstimate(const TempWorkspace &ws, const QString &name, const QStringList &lines)
{
    ws.write(estimateFile(name), test::crlf(lines));
}

struct Header
{
    QString year;
    QString department;
    QString subdivisionCode;
    QString legalStatus;
};

struct Rec
{
    QString description;
    QString code;
    QString amount;
    bool breakdownLine = true;
};

// The expected bytes of a consolidated estimate, every text spelled out here.
QByteArray consolidatedFile(const Header &h, const QList<Rec> &records)
{
    QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>"),
        QStringLiteral("<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<YEAR>") + h.year + QStringLiteral("</YEAR>"),
        QStringLiteral("\t\t<COD_FIN>СВОДНАЯ СМЕТА</COD_FIN>"),
        QStringLiteral("\t\t<DEP>") + h.department + QStringLiteral("</DEP>"),
        QStringLiteral("\t\t<COD_DEP>") + h.subdivisionCode + QStringLiteral("</COD_DEP>"),
        QStringLiteral("\t\t<COD_LEG>") + h.legalStatus + QStringLiteral("</COD_LEG>"),
        QStringLiteral("\t</COLUMN>"),
    };
    for (const Rec &r : records) {
        lines << QStringLiteral("\t<COLUMN>")
              << QStringLiteral("\t\t<DESCRIPTION>") + r.description + QStringLiteral("</DESCRIPTION>")
              << QStringLiteral("\t\t<CODE>") + r.code + QStringLiteral("</CODE>");
        if (r.breakdownLine)
            lines << QStringLiteral("\t\t<CODE_RASCH></CODE_RASCH>");
        lines << QStringLiteral("\t\t<SUM_YEAR>") + r.amount + QStringLiteral("</SUM_YEAR>")
              << QStringLiteral("\t</COLUMN>");
    }
    lines << QStringLiteral("</SMETA>");
    return test::crlf(lines);
}

// Texts of the records that stand in almost every expected file.
const QString IncomeHeading =
    QStringLiteral("II. Доходы по кодам классификации доходов бюджетной классификации Российской Федерации");
const QString ExpenseHeading = QStringLiteral("III. Расходы по классификации операций сектора государственного "
                                              "управления бюджетной классификации Российской Федерации");
const Rec IncomeHeadingRec{IncomeHeading, QStringLiteral("386 30000000000000000"), QString()};
const Rec ExpenseHeadingRec{ExpenseHeading, QStringLiteral("386 00000000000000200"), QString()};
const Rec ExpensesRec{QStringLiteral("Расходы"), QString(), QString()};
Rec remainderRec(const QString &amount)
{
    return {QStringLiteral("I. Остаток средств на 01.01.2026"), QString(), amount};
}
Rec totalRec(const QString &amount)
{
    return {QStringLiteral("ИТОГО"), QString(), amount};
}
Rec incomeTotalRec(const QString &amount)
{
    return {QStringLiteral("ИТОГО ДОХОДОВ"), QString(), amount};
}
Rec expenseTotalRec(const QString &amount)
{
    return {QStringLiteral("ИТОГО РАСХОДОВ"), QString(), amount};
}
Rec line241Rec(const QString &amount)
{
    return {QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям"),
            QStringLiteral("386 00000000000000241"), amount};
}
QList<Rec> settlementRecs(const QString &from, const QString &to)
{
    return {
        {QStringLiteral("IV. Взаиморасчеты с вышестоящей организацией"), QString(), QString()},
        {QStringLiteral("Поступления средств от вышестоящей организации"), QStringLiteral("386 00000000000000510"),
         from},
        {QStringLiteral("Перечисление средств вышестоящей организации"), QStringLiteral("386 00000000000000610"), to}};
}

// Sums the estimates of these rows of the list, as the operations window's
// button does it, errors shown by the default handler.
QString sum(const TempWorkspace &ws, const QStringList &lines, const QList<int> &rows, RecordingMessages &messages,
            const QDateTime &now = Now)
{
    QStringList names;
    for (int row : rows)
        names.append(estimateNameOf(lines.at(row)));
    QString name;
    runAction(messages, [&] {
        const Outcome outcome = sumEstimates(ws.workspace(), names, messages, now);
        name = outcome.value();
        return outcome;
    });
    return name;
}

QStringList baseFiles(const TempWorkspace &ws)
{
    return QDir(ws.baseDir()).entryList(QDir::Files, QDir::Name);
}

class Summing : public ::testing::Test
{
protected:
    TempWorkspace ws;
    RecordingMessages messages;
};

// Two subdivisions with different income codes; the header and the choice of
// the closing records come from the last selected estimate.
class SummingLegalStatus : public Summing, public ::testing::WithParamInterface<const char *>
{};

TEST_P(SummingLegalStatus, OneOrTwoClosesWithExpenseTotalAnd241)
{
    const QString status = QString::fromLatin1(GetParam());
    MainEstimate a;
    a.remainder = QStringLiteral("50");
    a.income = QStringLiteral("1000");
    a.legalStatus = QStringLiteral("3");
    a.expenses = {{"211", "500"}, {"213", "130,5"}, {"241", "20"}, {"290", "100"}, {"610", "7"}};
    MainEstimate b;
    b.department = QStringLiteral("Смета Факультет права");
    b.subdivisionCode = QStringLiteral("207");
    b.legalStatus = status;
    b.incomeCode = QStringLiteral("386 30201010010000130");
    b.financing = QStringLiteral("3");
    b.remainder = QStringLiteral("10");
    b.income = QStringLiteral("200");
    b.expenses = {{"221", "60"}, {"310", "100"}, {"530", "40"}};
    writeEstimate(ws, QStringLiteral("Кафедра"), mainEstimateLines(a));
    writeEstimate(ws, QStringLiteral("Факультет"), mainEstimateLines(b));
    const QStringList toc = {QStringLiteral("105|Кафедра|заметки"), QStringLiteral("107|Пропущена|"),
                             QStringLiteral("207|Факультет|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0, 2}, messages), NowName);
    EXPECT_EQ(messages.texts(), QStringList{success(NowName)});

    const QByteArray expected = consolidatedFile(
        {QStringLiteral("2025"), QStringLiteral("Смета Факультет права"), QStringLiteral("207"), status},
        {remainderRec(QStringLiteral("60")),
         IncomeHeadingRec,
         {QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ"),
          QStringLiteral("386 30100000000000000"), QStringLiteral("1000")},
         {QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными учреждениями"),
          QStringLiteral("386 30101010010000120"), QStringLiteral("1000")},
         {QStringLiteral("ДОХОДЫ ОТ ПРОДАЖИ ТОВАРОВ И УСЛУГ"), QStringLiteral("386 30200000000000000"),
          QStringLiteral("200")},
         {QStringLiteral("Доходы от оказания услуг федеральными учреждениями"), QStringLiteral("386 30201010010000130"),
          QStringLiteral("200")},
         totalRec(QStringLiteral("1200")),
         incomeTotalRec(QStringLiteral("1260")),
         ExpenseHeadingRec,
         ExpensesRec,
         {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"),
          QStringLiteral("386 00000000000000210"), QStringLiteral("630,5")},
         {QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"), QStringLiteral("500"), false},
         {QStringLiteral("Начисления на выплаты по оплате труда"), QStringLiteral("386 00000000000000213"),
          QStringLiteral("130,5"), false},
         {QStringLiteral("Оплата работ, услуг"), QStringLiteral("386 00000000000000220"), QStringLiteral("60")},
         {QStringLiteral("Услуги связи"), QStringLiteral("386 00000000000000221"), QStringLiteral("60"), false},
         {QStringLiteral("Прочие расходы"), QStringLiteral("386 00000000000000290"), QStringLiteral("100"), false},
         {QStringLiteral("Поступление нефинансовых активов"), QStringLiteral("386 00000000000000300"),
          QStringLiteral("100")},
         {QStringLiteral("Увеличение стоимости основных фондов"), QStringLiteral("386 00000000000000310"),
          QStringLiteral("100"), false},
         {QStringLiteral("Поступление финансовых активов"), QStringLiteral("386 00000000000000500"),
          QStringLiteral("40")},
         {QStringLiteral("Увеличение стоимости акций и иных форм участия в капитале"),
          QStringLiteral("386 00000000000000530"), QStringLiteral("40"), false},
         totalRec(QStringLiteral("930,5")),
         line241Rec(QStringLiteral("20")),
         expenseTotalRec(QStringLiteral("950,5"))});
    EXPECT_EQ(ws.read(estimateFile(NowName)), expected);
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")),
              test::crlf(toc + QStringList{QStringLiteral("000|") + NowName + QStringLiteral("|")}));
}

INSTANTIATE_TEST_SUITE_P(Status, SummingLegalStatus, ::testing::Values("1", "2"),
                         [](const auto &info) { return std::string("status_") + info.param; });

TEST_F(Summing, StatusThreeClosesWithSettlementsAndCounts241OnlyInTheTotal)
{
    MainEstimate a; // transfers from the higher organisation
    a.incomeCode = QStringLiteral("386 00000000000000510");
    a.financing = QStringLiteral("1");
    a.remainder = QStringLiteral("25");
    a.income = QStringLiteral("300");
    a.expenses = {{"241", "15"}, {"610", "70"}};
    MainEstimate b;
    b.legalStatus = QStringLiteral("3");
    b.incomeCode = QStringLiteral("386 30301010010000180");
    b.financing = QStringLiteral("10");
    b.income = QStringLiteral("80");
    b.expenses = {{"242", "5"}, {"251", "10"}, {"262", "3"}};
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    writeEstimate(ws, QStringLiteral("b"), mainEstimateLines(b));
    const QStringList toc = {QStringLiteral("001|a|"), QStringLiteral("002|b|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0, 1}, messages), NowName);
    EXPECT_EQ(messages.texts(), QStringList{success(NowName)});
    QList<Rec> records = {
        remainderRec(QStringLiteral("25")),
        {QString(), QStringLiteral("386 00000000000000510"), QStringLiteral("25")},
        IncomeHeadingRec,
        {QStringLiteral("БЕЗВОЗМЕЗДНЫЕ ПОСТУПЛЕНИЯ ОТ ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ"),
         QStringLiteral("386 30300000000000000"), QStringLiteral("80")},
        {QStringLiteral("Пени, штрафы, иное возмещение ущерба по договорам гражданско-правового характера, "
                        "приченного федеральным государственным учреждениям"),
         QStringLiteral("386 30301010010000180"), QStringLiteral("80")},
        totalRec(QStringLiteral("80")),
        incomeTotalRec(QStringLiteral("105")),
        ExpenseHeadingRec,
        ExpensesRec,
        {QStringLiteral("Безвозмездные и безвозвратные перечисления организациям, за исключением "
                        "государтсвенных и муниципальных организаций"),
         QStringLiteral("386 00000000000000242"), QStringLiteral("5"), false},
        {QStringLiteral("Безвозмездные перечисления бюджетам"), QStringLiteral("386 00000000000000250"),
         QStringLiteral("10")},
        {QStringLiteral("Перечисления другим бюджетам бюджетной системы РФ"), QStringLiteral("386 00000000000000251"),
         QStringLiteral("10"), false},
        {QStringLiteral("Социальное обеспечение"), QStringLiteral("386 00000000000000260"), QStringLiteral("3")},
        {QStringLiteral("Пособия по социальной помощи населению"), QStringLiteral("386 00000000000000262"),
         QStringLiteral("3"), false},
        expenseTotalRec(QStringLiteral("33")),
    };
    records += settlementRecs(QStringLiteral("300"), QStringLiteral("70"));
    EXPECT_EQ(ws.read(estimateFile(NowName)),
              consolidatedFile({QStringLiteral("2025"), QStringLiteral("Смета Кафедра истории"), QStringLiteral("105"),
                                QStringLiteral("3")},
                               records));
}

TEST_F(Summing, LinesAndGroupsThatCancelOutGetNoRecord)
{
    MainEstimate a;
    a.legalStatus = QStringLiteral("3");
    a.income = QStringLiteral("100");
    a.expenses = {{"211", "100"}, {"212", "50"}, {"221", "100"}};
    MainEstimate b;
    b.legalStatus = QStringLiteral("2");
    b.income = QStringLiteral("-100");
    b.expenses = {{"211", "-100"}, {"222", "-100"}};
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    writeEstimate(ws, QStringLiteral("b"), mainEstimateLines(b));
    const QStringList toc = {QStringLiteral("001|a|"), QStringLiteral("002|b|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0, 1}, messages), NowName);
    // Income group 301 and line 211 vanish; group 220 vanishes while 221 and 222 stay.
    EXPECT_EQ(
        ws.read(estimateFile(NowName)),
        consolidatedFile(
            {QStringLiteral("2025"), QStringLiteral("Смета Кафедра истории"), QStringLiteral("105"),
             QStringLiteral("2")},
            {remainderRec(QStringLiteral("0")),
             IncomeHeadingRec,
             totalRec(QStringLiteral("0")),
             incomeTotalRec(QStringLiteral("0")),
             ExpenseHeadingRec,
             ExpensesRec,
             {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"),
              QStringLiteral("386 00000000000000210"), QStringLiteral("50")},
             {QStringLiteral("Прочие выплаты"), QStringLiteral("386 00000000000000212"), QStringLiteral("50"), false},
             {QStringLiteral("Услуги связи"), QStringLiteral("386 00000000000000221"), QStringLiteral("100"), false},
             {QStringLiteral("Транспортные услуги"), QStringLiteral("386 00000000000000222"), QStringLiteral("-100"),
              false},
             totalRec(QStringLiteral("50")),
             line241Rec(QStringLiteral("0")),
             expenseTotalRec(QStringLiteral("50"))}));
}

TEST_F(Summing, OneSelectedEstimateIsAnnouncedAndStillWritten)
{
    MainEstimate a;
    a.legalStatus = QStringLiteral("3");
    a.remainder = QStringLiteral("0,25");
    a.income = QStringLiteral("1E3");
    a.expenses = {{"340", "1000,25"}};
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    const QStringList toc = {QStringLiteral("001|a|"), QStringLiteral("002|b|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0}, messages), NowName);
    EXPECT_EQ(messages.texts(), (QStringList{OnlyOne, success(NowName)}));
    QList<Rec> records = {
        remainderRec(QStringLiteral("0,25")),
        IncomeHeadingRec,
        {QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ"),
         QStringLiteral("386 30100000000000000"), QStringLiteral("1000")},
        {QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными учреждениями"),
         QStringLiteral("386 30101010010000120"), QStringLiteral("1000")},
        totalRec(QStringLiteral("1000")),
        incomeTotalRec(QStringLiteral("1000,25")),
        ExpenseHeadingRec,
        ExpensesRec,
        {QStringLiteral("Поступление нефинансовых активов"), QStringLiteral("386 00000000000000300"),
         QStringLiteral("1000,25")},
        {QStringLiteral("Увеличение стоимости материальных запасов"), QStringLiteral("386 00000000000000340"),
         QStringLiteral("1000,25"), false},
        expenseTotalRec(QStringLiteral("1000,25")),
    };
    records += settlementRecs(QStringLiteral("0"), QStringLiteral("0"));
    EXPECT_EQ(ws.read(estimateFile(NowName)),
              consolidatedFile({QStringLiteral("2025"), QStringLiteral("Смета Кафедра истории"), QStringLiteral("105"),
                                QStringLiteral("3")},
                               records));
}

TEST_F(Summing, NothingSelectedReadsAndWritesNothing)
{
    // The selected file is missing: were it read, the summing would fail.
    const QStringList toc = {QStringLiteral("001|нет файла|")};
    ws.writeToc(toc);
    EXPECT_EQ(sum(ws, toc, {}, messages), QString());
    EXPECT_EQ(messages.texts(), QStringList{NoneSelected});
    EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
    EXPECT_TRUE(baseFiles(ws).isEmpty());
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), test::crlf(toc));
}

TEST_F(Summing, ConsolidatedEstimateContributesOnlyItsIncomeLines)
{
    MainEstimate higher;
    higher.incomeCode = QStringLiteral("386 00000000000000510");
    higher.remainder = QStringLiteral("30");
    higher.income = QStringLiteral("200");
    higher.expenses = {{"211", "100"}, {"610", "50"}};
    MainEstimate services;
    services.year = QStringLiteral("2024");
    services.department = QStringLiteral("Смета Столовая");
    services.subdivisionCode = QStringLiteral("301");
    services.legalStatus = QStringLiteral("3");
    services.incomeCode = QStringLiteral("386 30201010010000130");
    services.remainder = QStringLiteral("4");
    services.income = QStringLiteral("70");
    writeEstimate(ws, QStringLiteral("higher"), mainEstimateLines(higher));
    writeEstimate(ws, QStringLiteral("services"), mainEstimateLines(services));
    ws.writeToc({QStringLiteral("001|higher|"), QStringLiteral("002|services|")});
    const QString first =
        sum(ws, {QStringLiteral("001|higher|"), QStringLiteral("002|services|")}, {0, 1}, messages, Now.addSecs(-60));
    ASSERT_EQ(first, QStringLiteral("сводная смета ( 07_12_2026_9_04_33 )"));

    MainEstimate plain;
    plain.remainder = QStringLiteral("5");
    plain.income = QStringLiteral("60");
    plain.expenses = {{"211", "10"}};
    writeEstimate(ws, QStringLiteral("plain"), mainEstimateLines(plain));
    const QStringList toc = {QStringLiteral("003|plain|"), QStringLiteral("000|") + first + QStringLiteral("|")};
    ws.writeToc(toc);
    messages.clear();
    EXPECT_EQ(sum(ws, toc, {0, 1}, messages), NowName);
    EXPECT_EQ(messages.texts(), QStringList{success(NowName)});

    // From the first consolidated estimate only 70 on 386 30201010010000130 and
    // 30 + 200 on 386 00000000000000510 count; its remainder, groups, totals
    // and full-coded expense lines do not. Its header is the last one read.
    QList<Rec> records = {
        remainderRec(QStringLiteral("5")),
        IncomeHeadingRec,
        {QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ"),
         QStringLiteral("386 30100000000000000"), QStringLiteral("60")},
        {QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными учреждениями"),
         QStringLiteral("386 30101010010000120"), QStringLiteral("60")},
        {QStringLiteral("ДОХОДЫ ОТ ПРОДАЖИ ТОВАРОВ И УСЛУГ"), QStringLiteral("386 30200000000000000"),
         QStringLiteral("70")},
        {QStringLiteral("Доходы от оказания услуг федеральными учреждениями"), QStringLiteral("386 30201010010000130"),
         QStringLiteral("70")},
        totalRec(QStringLiteral("130")),
        incomeTotalRec(QStringLiteral("135")),
        ExpenseHeadingRec,
        ExpensesRec,
        {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"),
         QStringLiteral("386 00000000000000210"), QStringLiteral("10")},
        {QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"), QStringLiteral("10"), false},
        expenseTotalRec(QStringLiteral("10")),
    };
    records += settlementRecs(QStringLiteral("230"), QStringLiteral("0"));
    EXPECT_EQ(ws.read(estimateFile(NowName)),
              consolidatedFile({QStringLiteral("2024"), QStringLiteral("Смета Столовая"), QStringLiteral("301"),
                                QStringLiteral("3")},
                               records));
}

TEST_F(Summing, AmountWhoseTextIsACodeCountsOnlyForItsOwnLine)
{
    MainEstimate a;
    a.remainder = QStringLiteral("530");
    a.income = QStringLiteral("211");
    a.expenses = {{"212", "241"}};
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    const QStringList toc = {QStringLiteral("001|a|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0}, messages), NowName);
    EXPECT_EQ(ws.read(estimateFile(NowName)),
              consolidatedFile({QStringLiteral("2025"), QStringLiteral("Смета Кафедра истории"), QStringLiteral("105"),
                                QStringLiteral("1")},
                               {remainderRec(QStringLiteral("530")),
                                IncomeHeadingRec,
                                {QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ "
                                                "ДОХОД ДЕЯТЕЛЬНОСТИ"),
                                 QStringLiteral("386 30100000000000000"), QStringLiteral("211")},
                                {QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными "
                                                "учреждениями"),
                                 QStringLiteral("386 30101010010000120"), QStringLiteral("211")},
                                totalRec(QStringLiteral("211")),
                                incomeTotalRec(QStringLiteral("741")),
                                ExpenseHeadingRec,
                                ExpensesRec,
                                {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"),
                                 QStringLiteral("386 00000000000000210"), QStringLiteral("241")},
                                {QStringLiteral("Прочие выплаты"), QStringLiteral("386 00000000000000212"),
                                 QStringLiteral("241"), false},
                                totalRec(QStringLiteral("241")),
                                line241Rec(QStringLiteral("0")),
                                expenseTotalRec(QStringLiteral("241"))}));
}

TEST_F(Summing, EstimateListedTwiceAndSelectedTwiceCountsTwice)
{
    MainEstimate a;
    a.remainder = QStringLiteral("0,1");
    a.income = QStringLiteral("0,2");
    a.expenses = {{"211", "0,3"}, {"241", "1"}};
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    const QStringList toc = {QStringLiteral("001|a|первая запись"), QStringLiteral("002|a|вторая запись")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0, 1}, messages), NowName);
    EXPECT_EQ(messages.texts(), QStringList{success(NowName)});
    EXPECT_EQ(ws.read(estimateFile(NowName)),
              consolidatedFile({QStringLiteral("2025"), QStringLiteral("Смета Кафедра истории"), QStringLiteral("105"),
                                QStringLiteral("1")},
                               {remainderRec(QStringLiteral("0,2")),
                                IncomeHeadingRec,
                                {QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ "
                                                "ДОХОД ДЕЯТЕЛЬНОСТИ"),
                                 QStringLiteral("386 30100000000000000"), QStringLiteral("0,4")},
                                {QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными "
                                                "учреждениями"),
                                 QStringLiteral("386 30101010010000120"), QStringLiteral("0,4")},
                                totalRec(QStringLiteral("0,4")),
                                incomeTotalRec(QStringLiteral("0,6")),
                                ExpenseHeadingRec,
                                ExpensesRec,
                                {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"),
                                 QStringLiteral("386 00000000000000210"), QStringLiteral("0,6")},
                                {QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"),
                                 QStringLiteral("0,6"), false},
                                totalRec(QStringLiteral("0,6")),
                                line241Rec(QStringLiteral("2")),
                                expenseTotalRec(QStringLiteral("2,6"))}));
}

TEST_F(Summing, SecondSummingInTheSameSecondTakesTheNextFreeSecond)
{
    MainEstimate a;
    a.income = QStringLiteral("100");
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    ws.writeToc({QStringLiteral("001|a|")});

    ASSERT_EQ(sum(ws, {QStringLiteral("001|a|")}, {0}, messages), NowName);
    const QByteArray first = ws.read(estimateFile(NowName));

    a.income = QStringLiteral("999");
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    const QString second = sum(ws, {QStringLiteral("001|a|")}, {0}, messages);
    EXPECT_EQ(second, QStringLiteral("сводная смета ( 07_12_2026_9_05_34 )"));
    EXPECT_EQ(ws.read(estimateFile(NowName)), first);
    EXPECT_TRUE(ws.exists(estimateFile(second)));

    // A name taken by a file without a record, or by a record without a file,
    // is passed over as well.
    ws.write(estimateFile(QStringLiteral("сводная смета ( 07_12_2026_9_05_35 )")), QByteArray("x"));
    QFile toc(ws.workspace().tocPath());
    ASSERT_TRUE(toc.open(QIODevice::Append));
    toc.write(test::cp1251(QStringLiteral("000|сводная смета ( 07_12_2026_9_05_36 )|\r\n")));
    toc.close();
    EXPECT_EQ(sum(ws, {QStringLiteral("001|a|")}, {0}, messages),
              QStringLiteral("сводная смета ( 07_12_2026_9_05_37 )"));
    EXPECT_EQ(ws.read(estimateFile(QStringLiteral("сводная смета ( 07_12_2026_9_05_35 )"))), QByteArray("x"));

    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")),
              test::crlf({QStringLiteral("001|a|"), QStringLiteral("000|") + NowName + QStringLiteral("|"),
                          QStringLiteral("000|сводная смета ( 07_12_2026_9_05_34 )|"),
                          QStringLiteral("000|сводная смета ( 07_12_2026_9_05_36 )|"),
                          QStringLiteral("000|сводная смета ( 07_12_2026_9_05_37 )|")}));
}

// A damaged estimate would leave its subdivision's amounts out of the sums
// without a word: it stops the summing with its file named, before anything
// is written.
TEST_F(Summing, ADamagedEstimateStopsTheSumBeforeAnythingIsWritten)
{
    MainEstimate a;
    a.income = QStringLiteral("10");
    a.expenses = {{"211", "10"}};
    const QByteArray good = test::crlf(mainEstimateLines(a));
    QStringList withGap = mainEstimateLines(a);
    withGap.insert(10, QString());
    QStringList headless = mainEstimateLines(a);
    headless.remove(2, 7);
    QStringList flipped = mainEstimateLines(a);
    flipped.replaceInStrings(QStringLiteral("<CODE>211<"), QStringLiteral("<CODE>2q1<"));
    Estimate fresh;
    fresh.source = 0;
    const std::pair<const char *, QByteArray> damaged[] = {
        {"empty", QByteArray()},
        {"gap", test::crlf(withGap)},
        {"headless", test::crlf(headless)},
        {"cut", good.left(good.size() / 2)},
        {"cr_only", QByteArray(good).replace("\r\n", "\r")},
        {"all_nul", QByteArray(good.size(), '\0')},
        {"flipped", test::crlf(flipped)},
        {"template", test::cp1251(crlfLines(templateEstimateLines(fresh, QDate(2026, 1, 2), QString())))},
    };
    writeEstimate(ws, QStringLiteral("good"), mainEstimateLines(a));
    for (const auto &[name, bytes] : damaged) {
        const QString estimate = QString::fromLatin1(name);
        ws.write(estimateFile(estimate), bytes);
        const QStringList toc = {QStringLiteral("001|good|"), QStringLiteral("002|") + estimate + QLatin1Char('|')};
        ws.writeToc(toc);
        messages.clear();
        EXPECT_EQ(sum(ws, toc, {0, 1}, messages), QString()) << name;
        ASSERT_EQ(messages.all().size(), 1) << name;
        EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
        const QString file = QStringLiteral("(") + Workspace::shown(estimateFile(estimate)) + QLatin1Char(')');
        const QString text = messages.last();
        EXPECT_TRUE(text.contains(QStringLiteral("«") + estimate + QStringLiteral("»")) && text.contains(file))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("Сложение не выполнено, ничего не записано."))) << text.toStdString();
        EXPECT_EQ(baseFiles(ws).size(), 2);
        EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), test::crlf(toc));
        QFile::remove(ws.baseDir() + QLatin1Char('/') + estimate + QStringLiteral(".xml"));
    }
}

TEST_F(Summing, AnUnreadableEstimateStopsBeforeAnythingIsWritten)
{
    MainEstimate good;
    writeEstimate(ws, QStringLiteral("good"), mainEstimateLines(good));
    MainEstimate letters;
    letters.expenses = {{"221", "1 000"}};
    writeEstimate(ws, QStringLiteral("letters"), mainEstimateLines(letters));
    MainEstimate empty;
    empty.income = QString();
    writeEstimate(ws, QStringLiteral("empty"), mainEstimateLines(empty));
    // A CODE line at the very end has no amount line: read as an empty amount.
    writeEstimate(ws, QStringLiteral("cut"), {QStringLiteral("\t\t<CODE>211</CODE>")});
    // Each amount fits; their sums do not.
    MainEstimate huge;
    huge.income = QStringLiteral("1E308");
    huge.expenses = {{"211", "-1,7E308"}};
    writeEstimate(ws, QStringLiteral("huge"), mainEstimateLines(huge));
    const QStringList toc = {QStringLiteral("001|good|"),    QStringLiteral("002|missing|"),
                             QStringLiteral("003|letters|"), QStringLiteral("004|empty|"),
                             QStringLiteral("005|cut|"),     QStringLiteral("006|huge|")};
    ws.writeToc(toc);

    EXPECT_EQ(sum(ws, toc, {0, 1}, messages), QString());
    EXPECT_EQ(sum(ws, toc, {0, 2}, messages), QString());
    EXPECT_EQ(sum(ws, toc, {0, 3}, messages), QString());
    EXPECT_EQ(sum(ws, toc, {0, 4}, messages), QString());
    EXPECT_EQ(sum(ws, toc + toc.mid(5), {5, 6}, messages), QString());
    const QString tooLarge = QStringLiteral("Итоговая сумма слишком велика для расчета. Проверьте суммы.");
    const QString damaged =
        QStringLiteral("Файл сметы «%1» (%2) поврежден: %3. Сложение не выполнено, ничего не записано.");
    EXPECT_EQ(
        messages.firstLines(),
        (QStringList{QStringLiteral("File not found"),
                     damaged.arg(QStringLiteral("letters"), Workspace::shown(estimateFile(QStringLiteral("letters"))),
                                 QStringLiteral("строка 25: сумма «1 000» не число (нужны цифры с запятой или "
                                                "точкой, без пробелов между разрядами)")),
                     damaged.arg(QStringLiteral("empty"), Workspace::shown(estimateFile(QStringLiteral("empty"))),
                                 QStringLiteral("строка 20: пустая сумма")),
                     damaged.arg(QStringLiteral("cut"), Workspace::shown(estimateFile(QStringLiteral("cut"))),
                                 QStringLiteral("строка 1: ожидалось «<?xml version='1.0' encoding='windows-1251' "
                                                "standalone='yes'?>»")),
                     tooLarge}));
    const MessageKind kinds[] = {MessageKind::Error, MessageKind::Refusal, MessageKind::Refusal, MessageKind::Refusal,
                                 MessageKind::Error};
    for (qsizetype i = 0; i < messages.all().size() && i < 5; ++i)
        EXPECT_EQ(messages.all().at(i).kind, kinds[i]);
    EXPECT_EQ(baseFiles(ws),
              (QStringList{QStringLiteral("cut.xml"), QStringLiteral("empty.xml"), QStringLiteral("good.xml"),
                           QStringLiteral("huge.xml"), QStringLiteral("letters.xml")}));
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), test::crlf(toc));
}

TEST_F(Summing, MissingTableOfContentsLeavesNoEstimateBehind)
{
    MainEstimate a;
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    EXPECT_EQ(sum(ws, {QStringLiteral("001|a|")}, {0}, messages), QString());
    EXPECT_EQ(messages.firstLines(), (QStringList{OnlyOne, QStringLiteral("File not found")}));
    EXPECT_EQ(baseFiles(ws), QStringList{QStringLiteral("a.xml")});
    EXPECT_FALSE(ws.exists(QStringLiteral("departments.txt")));
}

TEST_F(Summing, FailedRegistrationRemovesTheNewEstimate)
{
    // A table of contents that can be read but not rewritten: one on a
    // read-only file system (the process may run as root, so file modes
    // would not stop it).
#ifdef Q_OS_WIN
    GTEST_SKIP() << "no /proc there, and QFile::link makes a shortcut, an ordinary file";
#endif
    const QString readOnly = QStringLiteral("/proc/version");
    if (!QFileInfo(readOnly).isReadable())
        GTEST_SKIP() << "no read-only file system to place the table of contents on";
    MainEstimate a;
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    ASSERT_TRUE(QFile::link(readOnly, ws.workspace().tocPath()));

    EXPECT_EQ(sum(ws, {QStringLiteral("001|a|")}, {0}, messages), QString());
    ASSERT_EQ(messages.all().size(), 2);
    EXPECT_EQ(messages.all().last().kind, MessageKind::Error);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Cannot create file \"departments.txt\".")))
        << messages.last().toStdString();
    EXPECT_EQ(baseFiles(ws), QStringList{QStringLiteral("a.xml")});
}

TEST(ConsolidatedEstimateName, DateThenTimeWithUnderscores)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(consolidatedEstimateName(Now, russian), NowName);
    EXPECT_EQ(consolidatedEstimateName(QDateTime(QDate(2027, 1, 2), QTime(0, 0, 7)), russian),
              QStringLiteral("сводная смета ( 02_01_2027_0_00_07 )"));
    EXPECT_EQ(consolidatedEstimateName(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59)), russian),
              QStringLiteral("сводная смета ( 07_12_2026_23_59_59 )"));
    // A 12-hour clock keeps its marker, so morning and evening names differ.
    EXPECT_EQ(consolidatedEstimateName(QDateTime(QDate(2026, 12, 7), QTime(21, 5, 33)), american),
              QStringLiteral("сводная смета ( 07_12_2026_9_05_33 PM )"));
    EXPECT_EQ(consolidatedEstimateName(QDateTime(QDate(2026, 12, 7), QTime(0, 5, 33)), american),
              QStringLiteral("сводная смета ( 07_12_2026_12_05_33 AM )"));
    // The tests run under a Russian locale.
    EXPECT_EQ(consolidatedEstimateName(Now), NowName);
}

// The command-line tool selects by name over the whole table of contents.
class SumCommand : public Summing
{
protected:
    test::CliResult run(const QStringList &names)
    {
        return test::runCli(QStringList{QStringLiteral("-C"), ws.root(), QStringLiteral("sum")} + names);
    }
};

TEST_F(SumCommand, SumsEveryRecordWithTheNamesAndPrintsTheNewName)
{
    MainEstimate a;
    a.income = QStringLiteral("100");
    MainEstimate b;
    b.income = QStringLiteral("20");
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    writeEstimate(ws, QStringLiteral("b b"), mainEstimateLines(b));
    writeEstimate(ws, QStringLiteral("c"), mainEstimateLines(b));
    ws.writeToc(
        {QStringLiteral("001|a|"), QStringLiteral("002|c|"), QStringLiteral("003|b b|"), QStringLiteral("004|a|")});

    const test::CliResult result = run({QStringLiteral("b b"), QStringLiteral("a")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, QString());
    QStringList out = result.out.split(QLatin1Char('\n'));
    ASSERT_EQ(out.size(), 7);
    EXPECT_EQ(out.at(6), QString());
    const QString name = out.at(5);
    EXPECT_EQ(out.mid(0, 5).join(QLatin1Char('\n')), success(name));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^сводная смета \\( \\d\\d_\\d\\d_\\d{4}_\\d{1,2}_\\d\\d_\\d\\d \\)$"))
            .match(name)
            .hasMatch())
        << name.toStdString();
    // a twice and "b b" once: 100 + 20 + 100.
    EXPECT_TRUE(ws.read(estimateFile(name)).contains(test::cp1251(QStringLiteral("<SUM_YEAR>220</SUM_YEAR>"))));
    EXPECT_TRUE(ws.read(QStringLiteral("departments.txt"))
                    .endsWith(test::cp1251(QStringLiteral("004|a|\r\n000|") + name + QStringLiteral("|\r\n"))));

    const test::CliResult one = run({QStringLiteral("c")});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_TRUE(one.out.startsWith(OnlyOne + QLatin1Char('\n') + Success + QStringLiteral("\r\n")));
}

TEST_F(SumCommand, RefusesWithoutNamesOrWithAnUnknownName)
{
    MainEstimate a;
    writeEstimate(ws, QStringLiteral("a"), mainEstimateLines(a));
    ws.writeToc({QStringLiteral("001|a|")});

    const test::CliResult none = run({});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, QString());
    EXPECT_EQ(none.err, NoneSelected + QLatin1Char('\n'));

    const test::CliResult unknown = run({QStringLiteral("a"), QStringLiteral("Кафедра")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, QString());
    EXPECT_EQ(unknown.err, QStringLiteral("Смета «Кафедра» не найдена в оглавлении базы.\n"));
    EXPECT_EQ(baseFiles(ws), QStringList{QStringLiteral("a.xml")});
}

} // namespace
