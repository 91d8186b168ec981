#include "domain/error.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/xlsx_backend.h"
#include "store/settings.h"

#include "support/xlsx_reader.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::XlsxSheet;

namespace {

XlsxSheet writeAndRead(const SheetModel &book, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    saveXlsx(book, path);
    return XlsxSheet::read(path);
}

} // namespace

TEST(CellAddresses, ParseAndPrint)
{
    EXPECT_EQ(CellRange::parse(QStringLiteral("E24")), CellRange::cell(24, 5));
    EXPECT_EQ(CellRange::parse(QStringLiteral("A15:C16")), (CellRange{15, 1, 16, 3}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("C16:A15")), (CellRange{15, 1, 16, 3}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("AA7")).left, 27);
    EXPECT_EQ((CellRange{15, 1, 16, 3}).a1(), QStringLiteral("A15:C16"));
    EXPECT_EQ(columnLetters(28), QStringLiteral("AB"));
    EXPECT_EQ(CellRange::parse(QStringLiteral("$b$3:$a1")), (CellRange{1, 1, 3, 2}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("XFD1048576")), CellRange::cell(1048576, 16384));
    for (const char *bad : {"", "E", "24", "E0", "E24:", "Е24" /* Cyrillic letter */, "ABCD1", "A12345678", "A1B2",
                            "A1:B", "$$A1", "A1 "})
        EXPECT_THROW(CellRange::parse(QString::fromUtf8(bad)), Error) << bad;
}

TEST(SheetModel, MergedCellsHoldTheirValueInTheTopLeftCell)
{
    SheetModel sheet;
    const Style boxed{10, false, false, Align::Centre, VerticalAlign::Top, false, true};
    sheet.put(CellRange::parse(QStringLiteral("A14:C15")), boxed, QStringLiteral("Наименование"));
    sheet.put(CellRange::span(16, A, C), boxed, QStringLiteral("x"));
    EXPECT_EQ(sheet.merges(), (QList<CellRange>{CellRange::parse(QStringLiteral("A14:C15")),
                                                CellRange::parse(QStringLiteral("A16:C16"))}));
    EXPECT_EQ(*sheet.mergeAt(15, 2), CellRange::parse(QStringLiteral("A14:C15")));
    EXPECT_EQ(sheet.mergeAt(15, 4), nullptr);
    EXPECT_EQ(sheet.cellAt(14, 1)->text, QStringLiteral("Наименование"));
    // The style reaches every cell.
    EXPECT_EQ(sheet.cellAt(15, 3)->kind, Cell::Kind::Blank);
    EXPECT_EQ(sheet.cellAt(15, 3)->style, boxed);
    // A range over part of a merged cell would split it.
    for (const char *a1 : {"A14", "C15:D15", "A1:G100"})
        EXPECT_THROW(sheet.put(CellRange::parse(QString::fromLatin1(a1)), Style{}, 1.0), Error) << a1;
    EXPECT_EQ(sheet.cellAt(14, 1)->text, QStringLiteral("Наименование"));
}

TEST(SheetModel, RowHeightsStartAtTheStandardHeight)
{
    SheetModel sheet;
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 12.75);
    sheet.setRowLines(5, 3);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 38.25);
    // A larger font makes its row taller before anyone sizes it.
    sheet.put(9, A, Style{12});
    EXPECT_DOUBLE_EQ(sheet.rowHeight(9), 15.75);
    sheet.put(10, A, Style{8});
    EXPECT_DOUBLE_EQ(sheet.rowHeight(10), 12.75);
}

TEST(SheetModel, SumsAreEvaluatedThroughOtherSums)
{
    SheetModel sheet;
    sheet.put(1, E, Style{}, 1.5);
    sheet.put(2, E, Style{}, 2.25);
    sheet.put(3, E, Style{}, Sum{{CellRange{1, E, 2, E}}});
    sheet.put(4, E, Style{}, Sum{{CellRange::cell(3, E), CellRange::cell(1, E)}});
    EXPECT_DOUBLE_EQ(sheet.numericValue(3, 5), 3.75);
    EXPECT_DOUBLE_EQ(sheet.numericValue(4, 5), 5.25);
    // A sum over its own cell ends instead of running forever.
    sheet.put(5, E, Style{}, Sum{{CellRange::cell(5, E)}});
    EXPECT_DOUBLE_EQ(sheet.numericValue(5, 5), 0);
}

