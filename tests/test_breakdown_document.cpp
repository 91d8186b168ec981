#include "domain/error.h"
#include "editing/calculation.h"
#include "export/breakdown_document.h"
#include "export/sheet_model.h"
#include "export/xlsx_backend.h"
#include "store/settings.h"
#include "windows/state/estimate_window.h"

#include "windows/main_window.h"

#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"
#include "support/xlsx_reader.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;
using vastrel::test::XlsxSheet;

namespace {

const QDate Today(2026, 3, 15);
const QString Money = QStringLiteral("#,##0.00");

QStringList settingsWithStatus(const QString &status)
{
    return {QStringLiteral("кафедры истории"),
            QStringLiteral("Заведующий кафедрой"),
            QStringLiteral("И.И. Иванов"),
            QStringLiteral("123"),
            status,
            QStringLiteral("Бухгалтер"),
            QStringLiteral("Петрова А.А.")};
}

// The worked example: amounts in 211, 213, 221, 226, 290 and 310 only.
EstimateWindow workedExample()
{
    EstimateWindow window;
    window.setIncomeCode(2);
    window.source = 1;
    window.remainder = QStringLiteral("50");
    window.income = QStringLiteral("1000");
    window.expense(QStringLiteral("211")) = QStringLiteral("100");
    window.expense(QStringLiteral("213")) = QStringLiteral("26,2");
    window.expense(QStringLiteral("221")) = QStringLiteral("10");
    window.expense(QStringLiteral("226")) = QStringLiteral("20");
    window.expense(QStringLiteral("290")) = QStringLiteral("30");
    window.expense(QStringLiteral("310")) = QStringLiteral("40");
    return window;
}

class BreakdownTest : public ::testing::Test
{
protected:
    // Calculates as the window does, then exports and reads the file back.
    XlsxSheet exportWith(EstimateWindow window, const QString &status = QStringLiteral("1"))
    {
        files.writeSettings(settingsWithStatus(status));
        calculate(window);
        BreakdownData data;
        const bool prepared =
            report(messages, prepareBreakdown(files.workspace(), window.estimate(), window.totals(), Today, data)).ok();
        EXPECT_TRUE(prepared);
        if (!prepared)
            return XlsxSheet();
        SheetModel book;
        writeBreakdown(book, data);
        const QString path = files.workspace().resolve(QStringLiteral("breakdown.xlsx"));
        saveXlsx(book, path);
        XlsxSheet sheet = XlsxSheet::read(path);
        EXPECT_TRUE(sheet.error().isEmpty()) << qPrintable(sheet.error());
        return sheet;
    }

    // Prepares the window's document, its refusal shown.
    Outcome prepare(const EstimateWindow &window)
    {
        BreakdownData data;
        return runAction(messages, [&] {
            return prepareBreakdown(files.workspace(), window.estimate(), window.totals(), Today, data);
        });
    }

    TempWorkspace files;
    RecordingMessages messages;
};

void expectLineRow(const XlsxSheet &sheet, int row, const QString &label, const QString &code, double amount)
{
    const QString r = QString::number(row);
    EXPECT_EQ(sheet.text(QStringLiteral("A") + r), label) << row;
    EXPECT_EQ(sheet.text(QStringLiteral("D") + r), code) << row;
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E") + r), amount) << row;
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("A%1:C%1").arg(row))) << row;
}

} // namespace

