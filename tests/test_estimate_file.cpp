#include "support/temp_workspace.h"

#include "store/estimate_file.h"
#include "store/text_file.h"


#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::crlf;
using vastrel::test::TempWorkspace;

namespace {

const QString Declaration = QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>");
const QString Root = QStringLiteral("<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>");

QStringList header(const QString &year, const QString &financing, const QString &department,
                   const QString &subdivisionCode, const QString &status)
{
    return {Declaration,
            Root,
            QStringLiteral("\t<COLUMN>"),
            QStringLiteral("\t\t<YEAR>") + year + QStringLiteral("</YEAR>"),
            QStringLiteral("\t\t<COD_FIN>") + financing + QStringLiteral("</COD_FIN>"),
            QStringLiteral("\t\t<DEP>") + department + QStringLiteral("</DEP>"),
            QStringLiteral("\t\t<COD_DEP>") + subdivisionCode + QStringLiteral("</COD_DEP>"),
            QStringLiteral("\t\t<COD_LEG>") + status + QStringLiteral("</COD_LEG>"),
            QStringLiteral("\t</COLUMN>")};
}

QStringList column(const QStringList &elements)
{
    QStringList lines{QStringLiteral("\t<COLUMN>")};
    for (const QString &element : elements)
        lines.append(QStringLiteral("\t\t") + element);
    lines.append(QStringLiteral("\t</COLUMN>"));
    return lines;
}

QByteArray fileBytes(const QStringList &lines)
{
    return toWindows1251(crlfLines(lines));
}

// The estimate of the main-window cases, saved on SavedOn: 211 holds 150,
// 213 "0,0", 530 is empty, every other expense field "0".
const QDate SavedOn(2026, 3, 5);
Estimate windowEstimate()
{
    Estimate estimate;
    estimate.incomeCode = 10;
    estimate.source = 2;
    estimate.legalStatus = QStringLiteral("3");
    estimate.entries.remainder = QStringLiteral("50");
    estimate.entries.income = QStringLiteral("100,5");
    for (size_t i = 0; i < estimate.entries.expenses.size(); ++i)
        estimate.entries.expenses[i] = QStringLiteral("0");
    estimate.entries.expenses[0] = QStringLiteral("150"); // 211
    estimate.entries.expenses[2] = QStringLiteral("0,0"); // 213
    estimate.entries.expenses[22] = QString();            // 530
    return estimate;
}

QStringList windowRecords()
{
    QStringList lines;
    lines += column({QStringLiteral("<DESCRIPTION>остаток</DESCRIPTION>"),
                     QStringLiteral("<CODE>38600000000000000510*</CODE>"), QStringLiteral("<CODE_RASCH>3</CODE_RASCH>"),
                     QStringLiteral("<SUM_YEAR>50</SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>название дохода</DESCRIPTION>"),
                     QStringLiteral("<CODE>386 00000000000000510</CODE>"), QStringLiteral("<CODE_RASCH>3</CODE_RASCH>"),
                     QStringLiteral("<SUM_YEAR>100,5</SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>Заработная плата</DESCRIPTION>"), QStringLiteral("<CODE>211</CODE>"),
                     QStringLiteral("<SUM_YEAR>150</SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>Начисления на оплату труда</DESCRIPTION>"),
                     QStringLiteral("<CODE>213</CODE>"), QStringLiteral("<SUM_YEAR>0,0</SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>Безвозмездные и безвозвратные перечисления государственным и "
                                    "муниципальным организациям</DESCRIPTION>"),
                     QStringLiteral("<CODE>241</CODE>"), QStringLiteral("<SUM_YEAR>0</SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>Увеличение стоимости акций и иных форм участия в капитале"
                                    "</DESCRIPTION>"),
                     QStringLiteral("<CODE>530</CODE>"), QStringLiteral("<SUM_YEAR></SUM_YEAR>")});
    lines += column({QStringLiteral("<DESCRIPTION>Перечисление средств вышестоящей организации</DESCRIPTION>"),
                     QStringLiteral("<CODE>610</CODE>"), QStringLiteral("<SUM_YEAR>0</SUM_YEAR>")});
    lines.append(QStringLiteral("</SMETA>"));
    return lines;
}

} // namespace