TEST(SheetModel, AutoFitMeasuresOnlyPlainCells)
{
    SheetModel sheet;
    sheet.put(1, A, Style{}, QStringLiteral("Министерство, ведомство:"));
    sheet.put(CellRange::span(1, B, D), Style{}, QString(80, QLatin1Char('x')));
    Style wrapped;
    wrapped.wrap = true;
    sheet.put(2, C, wrapped, QStringLiteral("xxxx ").repeated(16));
    Style money;
    money.number = NumberFormat::Money;
    sheet.put(1, E, money, 1234567.5);
    sheet.put(1, F, Style{}, QStringLiteral("ИТОГО"));
    sheet.put(1, G, Style{10, true}, QStringLiteral("ИТОГО"));
    sheet.fitColumns(CellRange::parse(QStringLiteral("A1:H100")));
    const auto &widths = sheet.columnWidths();
    EXPECT_GT(widths.value(1), 20);
    EXPECT_LT(widths.value(1), 30);
    EXPECT_FALSE(widths.contains(2)) << "merged text widened its first column";
    EXPECT_FALSE(widths.contains(3)) << "wrapped text widened its column";
    EXPECT_EQ(sheet.displayText(1, 5), QStringLiteral("1 234 567,50"));
    EXPECT_GT(widths.value(5), 10);
    EXPECT_GT(widths.value(7), widths.value(6)) << "bold text is wider";
    EXPECT_FALSE(widths.contains(8));
}

TEST(SheetModel, TextWidthIsTheWidestLineWhateverItsEnding)
{
    const double wide = textWidth(QStringLiteral("Шщ ширина"), 10, false);
    for (const char *text : {"a\r\nШщ ширина", "Шщ ширина\ra", "a\nШщ ширина\r\n", "\r\rШщ ширина"})
        EXPECT_EQ(textWidth(QString::fromUtf8(text), 10, false), wide) << text;
    EXPECT_EQ(textWidth(QStringLiteral("\r\n\n"), 10, false), 0);
}