TEST_F(BreakdownTest, WorkedExampleForAnIndependentEntity)
{
    const XlsxSheet sheet = exportWith(workedExample());

    EXPECT_EQ(sheet.text(QStringLiteral("A23")),
              QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"));
    EXPECT_EQ(sheet.text(QStringLiteral("D23")), QStringLiteral("386 00000000000000210"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E23")).formula, QStringLiteral("SUM(E24:E25)"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E23")), 126.2);
    expectLineRow(sheet, 24, QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"), 100);
    expectLineRow(sheet, 25, QStringLiteral("Начисления на выплаты по оплате труда"),
                  QStringLiteral("386 00000000000000213"), 26.2);
    EXPECT_EQ(sheet.text(QStringLiteral("A26")), QStringLiteral("Оплата работ, услуг"));
    EXPECT_EQ(sheet.text(QStringLiteral("D26")), QStringLiteral("386 00000000000000220"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E26")).formula, QStringLiteral("SUM(E27:E28)"));
    expectLineRow(sheet, 27, QStringLiteral("Услуги связи"), QStringLiteral("386 00000000000000221"), 10);
    expectLineRow(sheet, 28, QStringLiteral("Прочие услуги"), QStringLiteral("386 00000000000000226"), 20);
    expectLineRow(sheet, 29, QStringLiteral("ПРОЧИЕ РАСХОДЫ"), QStringLiteral("386 00000000000000290"), 30);
    EXPECT_EQ(sheet.text(QStringLiteral("A30")), QStringLiteral("Поступление нефинансовых активов"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E30")).formula, QStringLiteral("SUM(E31:E31)"));
    expectLineRow(sheet, 31, QStringLiteral("Увеличение стоимости основных фондов"),
                  QStringLiteral("386 00000000000000310"), 40);
    EXPECT_EQ(sheet.text(QStringLiteral("A32")), QStringLiteral("ИТОГО:"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("E32")).formula.isEmpty()) << "totals are numbers, not formulas";
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E32")), 226.2);
    expectLineRow(
        sheet, 33,
        QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям"),
        QStringLiteral("386 00000000000000241"), 0);
    EXPECT_EQ(sheet.cell(QStringLiteral("E33")).text, QStringLiteral("0")) << "the 241 row is there also when 0";
    EXPECT_EQ(sheet.text(QStringLiteral("A34")), QStringLiteral("ИТОГО РАСХОДОВ:"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E34")), 226.2);
    EXPECT_FALSE(sheet.rows().contains(35));
    EXPECT_EQ(sheet.text(QStringLiteral("A36")), QStringLiteral("Бухгалтер"));
    EXPECT_EQ(sheet.text(QStringLiteral("D36")), QStringLiteral("_____________________ Петрова А.А."));
    EXPECT_EQ(sheet.lastRow(), 36);

    // Income part.
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E17")), 50);
    EXPECT_EQ(sheet.text(QStringLiteral("A19")), QStringLiteral("Доходы от оказания услуг федеральными учреждениями"));
    EXPECT_EQ(sheet.text(QStringLiteral("D19")), QStringLiteral("386 30201010010000130"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E19")), 1000);
    EXPECT_EQ(sheet.cell(QStringLiteral("E20")).formula, QStringLiteral("SUM(E17:E19)"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E20")), 1050);
}

TEST_F(BreakdownTest, SeparateEntityHasNeither241NorSecondTotal)
{
    EstimateWindow window = workedExample();
    window.expense(QStringLiteral("241")) = QStringLiteral("7");
    const XlsxSheet sheet = exportWith(window, QStringLiteral("3"));
    EXPECT_EQ(sheet.text(QStringLiteral("A32")), QStringLiteral("ИТОГО:"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E32")), 226.2);
    EXPECT_FALSE(sheet.rows().contains(33));
    EXPECT_FALSE(sheet.rows().contains(34));
    EXPECT_EQ(sheet.text(QStringLiteral("A35")), QStringLiteral("Бухгалтер"));
    EXPECT_EQ(sheet.lastRow(), 35);
}

TEST_F(BreakdownTest, SeparateEntityShows610BelowTheTotal)
{
    EstimateWindow window = workedExample();
    window.expense(QStringLiteral("610")) = QStringLiteral("15");
    const XlsxSheet sheet = exportWith(window, QStringLiteral("3"));
    expectLineRow(sheet, 33, QStringLiteral("Перечисление средств вышестоящей организации"),
                  QStringLiteral("386 00000000000000610"), 15);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(33), 25.5);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E32")), 226.2) << "610 is in no total";
    EXPECT_EQ(sheet.cell(QStringLiteral("E33")).format.vertical, QStringLiteral("center"));
    EXPECT_EQ(sheet.cell(QStringLiteral("D33")).format.vertical, QStringLiteral("center"));
    EXPECT_EQ(sheet.text(QStringLiteral("A36")), QStringLiteral("Бухгалтер"));
}

TEST_F(BreakdownTest, IndependentEntityAdds241AfterTheTotalAndNever610)
{
    EstimateWindow window = workedExample();
    window.expense(QStringLiteral("241")) = QStringLiteral("7");
    window.expense(QStringLiteral("610")) = QStringLiteral("15");
    window.expense(QStringLiteral("530")) = QStringLiteral("9");
    const XlsxSheet sheet = exportWith(window, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E32")), 226.2);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E33")), 7);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E34")), 233.2);
    for (int row : sheet.rows()) {
        EXPECT_NE(sheet.text(QStringLiteral("D%1").arg(row)), QStringLiteral("386 00000000000000610"));
        EXPECT_NE(sheet.text(QStringLiteral("D%1").arg(row)), QStringLiteral("386 00000000000000530"));
    }
}

TEST_F(BreakdownTest, TransfersAndPensionsAreShownButNotSummed)
{
    EstimateWindow window;
    window.setIncomeCode(0);
    window.source = 0;
    window.income = QStringLiteral("100");
    window.expense(QStringLiteral("242")) = QStringLiteral("1");
    window.expense(QStringLiteral("251")) = QStringLiteral("2");
    window.expense(QStringLiteral("253")) = QStringLiteral("3");
    window.expense(QStringLiteral("261")) = QStringLiteral("4");
    window.expense(QStringLiteral("262")) = QStringLiteral("5");
    window.expense(QStringLiteral("263")) = QStringLiteral("6");
    const XlsxSheet sheet = exportWith(window);
    // 210 at 23, 220 at 24 straight after it: a group without lines.
    EXPECT_EQ(sheet.text(QStringLiteral("D24")), QStringLiteral("386 00000000000000220"));
    const QStringList codes = {QStringLiteral("242"), QStringLiteral("251"), QStringLiteral("253"),
                               QStringLiteral("261"), QStringLiteral("262"), QStringLiteral("263")};
    for (int i = 0; i < codes.size(); ++i)
        expectLineRow(sheet, 25 + i, sheet.text(QStringLiteral("A%1").arg(25 + i)),
                      QStringLiteral("386 00000000000000") + codes[i], i + 1);
    EXPECT_EQ(sheet.text(QStringLiteral("D31")), QStringLiteral("386 00000000000000300"));
    EXPECT_EQ(sheet.text(QStringLiteral("A32")), QStringLiteral("ИТОГО:"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E32")), 5) << "only 262 counts";
}

TEST_F(BreakdownTest, GroupWithoutLinesHoldsZeroNotASelfReference)
{
    EstimateWindow window;
    window.setIncomeCode(0);
    window.income = QStringLiteral("10");
    window.expense(QStringLiteral("221")) = QStringLiteral("10");
    const XlsxSheet sheet = exportWith(window);
    for (const char *ref : {"E23", "E26"}) {
        const auto cell = sheet.cell(QString::fromLatin1(ref));
        EXPECT_TRUE(cell.formula.isEmpty()) << ref;
        EXPECT_EQ(cell.text, QStringLiteral("0")) << ref;
        EXPECT_EQ(cell.format.numberFormat, Money) << ref;
        EXPECT_TRUE(cell.format.bold) << ref;
    }
    EXPECT_EQ(sheet.text(QStringLiteral("D23")), QStringLiteral("386 00000000000000210"));
    EXPECT_EQ(sheet.text(QStringLiteral("D24")), QStringLiteral("386 00000000000000220"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E24")).formula, QStringLiteral("SUM(E25:E25)"));
    EXPECT_EQ(sheet.text(QStringLiteral("D26")), QStringLiteral("386 00000000000000300"));
    EXPECT_EQ(sheet.text(QStringLiteral("A27")), QStringLiteral("ИТОГО:"));
}

TEST_F(BreakdownTest, HeadingBlockAndPageSetup)
{
    const XlsxSheet sheet = exportWith(workedExample());
    EXPECT_EQ(sheet.footer(), QStringLiteral("&L&7Вастрель - Тавер, 2026"));
    EXPECT_EQ(sheet.orientation(), QStringLiteral("portrait"));
    EXPECT_EQ(sheet.printTitles(), QStringLiteral("'Лист1'!$2:$3"));

    const struct
    {
        const char *ref, *merge;
        QString text;
    } approval[] = {
        {"C1", "C1:E1", QStringLiteral("\"УТВЕРЖДАЮ\"")},
        {"C2", "C2:E2", QStringLiteral("Заведующий кафедрой")},
        {"C4", "C4:E4", QStringLiteral("_____________________ И.И. Иванов")},
        {"C6", "C6:E6", QStringLiteral("\"____\"___________ 2026 г.")},
    };
    for (const auto &line : approval) {
        const auto cell = sheet.cell(QString::fromLatin1(line.ref));
        EXPECT_EQ(cell.text, line.text) << line.ref;
        EXPECT_TRUE(sheet.hasMerge(QString::fromLatin1(line.merge))) << line.ref;
        EXPECT_EQ(cell.format.fontName, QStringLiteral("Arial Cyr"));
        EXPECT_DOUBLE_EQ(cell.format.fontSize, 10);
        EXPECT_TRUE(cell.format.bold);
        EXPECT_EQ(cell.format.horizontal, QStringLiteral("right"));
    }
    for (int row : {3, 5, 7, 8, 10})
        EXPECT_FALSE(sheet.rows().contains(row)) << row;

    EXPECT_EQ(sheet.text(QStringLiteral("A9")), QStringLiteral("РАСШИФРОВКА"));
    EXPECT_EQ(sheet.cell(QStringLiteral("A9")).format.horizontal, QStringLiteral("center"));
    const auto source = sheet.cell(QStringLiteral("A11"));
    EXPECT_EQ(source.text, QStringLiteral("Доходы, получаемые от платных услуг ( п. 2 )"));
    EXPECT_FALSE(source.format.bold);
    EXPECT_TRUE(source.format.wrap);
    EXPECT_EQ(source.format.vertical, QStringLiteral("top"));
    EXPECT_EQ(sheet.text(QStringLiteral("A12")), QStringLiteral("кафедры истории"));
    EXPECT_EQ(sheet.cell(QStringLiteral("A12")).format.vertical, QStringLiteral("center"));
    EXPECT_EQ(sheet.text(QStringLiteral("A13")), QStringLiteral("Министерство, ведомство:"));
    EXPECT_EQ(sheet.text(QStringLiteral("B13")), QStringLiteral(" Тавер"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("B13")).format.italic);
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("B13:D13")));
    EXPECT_DOUBLE_EQ(sheet.cell(QStringLiteral("A14")).format.fontSize, 9);
    EXPECT_EQ(sheet.text(QStringLiteral("B14")), QStringLiteral("руб."));
    EXPECT_TRUE(sheet.cell(QStringLiteral("B14")).format.italic);
    for (const char *merge : {"A15:C16", "D15:D16", "E15:E16"})
        EXPECT_TRUE(sheet.hasMerge(QString::fromLatin1(merge))) << merge;
    EXPECT_EQ(sheet.text(QStringLiteral("A15")), QStringLiteral("Наименование показателя"));
    EXPECT_EQ(sheet.text(QStringLiteral("D15")), QStringLiteral("Код"));
    EXPECT_EQ(sheet.text(QStringLiteral("E15")), QStringLiteral("Сумма средств на год"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("C16")).format.thinBorders);
}

TEST_F(BreakdownTest, FixedRowsFormatsAndHeights)
{
    const XlsxSheet sheet = exportWith(workedExample());
    EXPECT_EQ(sheet.text(QStringLiteral("A17")), QStringLiteral("Остаток средств на 01.01.2026"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("D17")).isBlank());
    EXPECT_TRUE(sheet.cell(QStringLiteral("D17")).format.horizontal.isEmpty());
    EXPECT_EQ(sheet.text(QStringLiteral("D18")), QStringLiteral("386 30000000000000000"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("E18")).isBlank());
    EXPECT_TRUE(sheet.cell(QStringLiteral("E18")).format.bold);
    EXPECT_EQ(sheet.text(QStringLiteral("A20")), QStringLiteral("ИТОГО ДОХОДОВ:"));
    EXPECT_EQ(sheet.cell(QStringLiteral("D20")).format.horizontal, QStringLiteral("center"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("D20")).isBlank());
    EXPECT_EQ(sheet.text(QStringLiteral("A21")),
              QStringLiteral("Расходы по классификации операций сектора государственного управления бюджетной "
                             "классификации Российской Федерации "));
    EXPECT_EQ(sheet.text(QStringLiteral("D21")), QStringLiteral("386 00000000000000200"));
    EXPECT_EQ(sheet.text(QStringLiteral("A22")), QStringLiteral("РАСХОДЫ:"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E22")).format.horizontal, QStringLiteral("center"));
    EXPECT_FALSE(sheet.cell(QStringLiteral("A23")).format.bold) << "the 210 label is not bold";
    EXPECT_TRUE(sheet.cell(QStringLiteral("A26")).format.bold);

    EXPECT_DOUBLE_EQ(sheet.rowHeight(17), 12.75);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(18), 38.25);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(21), 51);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(23), 25.5);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(26), 12.75);

    // Line row.
    const auto label = sheet.cell(QStringLiteral("A24"));
    EXPECT_TRUE(label.format.wrap);
    EXPECT_EQ(label.format.vertical, QStringLiteral("top"));
    EXPECT_TRUE(label.format.thinBorders);
    EXPECT_TRUE(sheet.cell(QStringLiteral("C24")).format.thinBorders);
    const auto code = sheet.cell(QStringLiteral("D24"));
    EXPECT_DOUBLE_EQ(code.format.fontSize, 8);
    EXPECT_EQ(code.format.horizontal, QStringLiteral("center"));
    const auto amount = sheet.cell(QStringLiteral("E24"));
    EXPECT_EQ(amount.format.numberFormat, Money);
    EXPECT_FALSE(amount.format.bold);
    // Total row.
    EXPECT_TRUE(sheet.cell(QStringLiteral("A32")).format.bold);
    EXPECT_FALSE(sheet.cell(QStringLiteral("A32")).format.wrap);
    EXPECT_TRUE(sheet.cell(QStringLiteral("E32")).format.bold);
    EXPECT_EQ(sheet.cell(QStringLiteral("E32")).format.numberFormat, Money);
    // Signature row: not ruled.
    EXPECT_FALSE(sheet.cell(QStringLiteral("A36")).format.thinBorders);
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("A36:C36")));
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("D36:E36")));
    EXPECT_TRUE(sheet.cell(QStringLiteral("D36")).format.bold);

    // Every written cell uses the document's font.
    for (int row : sheet.rows()) {
        for (const char *column : {"A", "B", "C", "D", "E"}) {
            const auto cell = sheet.cell(QString::fromLatin1(column) + QString::number(row));
            if (cell.present) {
                EXPECT_EQ(cell.format.fontName, QStringLiteral("Arial Cyr")) << column << row;
            }
        }
    }
    // Autofit: the labels of column A set its width; column C holds only merged text.
    EXPECT_GT(sheet.columnWidth(1), 20);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(3), 0);
    EXPECT_GT(sheet.columnWidth(4), 12);
}

TEST_F(BreakdownTest, NoSourceAndNoIncomeCodeSelected)
{
    EstimateWindow window = workedExample();
    window.source = -1;
    window.incomeCode = -1;
    window.incomeCodeText = QStringLiteral("386 123");
    const XlsxSheet sheet = exportWith(window);
    EXPECT_EQ(sheet.text(QStringLiteral("A11")), QStringLiteral(" ( п. 0 )"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("D19")).isBlank());
    EXPECT_TRUE(sheet.cell(QStringLiteral("A19")).isBlank());
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E19")), 1000);
}

TEST_F(BreakdownTest, RefusalsComeBeforeAnyDocument)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    EstimateWindow window = workedExample();
    // Never calculated: the totals are empty.
    EXPECT_FALSE(prepare(window));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Пустая смета.")});

    for (const auto &[income, expense] : {std::pair{"0", "5"}, std::pair{"5", "0"}, std::pair{"5", ""}}) {
        messages.clear();
        window.incomeTotal = QString::fromLatin1(income);
        window.expenseTotal = QString::fromLatin1(expense);
        EXPECT_FALSE(prepare(window));
        EXPECT_EQ(messages.last(), QStringLiteral("Пустая смета.")) << income << expense;
    }

    // A total that is no number is the conversion error.
    window.incomeTotal = QStringLiteral("abc");
    window.expenseTotal = QStringLiteral("5");
    EXPECT_FALSE(prepare(window));
    EXPECT_EQ(messages.lastFirstLine(), QStringLiteral("'abc' is not a valid floating point value"));
}

TEST_F(BreakdownTest, MissingSettingsAreNamedNotAnIoError)
{
    EstimateWindow window = workedExample();
    calculate(window);
    EXPECT_FALSE(prepare(window));
    EXPECT_EQ(messages.texts(), QStringList{settingsMissingMessage()});
    EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
}

TEST_F(BreakdownTest, AmountThatIsNoNumberStopsBeforeTheDocument)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    EstimateWindow window = workedExample();
    calculate(window);
    window.expense(QStringLiteral("530")) = QStringLiteral("1 000");
    EXPECT_FALSE(prepare(window));
    EXPECT_EQ(messages.firstLines(), QStringList{QStringLiteral("'1 000' is not a valid floating point value")});
}

TEST_F(BreakdownTest, WindowExportAsksWhereToKeepTheDocument)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    EstimateWindow window = workedExample();
    window.selectorItems = {QStringLiteral("101|смета кафедры|заметки")};
    window.selectorIndex = 0;
    calculate(window);

    test::ScriptedDelivery delivery;
    QString suggested;
    QStringList opened;
    const QString target = files.workspace().resolve(QStringLiteral("документ"));
    delivery.choose = [&](const QString &path) {
        suggested = path;
        return target;
    };
    delivery.opening = [&](const QString &path) {
        opened.append(path);
        return true;
    };
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    EXPECT_TRUE(messages.texts().isEmpty()) << qPrintable(messages.texts().join(QLatin1Char('\n')));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("Расшифровка сметы смета кафедры.xlsx"))) << qPrintable(suggested);
    EXPECT_EQ(opened, QStringList{target + QStringLiteral(".xlsx")});
    EXPECT_EQ(XlsxSheet::read(target + QStringLiteral(".xlsx")).text(QStringLiteral("A9")),
              QStringLiteral("РАСШИФРОВКА"));
    // The next save dialog opens in the folder the document was kept in.
    QDir::root().mkpath(files.workspace().resolve(QStringLiteral("папка")));
    const QString inFolder = files.workspace().resolve(QStringLiteral("папка/документ.xlsx"));
    delivery.choose = [&](const QString &path) {
        suggested = path;
        return inFolder;
    };
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), QFileInfo(inFolder).absolutePath());
    delivery.choose = [&](const QString &path) {
        suggested = path;
        return target;
    };
    opened.clear();

    // Without a program to open it, the user is told where the document is.
    delivery.opening = [](const QString &) { return false; };
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().contains(QDir::toNativeSeparators(target + QStringLiteral(".xlsx"))));
    EXPECT_EQ(messages.all().first().kind, MessageKind::Information);
    messages.clear();

    // Declining keeps nothing; a refusal never asks.
    QFile::remove(target + QStringLiteral(".xlsx"));
    opened.clear();
    delivery.choose = [&](const QString &) { return QString(); };
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(QFile::exists(target + QStringLiteral(".xlsx")));

    bool asked = false;
    delivery.choose = [&](const QString &) {
        asked = true;
        return target;
    };
    window.expense(QStringLiteral("211")) = QStringLiteral("x");
    exportBreakdownFromWindow(nullptr, delivery, files.workspace(), window, messages);
    EXPECT_FALSE(asked);
    EXPECT_EQ(messages.lastFirstLine(), QStringLiteral("'x' is not a valid floating point value"));
}