TEST(WindowEstimateFile, SettingsGiveDepartmentCodeAndLegalStatus)
{
    const Settings settings{QStringLiteral("кафедры физики"),
                            QStringLiteral("Заведующий"),
                            QStringLiteral("И.И. Иванов"),
                            QStringLiteral("105"),
                            QStringLiteral("2"),
                            QStringLiteral("Бухгалтер"),
                            QStringLiteral("Петрова А.А.")};
    const QByteArray expected =
        fileBytes(header(QStringLiteral("2026"), QStringLiteral("1"), QStringLiteral("Смета кафедры физики"),
                         QStringLiteral("105"), QStringLiteral("2")) +
                  windowRecords());
    EXPECT_EQ(fileBytes(windowEstimateLines(windowEstimate(), SavedOn, settings)), expected);
}

TEST(WindowEstimateFile, WithoutSettingsTheWindowsLegalStatusCounts)
{
    const QByteArray expected = fileBytes(
        header(QStringLiteral("2026"), QStringLiteral("1"), QStringLiteral("Смета "), QString(), QStringLiteral("3")) +
        windowRecords());
    EXPECT_EQ(fileBytes(windowEstimateLines(windowEstimate(), SavedOn, std::nullopt)), expected);
}

TEST(WindowEstimateFile, AllZeroExpensesKeepOnly241And610)
{
    Estimate estimate = windowEstimate();
    for (QString &amount : estimate.entries.expenses)
        amount = QStringLiteral("0");
    estimate.incomeCode = 1;
    const QStringList lines = windowEstimateLines(estimate, SavedOn, std::nullopt);
    QStringList codes;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("\t\t<CODE>")))
            codes.append(EstimateLine(line).innerText());
    }
    EXPECT_EQ(codes, (QStringList{QStringLiteral("38630102010010000120*"), QStringLiteral("386 30102010010000120"),
                                  QStringLiteral("241"), QStringLiteral("610")}));
    EXPECT_EQ(lines.at(4), QStringLiteral("\t\t<COD_FIN>7</COD_FIN>"));
}

