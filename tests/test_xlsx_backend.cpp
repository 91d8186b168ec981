#include "base/error.h"
#include "base/settings.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/xlsx_backend.h"

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

XlsxSheet writeAndRead(const XlsxBackend &book, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    book.saveAs(path);
    return XlsxSheet::read(path);
}

} // namespace

TEST(CellAddresses, ParseAndPrint)
{
    EXPECT_EQ(CellRange::parse(QStringLiteral("E24")), CellRange::cell(24, 5));
    EXPECT_EQ(CellRange::parse(QStringLiteral("A15:C16")), (CellRange{15, 1, 16, 3}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("C16:A15")), (CellRange{15, 1, 16, 3}));
    EXPECT_EQ(CellRange::corners(QStringLiteral("A1"), QStringLiteral("G100")), (CellRange{1, 1, 100, 7}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("AA7")).left, 27);
    EXPECT_EQ((CellRange{15, 1, 16, 3}).a1(), QStringLiteral("A15:C16"));
    EXPECT_EQ(columnLetters(28), QStringLiteral("AB"));
    EXPECT_EQ(CellRange::parse(QStringLiteral("$b$3:$a1")), (CellRange{1, 1, 3, 2}));
    EXPECT_EQ(CellRange::parse(QStringLiteral("XFD1048576")), CellRange::cell(1048576, 16384));
    for (const char *bad : {"", "E", "24", "E0", "E24:", "Е24" /* Cyrillic letter */, "ABCD1", "A12345678", "A1B2",
                            "A1:B", "$$A1", "A1 "})
        EXPECT_THROW(CellRange::parse(QString::fromUtf8(bad)), Error) << bad;
}

TEST(StoredForms, FormulasAreWrittenInEnglish)
{
    EXPECT_EQ(storedFormula(QStringLiteral("=СУММ(E24:E25)")), QStringLiteral("SUM(E24:E25)"));
    EXPECT_EQ(storedFormula(QStringLiteral("=СУММ(E17:E19)")), QStringLiteral("SUM(E17:E19)"));
    EXPECT_EQ(storedFormula(QStringLiteral("=СУММ(E1;E3:E4;1,5)")), QStringLiteral("SUM(E1,E3:E4,1.5)"));
    EXPECT_EQ(storedFormula(QStringLiteral("=сумм(A1)")), QStringLiteral("SUM(A1)"));
}

TEST(StoredForms, NumberFormatsAreWrittenInEnglish)
{
    EXPECT_EQ(storedNumberFormat(QStringLiteral("# ##0,00")), QStringLiteral("#,##0.00"));
    EXPECT_EQ(storedNumberFormat(QStringLiteral("0,000")), QStringLiteral("0.000"));
    EXPECT_EQ(storedNumberFormat(QStringLiteral("# ##0,00\" руб.\"")), QStringLiteral("#,##0.00\" руб.\""));
}

TEST(SheetModel, SelectionTakesWholeMergedCells)
{
    SheetModel sheet;
    sheet.range(QStringLiteral("A14:C15")).merge();
    sheet.range(QStringLiteral("A14:A15")).merge().select();
    EXPECT_EQ(sheet.selectedRange(), CellRange::parse(QStringLiteral("A14:C15")));
    ASSERT_EQ(sheet.merges().size(), 1);
    EXPECT_EQ(sheet.merges().first(), CellRange::parse(QStringLiteral("A14:C15")));

    // The value of a merged cell lives in its top left cell only; formats reach every cell.
    sheet.selection().value(QStringLiteral("Наименование")).borders(LineStyleContinuous, BorderWeightThin);
    EXPECT_EQ(sheet.cellAt(14, 1)->text, QStringLiteral("Наименование"));
    EXPECT_EQ(sheet.cellAt(15, 3)->kind, Cell::Kind::Blank);
    EXPECT_EQ(sheet.cellAt(15, 3)->format.borderWeight, BorderWeightThin);
}