TEST_F(BreakdownTest, CommandLineCalculatesBeforeExporting)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    const QString root = files.root();
    const auto result =
        vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown"),
                               QStringLiteral("--income"), QStringLiteral("100"), QStringLiteral("--e211"),
                               QStringLiteral("100"), QStringLiteral("-o"), QStringLiteral("f.xlsx")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    const XlsxSheet sheet = XlsxSheet::read(QDir(root).filePath(QStringLiteral("f.xlsx")));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E24")), 100);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E17")), 0);
    EXPECT_EQ(sheet.text(QStringLiteral("A17")),
              QStringLiteral("Остаток средств на 01.01.") + QString::number(QDate::currentDate().year()));

    const auto bad = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown"),
                                            QStringLiteral("--income"), QStringLiteral("100"), QStringLiteral("--e211"),
                                            QStringLiteral("1.5"), QStringLiteral("-o"), QStringLiteral("g.xlsx")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral("'1.5' is not a valid floating point value\nСумма «1.5»")))
        << bad.err.toStdString();
    EXPECT_FALSE(files.exists(QStringLiteral("g.xlsx")));

    const auto empty = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown"),
                                              QStringLiteral("-o"), QStringLiteral("g.xlsx")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, QStringLiteral("Пустая смета.\n"));
    EXPECT_FALSE(files.exists(QStringLiteral("g.xlsx")));

    const auto usage = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown")});
    EXPECT_EQ(usage.exitCode, 2);

    files.writeToc({QStringLiteral("101|смета кафедры|")});
    const auto unknown =
        vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown"), QStringLiteral("--from"),
                               QStringLiteral("другая"), QStringLiteral("-o"), QStringLiteral("g.xlsx")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err, QStringLiteral("Смета \"другая\" не найдена в оглавлении.\n"));
    EXPECT_FALSE(files.exists(QStringLiteral("g.xlsx")));

    QFile::remove(files.workspace().settingsPath());
    const auto noSettings =
        vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-breakdown"),
                               QStringLiteral("--income"), QStringLiteral("1"), QStringLiteral("--e211"),
                               QStringLiteral("1"), QStringLiteral("-o"), QStringLiteral("g.xlsx")});
    EXPECT_EQ(noSettings.exitCode, 1);
    EXPECT_EQ(noSettings.err, settingsMissingMessage() + QLatin1Char('\n'));
    EXPECT_FALSE(files.exists(QStringLiteral("g.xlsx")));
}