namespace {

struct TemplateBlock
{
    const char16_t *description;
    const char *code;
    const char *amount; // whole element, or nullptr
};

// The 33 blocks with the amounts of templateEntries(): remainder "50",
// income "100", each expense field its short code + ",5", 226 empty.
const TemplateBlock templateBlocks[] = {
    {u"Остаток с начала года", "38630101010010000120*", nullptr},
    {u"Остаток с начала года", "38630201010010000130*", "<Q_2>100</Q_2>"},
    {u"Остаток с начала года", "38630201010010000440*", "<Q_4>50</Q_4>"},
    {u"Остаток с начала года", "38630301010010000151*", nullptr},
    {u"Остаток с начала года", "38630302010010000180*", nullptr},
    {u"Доходы от размещения денежных средств, получаемых федеральными учреждениями", "386 30101010010000120", nullptr},
    {u"Доходы от продажи услуг, оказываемых федеральными учреждениями", "386 30201010010000130", nullptr},
    {u"Доходы от продажи товаров, осуществляемой федеральными учреждениями", "386 30201010010000440", nullptr},
    {u"Безвозмездные поступления от бюджетов бюджетной системы федеральным учреждениям", "386 30301010010000151",
     nullptr},
    {u"Прочие безвозмездные поступления федеральным учреждениям", "386 30302010010000180", nullptr},
    {u"Заработная плата", "211", "<Q_1>211,5</Q_1>"},
    {u"Прочие выплаты", "212", "<Q_1>212,5</Q_1>"},
    {u"Начисления на оплату труда", "213", "<Q_1>213,5</Q_1>"},
    {u"Услуги связи", "221", "<Q_1>221,5</Q_1>"},
    {u"Транспортные услуги", "222", "<Q_1>222,5</Q_1>"},
    {u"Коммунальные услуги", "223", "<Q_1>223,5</Q_1>"},
    {u"Арендная плата за пользование имуществом", "224", "<Q_1>224,5</Q_1>"},
    {u"услуги по содержанию имущества", "225", "<Q_1>225,5</Q_1>"},
    {u"Прочие услуги", "226", "<Q_1></Q_1>"},
    {u"хххххх", "231", "<Q_1>231,5</Q_1>"},
    {u"хххххх", "232", "<Q_1>232,5</Q_1>"},
    {u"ххххх", "242", "<Q_1>242,5</Q_1>"},
    {u"ххххх", "251", "<Q_1>251,5</Q_1>"},
    {u"ххххх", "252", nullptr},
    {u"Перечисления международным организациям", "253", "<Q_1>253,5</Q_1>"},
    {u"хххххх", "261", "<Q_1>261,5</Q_1>"},
    {u"Пособия по социальной помощи населению", "262", "<Q_1>262,5</Q_1>"},
    {u"ххххх", "263", "<Q_1>263,5</Q_1>"},
    {u"ПРОЧИЕ РАСХОДЫ", "290", "<Q_1>290,5</Q_1>"},
    {u"Увеличение стоимости основных средств", "310", "<Q_1>310,5</Q_1>"},
    {u"Увеличение стоимости нематериальных активов", "320", "<Q_1>320,5</Q_1>"},
    {u"Увеличение стоимости материальных запасов", "340", "<Q_1>340,5</Q_1>"},
    {u"Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям", "241",
     "<Q_1>241,5</Q_1>"},
};

EstimateEntries templateEntries()
{
    EstimateEntries entries;
    entries.remainder = QStringLiteral("50");
    entries.income = QStringLiteral("100");
    const char *codes[] = {"211", "212", "213", "221", "222", "223", "224", "225", "226", "231", "232", "241",
                           "242", "251", "253", "261", "262", "263", "290", "310", "320", "340", "530", "610"};
    for (size_t i = 0; i < entries.expenses.size(); ++i)
        entries.expenses[i] = QString::fromLatin1(codes[i]) + QStringLiteral(",5");
    entries.expenses[8].clear(); // 226
    return entries;
}

QStringList expectedTemplate(const QString &financing, const QString &status, const QString &department,
                             bool zeroPrefix)
{
    QStringList lines = header(QStringLiteral("07.01.2026"), financing, department, QString(), status);
    int block = 0;
    for (const TemplateBlock &b : templateBlocks) {
        QString code = QString::fromLatin1(b.code);
        if (zeroPrefix && block < 10)
            code.replace(0, 3, QStringLiteral("000"));
        QStringList elements{QStringLiteral("<DESCRIPTION>") + QString::fromUtf16(b.description) +
                                 QStringLiteral("</DESCRIPTION>"),
                             QStringLiteral("<CODE>") + code + QStringLiteral("</CODE>")};
        if (b.amount)
            elements.append(QString::fromLatin1(b.amount));
        lines += column(elements);
        ++block;
    }
    lines.append(QStringLiteral("</SMETA>"));
    return lines;
}

} // namespace

TEST(TemplateFile, KindergartensGiveFinancingZeroAndZeroPrefixedIncomeCodes)
{
    Estimate estimate;
    estimate.source = 4; // "5 детские сады"
    estimate.legalStatus = QStringLiteral("3");
    estimate.entries = templateEntries();
    const QStringList expected =
        expectedTemplate(QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("Смета кафедры физики"), true);
    EXPECT_EQ(fileBytes(templateEstimateLines(estimate, QDate(2026, 1, 7), QStringLiteral("кафедры физики"))),
              fileBytes(expected));
    // Spot checks that the expected text itself says what it should.
    EXPECT_TRUE(expected.contains(QStringLiteral("\t\t<CODE>00030101010010000120*</CODE>")));
    EXPECT_TRUE(expected.contains(QStringLiteral("\t\t<CODE>000 30101010010000120</CODE>")));
    EXPECT_EQ(expected.size(), 2 + 7 + 33 * 4 + 24 + 1); // 24 blocks have an amount
}

TEST(TemplateFile, CurrencyGivesAnEmptyFinancingCodeAnd386Codes)
{
    Estimate estimate;
    estimate.source = 6; // "7 валюта"
    estimate.legalStatus = QStringLiteral("1");
    estimate.entries = templateEntries();
    const QByteArray written = fileBytes(templateEstimateLines(estimate, QDate(2026, 1, 7), QString()));
    EXPECT_EQ(written, fileBytes(expectedTemplate(QString(), QStringLiteral("1"), QStringLiteral("Смета "), false)));
    EXPECT_TRUE(written.contains("\t\t<COD_FIN></COD_FIN>\r\n"));
    EXPECT_FALSE(written.contains("<CODE>000"));
}