TEST(SheetModel, MergingAcrossMergedCellsJoinsThemInOrder)
{
    SheetModel sheet;
    for (const char *a1 : {"A1:B2", "D1:E1", "C5:D6", "B2:C3", "A9:A10"})
        sheet.range(QString::fromLatin1(a1)).merge();
    // B2:C3 met A1:B2, which grew it to meet nothing more; the others stay.
    const QList<CellRange> expected = {CellRange::parse(QStringLiteral("D1:E1")),
                                       CellRange::parse(QStringLiteral("C5:D6")),
                                       CellRange::parse(QStringLiteral("A1:C3")),
                                       CellRange::parse(QStringLiteral("A9:A10"))};
    EXPECT_EQ(sheet.merges(), expected);
    sheet.range(QStringLiteral("C3:C5")).merge();
    // A1:C3, then C5:D6, then D1:E1 through the growing range.
    EXPECT_EQ(sheet.merges(), (QList<CellRange>{CellRange::parse(QStringLiteral("A9:A10")),
                                                CellRange::parse(QStringLiteral("A1:E6"))}));
    EXPECT_EQ(*sheet.mergeAt(6, 4), CellRange::parse(QStringLiteral("A1:E6")));
    EXPECT_EQ(sheet.mergeAt(7, 1), nullptr);
    sheet.range(QStringLiteral("A10:B10")).select();
    EXPECT_EQ(sheet.selectedRange(), CellRange::parse(QStringLiteral("A9:B10")));
}

TEST(SheetModel, RowHeightsStartAtTheStandardHeight)
{
    SheetModel sheet;
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 12.75);
    sheet.range(QStringLiteral("A5")).multiplyRowHeight(3);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 38.25);
    sheet.range(QStringLiteral("A5")).multiplyRowHeight(2);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 76.5);
    // A larger font makes its row taller before anyone sizes it.
    sheet.range(QStringLiteral("A9")).fontSize(12);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(9), 15.75);
    sheet.range(QStringLiteral("A10")).fontSize(8);
    EXPECT_DOUBLE_EQ(sheet.rowHeight(10), 12.75);
}

TEST(SheetModel, SumsAreEvaluatedThroughOtherSums)
{
    SheetModel sheet;
    sheet.range(QStringLiteral("E1")).value(1.5);
    sheet.range(QStringLiteral("E2")).value(2.25);
    sheet.range(QStringLiteral("E3")).formulaLocal(QStringLiteral("=СУММ(E1:E2)"));
    sheet.range(QStringLiteral("E4")).formulaLocal(QStringLiteral("=СУММ(E3;E1)"));
    EXPECT_DOUBLE_EQ(sheet.numericValue(3, 5), 3.75);
    EXPECT_DOUBLE_EQ(sheet.numericValue(4, 5), 5.25);
    // A sum over its own cell ends instead of running forever.
    sheet.range(QStringLiteral("E5")).formulaLocal(QStringLiteral("=СУММ(E5:E5)"));
    EXPECT_DOUBLE_EQ(sheet.numericValue(5, 5), 0);
}

TEST(SheetModel, AutoFitMeasuresOnlyPlainCells)
{
    SheetModel sheet;
    sheet.range(QStringLiteral("A1")).value(QStringLiteral("Министерство, ведомство:"));
    sheet.range(QStringLiteral("B1:D1")).merge().value(QString(80, QLatin1Char('x')));
    sheet.range(QStringLiteral("C2")).wrapText(true).value(QStringLiteral("xxxx ").repeated(16));
    sheet.range(QStringLiteral("E1")).numberFormatLocal(QStringLiteral("# ##0,00")).value(1234567.5);
    sheet.range(QStringLiteral("F1")).value(QStringLiteral("ИТОГО"));
    sheet.range(QStringLiteral("G1")).bold(true).value(QStringLiteral("ИТОГО"));
    sheet.autoFitColumns(CellRange::parse(QStringLiteral("A1:H100")));
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
    XlsxBackend book;
    book.setOrientation(Orientation::Portrait);
    book.setLeftFooter(QStringLiteral("&7Вастрель - Тавер, 2026"));
    book.setPrintTitleRows(QStringLiteral("$2:$3"));
    book.range(QStringLiteral("C1:E1")).merge().select();
    book.selection().fontName(QStringLiteral("Arial Cyr")).fontSize(10).bold(true).horizontal(HAlign::Right);
    book.selection().value(QStringLiteral("\"УТВЕРЖДАЮ\""));
    book.range(QStringLiteral("A2")).fontName(QStringLiteral("Arial Cyr")).italic(true).value(QString(12, QLatin1Char(' ')));
    book.range(QStringLiteral("A3")).fontSize(9).value(QStringLiteral("кафедры\r\nТавер"));
    book.range(QStringLiteral("D4")).borders(LineStyleContinuous, BorderWeightThin).interiorColorIndex(0).value(QString());
    book.range(QStringLiteral("E4")).numberFormatLocal(QStringLiteral("# ##0,00")).vertical(VAlign::Top).value(1000.5);
    book.range(QStringLiteral("E5")).vertical(VAlign::Centre).wrapText(true).value(2.25);
    book.range(QStringLiteral("E6")).formulaLocal(QStringLiteral("=СУММ(E4:E5)"));
    book.range(QStringLiteral("A6")).multiplyRowHeight(4);
    book.range(QStringLiteral("A1"), QStringLiteral("G100")).select();
    book.autoFitColumns(book.selectedRange());

    const XlsxSheet sheet = writeAndRead(book, dir);
    ASSERT_TRUE(sheet.error().isEmpty()) << qPrintable(sheet.error());
    EXPECT_EQ(sheet.footer(), QStringLiteral("&L&7Вастрель - Тавер, 2026"));
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
    XlsxBackend book;
    book.range(QStringLiteral("A1")).value(QStringLiteral("x"));
    const QString path = dir.filePath(QStringLiteral("missing/book.xlsx"));
    EXPECT_THROW(book.saveAs(path), Error);
    EXPECT_FALSE(QFile::exists(path));
    // A text the format cannot hold is refused before anything is written.
    book.range(QStringLiteral("A2")).value(QString(40000, QLatin1Char('x')));
    const QString second = dir.filePath(QStringLiteral("book.xlsx"));
    EXPECT_THROW(book.saveAs(second), Error);
    EXPECT_FALSE(QFile::exists(second));
}