TEST_F(BreakdownTest, CommandLineDrawsThePdfWithoutADisplay)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    const QString root = files.root();
    qunsetenv("DISPLAY");
    const auto result = vastrel::test::runCli(
        {QStringLiteral("-C"), root, QStringLiteral("export-breakdown"), QStringLiteral("--income"),
         QStringLiteral("999999999999,99"), QStringLiteral("--e211"), QStringLiteral("999999999999,99"),
         QStringLiteral("--e241"), QStringLiteral("0,5"), QStringLiteral("-o"), QStringLiteral("f.pdf")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    const QByteArray file = files.read(QStringLiteral("f.pdf"));
    EXPECT_TRUE(file.startsWith("%PDF-"));
    EXPECT_TRUE(file.contains("/FontFile2")) << "fonts are embedded";
    VASTREL_SKIP_WITHOUT_PDFTOTEXT();
    const QString text = vastrel::test::pdfText(QDir(root).filePath(QStringLiteral("f.pdf")));
    EXPECT_EQ(
        vastrel::test::firstOutOfOrder(
            text, {QStringLiteral("\"УТВЕРЖДАЮ\""), QStringLiteral("Заведующий кафедрой"),
                   QStringLiteral("И.И. Иванов"), QStringLiteral("РАСШИФРОВКА"), QStringLiteral("кафедры истории"),
                   QStringLiteral("Наименование показателя"), QStringLiteral("Сумма средств на год"),
                   QStringLiteral("ИТОГО ДОХОДОВ:"), QStringLiteral("999 999 999 999,99"),
                   QStringLiteral("386 00000000000000211"), QStringLiteral("ИТОГО:"),
                   QStringLiteral("386 00000000000000241"), QStringLiteral("0,50"), QStringLiteral("ИТОГО РАСХОДОВ:"),
                   QStringLiteral("1 000 000 000 000,49"), QStringLiteral("Бухгалтер"),
                   QStringLiteral("_____________________ Петрова А.А."), QStringLiteral("Вастрель - Тавер, ")}),
        QString())
        << qPrintable(text);
}

TEST(BreakdownSheet, AlignmentsOfTheHeadingAndTheTable)
{
    BreakdownData data;
    data.settings.status = QStringLiteral("1");
    data.year = QStringLiteral("2026");
    data.source = 0;
    data.incomeCode = 0;
    data.income = 100;
    data.expenses[0] = 100;
    SheetModel sheet;
    writeBreakdown(sheet, data);
    EXPECT_EQ(sheet.cellAt(1, 3)->style.align, Align::Right);
    EXPECT_EQ(sheet.cellAt(9, 1)->style.align, Align::Centre);
    EXPECT_EQ(sheet.cellAt(24, 4)->style.vertical, VerticalAlign::Top);
    EXPECT_EQ(sheet.page().titleFirst, 2);
    EXPECT_EQ(sheet.page().titleLast, 3);
}

TEST_F(BreakdownTest, MainWindowButtonExportsWhatTheWindowShows)
{
    files.writeSettings(settingsWithStatus(QStringLiteral("1")));
    test::ScriptedDelivery delivery;
    MainWindow window(files.workspace(), messages, delivery);
    QTest::keyClicks(window.findChild<QLineEdit *>(QStringLiteral("MaskEdit6")), QStringLiteral("300"));
    QTest::keyClicks(window.findChild<QLineEdit *>(QStringLiteral("MaskEdit41")), QStringLiteral("299,5"));
    window.findChild<QPushButton *>(QStringLiteral("Button1"))->click();

    const QString target = files.workspace().resolve(QStringLiteral("из окна.xlsx"));
    delivery.choose = [&](const QString &) { return target; };
    window.findChild<QPushButton *>(QStringLiteral("Button9"))->click();

    EXPECT_TRUE(messages.texts().isEmpty()) << qPrintable(messages.texts().join(QLatin1Char('\n')));
    const XlsxSheet sheet = XlsxSheet::read(target);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E19")), 300);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E24")), 299.5);
    EXPECT_EQ(sheet.text(QStringLiteral("A27")), QStringLiteral("ИТОГО:")) << "below the empty groups 220 and 300";
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E27")), 299.5);
}