TEST(TemplateFile, FinancingCodeFollowsTheIncomeSourceIndex)
{
    const char16_t *expected[] = {u"2", u"3", u"5", u"6", u"0", u"СВОДНАЯ СМЕТА", u"", u"", u"", u"", u""};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(templateFinancingOfSource(i), QString::fromUtf16(expected[i])) << "source index " << i;
    EXPECT_EQ(templateFinancingOfSource(-1), QString());
}

TEST(ConsolidatedFile, RecordsWithAndWithoutBreakdownCode)
{
    EstimateHeader header;
    header.year = QStringLiteral("2026");
    header.financing = QStringLiteral("СВОДНАЯ СМЕТА");
    header.department = QStringLiteral("Смета кафедры физики");
    header.subdivisionCode = QStringLiteral("105");
    header.legalStatus = QStringLiteral("1");
    const QList<ConsolidatedRecord> records = {
        {QStringLiteral("II. Доходы по кодам классификации доходов бюджетной классификации Российской Федерации"),
         QStringLiteral("386 30000000000000000"), QStringLiteral("150,25"), true},
        {QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"), QStringLiteral("1E15"), false},
        {QStringLiteral("Всего"), QString(), QString(), true},
    };
    QStringList expected = ::header(QStringLiteral("2026"), QStringLiteral("СВОДНАЯ СМЕТА"),
                                    QStringLiteral("Смета кафедры физики"), QStringLiteral("105"), QStringLiteral("1"));
    expected += column({QStringLiteral("<DESCRIPTION>II. Доходы по кодам классификации доходов бюджетной "
                                       "классификации Российской Федерации</DESCRIPTION>"),
                        QStringLiteral("<CODE>386 30000000000000000</CODE>"),
                        QStringLiteral("<CODE_RASCH></CODE_RASCH>"), QStringLiteral("<SUM_YEAR>150,25</SUM_YEAR>")});
    expected +=
        column({QStringLiteral("<DESCRIPTION>Заработная плата</DESCRIPTION>"),
                QStringLiteral("<CODE>386 00000000000000211</CODE>"), QStringLiteral("<SUM_YEAR>1E15</SUM_YEAR>")});
    expected += column({QStringLiteral("<DESCRIPTION>Всего</DESCRIPTION>"), QStringLiteral("<CODE></CODE>"),
                        QStringLiteral("<CODE_RASCH></CODE_RASCH>"), QStringLiteral("<SUM_YEAR></SUM_YEAR>")});
    expected.append(QStringLiteral("</SMETA>"));

    TempWorkspace workspace;
    writeEstimateFile(workspace.workspace(), QStringLiteral("сводная смета ( 1 )"),
                      estimateFileLines(header, consolidatedRecords(records)));
    EXPECT_EQ(workspace.read(Workspace::estimateName(QStringLiteral("сводная смета ( 1 )"))), fileBytes(expected));
}

// Lines read from a file's bytes split, and give tags and values, as the
// decoded text's lines do: final CR, missing last LF, bytes beyond ASCII.
TEST(EstimateBytes, ReadAsTheDecodedLinesRead)
{
    const QByteArray files[] = {
        QByteArray("\t\t<CODE>211</CODE>\r\n\t\t<SUM_YEAR>7,5</SUM_YEAR>\r\n"),
        QByteArray("\t\t<SUM_YEAR>1</SUM_YEAR\r\n\r\n\n\t\t<CODE>2</CODE>\r"),
        QByteArray("\t\t<DEP>\xd1\xec\xe5\xf2\xe0 \x98\xff</DEP>\r\n\t\t<\xc4>x</\xc4>\n\t\t<>\n\t<COLUMN>\n\r"),
        QByteArray("\t\t<CODE></CODE>\n\t\t<CODE>a</CODE></CODE>\n\t\t<CODE>\n\t\t<CODE>b</CODE \n<C>d"),
        QByteArray(),
    };
    const QString tags[] = {QStringLiteral("CODE"), QStringLiteral("SUM_YEAR"), QStringLiteral("DEP"),
                            QString::fromUtf8("\xd0\x94")};
    for (const QByteArray &bytes : files) {
        const EstimateContent content(bytes);
        const QStringList lines = textLines(bytes);
        ASSERT_EQ(content.size(), lines.size()) << bytes.toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &text = lines.at(i);
            const EstimateLine &line = content.at(i);
            const qsizetype close = text.indexOf(QLatin1Char('>'), 3);
            EXPECT_EQ(line.tag(),
                      text.startsWith(QStringLiteral("\t\t<")) && close > 3 ? text.mid(3, close - 3) : QString());
            EXPECT_EQ(line.innerText(), EstimateLine(text).innerText());
            for (const QString &tag : tags) {
                const qsizetype from = tag.size() + 4;
                const qsizetype end = text.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), from);
                const QString value = from >= text.size() ? QString() : text.mid(from, end < 0 ? -1 : end - from);
                EXPECT_EQ(line.valueOf(tag), value) << text.toStdString();
                EXPECT_EQ(line.opens(tag), line.tag() == tag);
            }
        }
    }
}