TEST(XlsxBackend, WritesWhatTheSheetHolds)
{
    QTemporaryDir dir;
    SheetModel book;
    PageSetup page;
    page.footer = QStringLiteral("Вастрель & Тавер, 2026");
    page.titleFirst = 2;
    page.titleLast = 3;
    book.setPage(page);
    book.put(CellRange::parse(QStringLiteral("C1:E1")), Style{10, true, false, Align::Right},
             QStringLiteral("\"УТВЕРЖДАЮ\""));
    book.put(2, A, Style{10, false, true}, QString(12, QLatin1Char(' ')));
    book.put(3, A, Style{9}, QStringLiteral("кафедры\r\nТавер"));
    book.put(4, D, Style{10, false, false, Align::General, VerticalAlign::Bottom, false, true});
    book.put(4, E, Style{10, false, false, Align::General, VerticalAlign::Top, false, false, NumberFormat::Money},
             1000.5);
    book.put(5, E, Style{10, false, false, Align::General, VerticalAlign::Middle, true}, 2.25);
    book.put(6, E, Style{}, Sum{{CellRange{4, E, 5, E}}});
    book.setRowLines(6, 4);
    book.fitColumns(CellRange::parse(QStringLiteral("A1:G100")));

    const XlsxSheet sheet = writeAndRead(book, dir);
    ASSERT_TRUE(sheet.error().isEmpty()) << qPrintable(sheet.error());
    EXPECT_EQ(sheet.footer(), QStringLiteral("&L&7Вастрель && Тавер, 2026"));
    EXPECT_EQ(sheet.orientation(), QStringLiteral("portrait"));
    EXPECT_EQ(sheet.printTitles(), QStringLiteral("'Лист1'!$2:$3"));
    EXPECT_EQ(sheet.defaultFont(), QStringLiteral("Arial Cyr 10"));
    EXPECT_DOUBLE_EQ(sheet.defaultRowHeight(), 12.75);

    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("C1:E1")));
    const auto c1 = sheet.cell(QStringLiteral("C1"));
    EXPECT_EQ(c1.text, QStringLiteral("\"УТВЕРЖДАЮ\""));
    EXPECT_EQ(c1.format.fontName, QStringLiteral("Arial Cyr"));
    EXPECT_TRUE(c1.format.bold);
    EXPECT_EQ(c1.format.horizontal, QStringLiteral("right"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("E1")).isBlank());

    EXPECT_EQ(sheet.text(QStringLiteral("A2")), QString(12, QLatin1Char(' ')));
    EXPECT_TRUE(sheet.cell(QStringLiteral("A2")).format.italic);
    EXPECT_EQ(sheet.text(QStringLiteral("A3")), QStringLiteral("кафедры\r\nТавер"));
    EXPECT_DOUBLE_EQ(sheet.cell(QStringLiteral("A3")).format.fontSize, 9);

    const auto d4 = sheet.cell(QStringLiteral("D4"));
    EXPECT_TRUE(d4.isBlank());
    EXPECT_TRUE(d4.format.thinBorders);
    EXPECT_FALSE(d4.format.filled);

    const auto e4 = sheet.cell(QStringLiteral("E4"));
    EXPECT_EQ(e4.text, QStringLiteral("1000.5"));
    EXPECT_EQ(e4.format.numberFormat, QStringLiteral("#,##0.00"));
    EXPECT_EQ(e4.format.vertical, QStringLiteral("top"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E5")).format.vertical, QStringLiteral("center"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("E5")).format.wrap);
    EXPECT_EQ(sheet.cell(QStringLiteral("E6")).formula, QStringLiteral("SUM(E4:E5)"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E6")), 1002.75) << "the cached result shows without recalculation";

    EXPECT_DOUBLE_EQ(sheet.rowHeight(6), 51);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(4), 12.75);
    EXPECT_GT(sheet.columnWidth(5), 8);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(3), 0) << "only merged text in column C";
}

TEST(XlsxBackend, FailedSaveLeavesNoFile)
{
    QTemporaryDir dir;
    SheetModel book;
    book.put(1, A, Style{}, QStringLiteral("x"));
    const QString path = dir.filePath(QStringLiteral("missing/book.xlsx"));
    EXPECT_THROW(saveXlsx(book, path), Error);
    EXPECT_FALSE(QFile::exists(path));
    // A text the format cannot hold is refused before anything is written.
    book.put(2, A, Style{}, QString(40000, QLatin1Char('x')));
    const QString second = dir.filePath(QStringLiteral("book.xlsx"));
    EXPECT_THROW(saveXlsx(book, second), Error);
    EXPECT_FALSE(QFile::exists(second));
}

namespace {

// Both documents with fractions, big amounts and heights and widths that are no whole numbers.
QByteArray documentWorkbook(bool breakdown)
{
    Settings settings;
    settings.name = QStringLiteral("кафедры истории");
    settings.responsibleName = QStringLiteral("Петрова А.А.");
    SheetModel book;
    if (breakdown) {
        BreakdownData data;
        data.settings = settings;
        data.year = QStringLiteral("2026");
        data.remainder = 20.5;
        data.income = 999999999999.99;
        data.expenses[0] = 1234.56;
        writeBreakdown(book, data);
    } else {
        ConsolidatedData data;
        data.settings = settings;
        data.year = QStringLiteral("2026");
        data.records = {{QStringLiteral("I. Остаток средств"), QString(), QStringLiteral("20,5")},
                        {QStringLiteral("ИТОГО"), QString(), QStringLiteral("999999999999,99")}};
        writeConsolidated(book, data);
    }
    return xlsxBytes(book);
}

} // namespace

// The user's locale (comma decimals under ru_RU) must not reach the file,
// and writing the file must not change the locale the rest of the program uses.
TEST(XlsxBackend, NumbersInTheFileDoNotFollowTheUsersLocale)
{
    const QByteArray saved = std::setlocale(LC_ALL, nullptr);
    struct Case
    {
        const char *locale;
        const char *decimalPoint;
    };
#ifdef Q_OS_WIN
    const Case cases[] = {{"Russian_Russia.1251", ","}, {"C", "."}};
#else
    const Case cases[] = {{"ru_RU.UTF-8", ","}, {"C.UTF-8", "."}};
#endif
    for (const Case &c : cases) {
        ASSERT_NE(std::setlocale(LC_ALL, c.locale), nullptr)
            << c.locale << " is not installed (scripts/test installs it)";
        for (const bool breakdown : {true, false}) {
            SCOPED_TRACE(std::string(c.locale) + (breakdown ? " breakdown" : " consolidated"));
            QTemporaryDir directory;
            const QString path = directory.filePath(QStringLiteral("d.xlsx"));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(documentWorkbook(breakdown));
            file.close();
            const QString xml = vastrel::test::unzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
            ASSERT_FALSE(xml.isEmpty());
            static const QRegularExpression localNumber(QStringLiteral("=\"-?[0-9]+,[0-9]|<v>[^<]*,"));
            EXPECT_FALSE(xml.contains(localNumber)) << qPrintable(localNumber.match(xml).captured());
            EXPECT_TRUE(xml.contains(QStringLiteral("defaultRowHeight=\"12.75\"")));
            const XlsxSheet sheet = XlsxSheet::read(path);
            EXPECT_DOUBLE_EQ(sheet.number(breakdown ? QStringLiteral("E17") : QStringLiteral("E16")), 20.5);
            EXPECT_DOUBLE_EQ(sheet.number(breakdown ? QStringLiteral("E19") : QStringLiteral("E17")), 999999999999.99);
            char printed[16];
            std::snprintf(printed, sizeof printed, "%.1f", 0.5);
            EXPECT_EQ(std::string(printed), std::string("0") + c.decimalPoint + "5");
        }
    }
    std::setlocale(LC_ALL, saved.constData());
}

// Column widths and row heights keep every text whole and never fall below what was set;
// a text too long for the page on one line wraps instead of shrinking the print.
TEST(SheetModel, EveryTextKeepsItsRoom)
{
    const QString longLabel = QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и "
                                             "муниципальным организациям, учреждениям и фондам");
    struct Case
    {
        const char *range;
        QString text;
        bool wrap;
        int heightFactor;
        double minimumHeight; // of the range's last row; 0 when only widths matter
        double maximumHeight;
    };
    const Case cases[] = {
        {"E15:E16", QStringLiteral("Сумма средств на год"), false, 1, 0, 0},
        {"D30:E30", QStringLiteral("_____________________Петрова Александра Александровна"), false, 1, 25.5, 25.5},
        {"A12:E12", QString(120, QChar(0x0416)), false, 1, 12.75, 12.75},
        {"C2:E2", QStringLiteral("научно-исследовательской лаборатории физико-химических методов анализа"), false, 1,
         51, 51},
        {"A21:C21", longLabel, true, 1, 3 * 12.75, 409},
        {"A21:C21", longLabel, true, 4, 51, 51},
        {"A24:C24", QStringLiteral("Заработная плата"), true, 2, 25.5, 25.5},
        {"A24:C24", QStringLiteral("Заработная плата"), true, 1, 12.75, 12.75},
        {"A24:C24", QStringLiteral("x ") + QString(30, QChar(0x0416)), true, 1, 25.5, 25.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.range) + " " + c.text.toStdString());
        SheetModel sheet;
        sheet.put(13, A, Style{}, QStringLiteral("Министерство, ведомство:"));
        const CellRange cells = CellRange::parse(QString::fromLatin1(c.range));
        Style style{10, true};
        style.wrap = c.wrap;
        sheet.put(cells, style, c.text);
        if (c.heightFactor > 1)
            sheet.setRowLines(cells.top, c.heightFactor);
        sheet.fitColumns(CellRange::parse(QStringLiteral("A1:G100")));
        double width = 0;
        for (int column = cells.left; column <= cells.right; ++column)
            width += sheet.columnWidth(column);
        // Whole: on one line, or wrapped with no word broken.
        if (sheet.cellAt(cells.top, cells.left)->style.wrap)
            EXPECT_GE(width + 1e-9, longestWordWidth(c.text, 10, true));
        else
            EXPECT_GE(width + 1e-9, textWidth(c.text, 10, true));
        if (c.minimumHeight > 0) {
            EXPECT_GE(sheet.rowHeight(cells.bottom), c.minimumHeight);
            EXPECT_LE(sheet.rowHeight(cells.bottom), c.maximumHeight);
        }
        EXPECT_GT(sheet.columnWidth(1), 20) << "other columns keep their own width";
    }
}

TEST(SheetModel, AmountsShowInTheirFormat)
{
    const struct
    {
        double value;
        NumberFormat format;
        const char *shown;
    } cases[] = {
        {1234567.891, NumberFormat::Money, "1 234 567,89"},
        {-1234.5, NumberFormat::Money, "-1 234,50"},
        {999, NumberFormat::Money, "999,00"},
        {-0.004, NumberFormat::Money, "0,00"},
        {1234567.5, NumberFormat::General, "1234567,5"},
        {1000, NumberFormat::General, "1000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shownNumber(c.value, c.format), QString::fromUtf8(c.shown)) << c.value;
}