namespace {

// Both documents with fractions, big amounts and heights and widths that are no whole numbers.
QByteArray documentWorkbook(bool breakdown)
{
    Settings settings;
    settings.name = QStringLiteral("кафедры истории");
    settings.responsibleName = QStringLiteral("Петрова А.А.");
    XlsxBackend book;
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
    return book.bytes();
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
        ASSERT_NE(std::setlocale(LC_ALL, c.locale), nullptr) << c.locale << " is not installed (scripts/test installs it)";
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
        {"C2:E2", QStringLiteral("научно-исследовательской лаборатории физико-химических методов анализа"), false, 1, 51, 51},
        {"A21:C21", longLabel, true, 1, 3 * 12.75, 409},
        {"A21:C21", longLabel, true, 4, 51, 51},
        {"A24:C24", QStringLiteral("Заработная плата"), true, 2, 25.5, 25.5},
        {"A24:C24", QStringLiteral("Заработная плата"), true, 1, 12.75, 12.75},
        {"A24:C24", QStringLiteral("x ") + QString(30, QChar(0x0416)), true, 1, 25.5, 25.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.range) + " " + c.text.toStdString());
        SheetModel sheet;
        sheet.range(QStringLiteral("A13")).value(QStringLiteral("Министерство, ведомство:"));
        Range range = sheet.range(QString::fromLatin1(c.range));
        range.merge().wrapText(c.wrap).bold(true).value(c.text);
        range.multiplyRowHeight(c.heightFactor);
        sheet.autoFitColumns(CellRange::parse(QStringLiteral("A1:G100")));
        const CellRange cells = range.cells();
        double width = 0;
        for (int column = cells.left; column <= cells.right; ++column)
            width += sheet.columnWidth(column);
        // Whole: on one line, or wrapped with no word broken.
        if (sheet.cellAt(cells.top, cells.left)->format.wrap.value_or(false))
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

TEST(SheetModel, AmountsShowInTheirLocalFormat)
{
    const struct
    {
        double value;
        const char *format;
        const char *shown;
    } cases[] = {
        {1234567.891, "# ##0,00", "1 234 567,89"},
        {-1234.5, "# ##0,00", "-1 234,50"},
        {999, "# ##0,00", "999,00"},
        {-0.004, "# ##0,00", "0,00"},
        {1000, "0,00", "1000,00"},
        {1234.6, "# ##0", "1 235"},
        {1234.5, "#\u00A0##0,0", "1 234,5"},
        {-0.4, "0", "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatForDisplay(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.shown)) << c.format;
}

TEST(SheetModel, ChangesAfterACopyLeaveTheCopyAlone)
{
    SheetModel sheet;
    sheet.setFontSize(CellRange::parse(QStringLiteral("A1:C1")), 9);
    const SheetModel copy = sheet;
    const auto cells = sheet.cellMap();
    sheet.setBold(CellRange::parse(QStringLiteral("A1:C1")), true);
    sheet.setFontSize(CellRange::parse(QStringLiteral("B1")), 12);
    EXPECT_TRUE(sheet.cellAt(1, 1)->format.bold.value_or(false));
    EXPECT_EQ(sheet.cellAt(1, 2)->format.fontSize, 12);
    EXPECT_FALSE(copy.cellAt(1, 1)->format.bold.has_value());
    EXPECT_EQ(copy.cellAt(1, 2)->format.fontSize, 9);
    EXPECT_EQ(cells.value({1, 2}).format.fontSize, 9);
}