namespace {

// A saved estimate whose 211 amount, on line 25, is "150".
QByteArray soundSaved()
{
    Estimate estimate = windowEstimate();
    estimate.entries.expenses[22] = QStringLiteral("0");
    return fileBytes(windowEstimateLines(estimate, SavedOn, std::nullopt));
}

QByteArray replaced(QByteArray bytes, const char *from, const QByteArray &to)
{
    return bytes.replace(QByteArray(from), to);
}

struct DamageCase
{
    const char *name;
    QByteArray bytes;
    const char *problem; // what the check says, or its beginning
};

} // namespace

// Damage that a reader would take in silence or misread: the check names the
// first fault, so no caller has to guess what went wrong.
TEST(EstimateFileCheck, NamesTheFirstFaultOfEachKindOfDamage)
{
    const QByteArray good = soundSaved();
    const QByteArray record211 =
        "\t<COLUMN>\r\n\t\t<DESCRIPTION>" + toWindows1251(QStringLiteral("Заработная плата")) +
        "</DESCRIPTION>\r\n\t\t<CODE>211</CODE>\r\n\t\t<SUM_YEAR>150</SUM_YEAR>\r\n\t</COLUMN>\r\n";
    ASSERT_TRUE(good.contains(record211));
    const DamageCase cases[] = {
        {"empty", QByteArray(), "файл пуст"},
        {"all_nul", QByteArray(good.size(), '\0'), "строка 1: нулевой байт"},
        {"nul_in_an_amount",
         replaced(good, "150<",
                  QByteArray("1\0"
                             "50<",
                             4)),
         "строка 25: нулевой байт"},
        {"lf_only", replaced(good, "\r\n", "\n"), "строка 1: строка кончается знаком LF без CR (нужна пара CR LF)"},
        {"cr_only", replaced(good, "\r\n", "\r"), "строка 1: знак CR без LF (строки должны кончаться парой CR LF)"},
        {"utf8", fromWindows1251(good).toUtf8(), "файл записан в кодировке UTF-8, а не Windows-1251"},
        {"utf8_byte_order_mark", "\xEF\xBB\xBF" + good, "файл записан в кодировке UTF-8, а не Windows-1251"},
        {"control_byte",
         replaced(good, "150<",
                  "1\x1b"
                  "50<"),
         "строка 25: управляющий знак с кодом 27"},
        {"cut_within_a_line", good.chopped(5), "строка 42: последняя строка не кончается парой CR LF"},
        {"cut_at_a_line_end", good.left(good.lastIndexOf("\t</COLUMN>")), "файл обрывается после строки 40"},
        {"junk_line", replaced(good, "\t</COLUMN>\r\n\t<COLUMN>", "\t</COLUMN>\r\nмусор\r\n\t<COLUMN>"),
         "строка 10: ожидалось «<COLUMN>» или «</SMETA>»"},
        {"text_after_the_end", good + "\r\n", "строка 43: текст после «</SMETA>»"},
        {"unknown_element", replaced(good, "<SUM_YEAR>150</SUM_YEAR>", "<SUM>150</SUM>"),
         "строка 25: ожидалось строка суммы или «</COLUMN>»"},
        {"record_twice", replaced(good, record211, record211 + record211),
         "строка 29: код «211» повторяется или стоит не по порядку"},
        {"flipped_bit_in_a_code", replaced(good, "<CODE>211<", "<CODE>2q1<"), "строка 24: код «2q1» не бывает в смете"},
        {"flipped_bit_in_an_amount", replaced(good, ">150<", ">1u0<"),
         "строка 25: сумма «1u0» не число (нужны цифры с запятой или точкой, без пробелов между разрядами)"},
        {"letters", replaced(good, ">150<", ">abc<"), "строка 25: сумма «abc» не число"},
        {"not_a_number", replaced(good, ">150<", ">NaN<"), "строка 25: сумма «NaN» не число"},
        {"infinity", replaced(good, ">150<", ">INF<"), "строка 25: сумма «INF» не число"},
        {"overflow", replaced(good, ">150<", ">1e400<"), "строка 25: сумма «1e400» не число"},
        {"grouping", replaced(good, ">150<", ">1 500<"), "строка 25: сумма «1 500» не число"},
        {"both_separators", replaced(good, ">150<", ">1,5.0<"), "строка 25: сумма «1,5.0» не число"},
        {"empty_amount", replaced(good, ">150<", "><"), "строка 25: пустая сумма"},
        {"breakdown_code_in_an_expense",
         replaced(good, "211</CODE>\r\n", "211</CODE>\r\n\t\t<CODE_RASCH>3</CODE_RASCH>\r\n"),
         "строка 25: строки CODE_RASCH не бывает в записи расхода"},
        {"remainder_without_breakdown_code",
         replaced(good, "</CODE>\r\n\t\t<CODE_RASCH>3</CODE_RASCH>\r\n\t\t<SUM_YEAR>50<",
                  "</CODE>\r\n\t\t<SUM_YEAR>50<"),
         "строка 13: нет верного кода расшифровки дохода CODE_RASCH"},
        {"remainder_of_another_income_code", replaced(good, "38600000000000000510*", "38630101010010000120*"),
         "строка 12: ожидался код остатка «38600000000000000510*»"},
    };
    for (const DamageCase &c : cases) {
        const QString problem = estimateFileProblem(c.bytes);
        EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.problem))) << c.name << ": " << problem.toStdString();
    }
}

TEST(EstimateFileCheck, EveryWritersFileIsSound)
{
    Estimate templ;
    templ.source = 4; // "000" codes
    templ.entries.income = QStringLiteral("1.5");
    const QList<ConsolidatedRecord> consolidated = {
        {QStringLiteral("I. Остаток"), QString(), QStringLiteral("5")},
        {QStringLiteral("a<b"), incomeHeading().code, QString()},
        {QStringLiteral("Заработная плата"), expenseLines()[0].fullCode(), QStringLiteral("1,5"), false}};
    const std::pair<QByteArray, EstimateKind> files[] = {
        {soundSaved(), EstimateKind::Saved},
        {replaced(soundSaved(), "100,5", "1.005e2"), EstimateKind::Saved},  // either separator
        {replaced(soundSaved(), ">150<", ">1e-400<"), EstimateKind::Saved}, // below the smallest number: 0
        {fileBytes(templateEstimateLines(templ, QDate(2026, 1, 2), QString())), EstimateKind::Template},
        {vastrel::test::testData(QStringLiteral("registered_template.xml")), EstimateKind::Template},
        {vastrel::test::testData(QStringLiteral("saved_from_window.xml")), EstimateKind::Saved},
        {fileBytes(estimateFileLines({QString(), QStringLiteral("СВОДНАЯ СМЕТА"), QString(), QString(), QString()},
                                     consolidatedRecords(consolidated))),
         EstimateKind::Consolidated},
    };
    for (const auto &[bytes, expected] : files) {
        EstimateKind kind = EstimateKind::Saved;
        EXPECT_EQ(estimateFileProblem(EstimateContent(bytes), &kind).toStdString(), "")
            << fromWindows1251(bytes).toStdString();
        EXPECT_EQ(kind, expected);
    }
}
