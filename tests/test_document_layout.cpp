#include "domain/catalogue.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/pdf/pdf_backend.h"
#include "export/xlsx_backend.h"

#include "support/cli_runner.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <QHashSeed>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::PdfWord;
using vastrel::test::XlsxSheet;

namespace {

const QString LongName =
    QStringLiteral("научно-исследовательской лаборатории физико-химических методов анализа и контроля "
                   "качества материалов");
const QString LongHead =
    QStringLiteral("Заведующий научно-исследовательской лабораторией, доктор физико-математических "
                   "наук, профессор");

struct Printed
{
    XlsxSheet sheet;
    QString sheetXml;
    double sheetScale; // as an application fits the saved columns one page wide
    QList<PdfWord> words;
};

Settings documentSettings(bool longNames)
{
    return {longNames ? LongName : QStringLiteral("кафедры физики"),
            longNames ? LongHead : QStringLiteral("Заведующий кафедрой"),
            QStringLiteral("И.И. Иванов"),
            QStringLiteral("007"),
            QStringLiteral("1"),
            QStringLiteral("Бухгалтер"),
            QStringLiteral("Петрова А.А.")};
}

// Every line of the catalogue with an amount, so that both documents run onto a second page.
Printed print(bool breakdown, bool longNames, const QTemporaryDir &dir)
{
    SheetModel book;
    const Settings settings = documentSettings(longNames);
    if (breakdown) {
        BreakdownData data{settings, QStringLiteral("2026"), 0, 0, 50, 1000, {}};
        for (size_t i = 0; i < data.expenses.size(); ++i)
            data.expenses[i] = double(i + 1);
        writeBreakdown(book, data);
    } else {
        ConsolidatedData data{settings, QStringLiteral("2026"), {}};
        for (const IncomeCode &income : incomeCodes())
            data.records.append({income.description, income.code, QStringLiteral("1000")});
        for (const ExpenseLine &line : expenseLines())
            data.records.append({line.consolidatedDescription, line.fullCode(), QStringLiteral("12,5")});
        writeConsolidated(book, data);
    }
    const QString path = dir.filePath(QStringLiteral("%1-%2").arg(breakdown).arg(longNames));
    saveXlsx(book, path + QStringLiteral(".xlsx"));
    QFile pdf(path + QStringLiteral(".pdf"));
    EXPECT_TRUE(pdf.open(QIODevice::WriteOnly) && pdf.write(pdfBytes(book)) > 0);
    pdf.close();
    const XlsxSheet sheet = XlsxSheet::read(path + QStringLiteral(".xlsx"));
    double width = 0;
    for (int column = 1; column <= 5; ++column)
        width += columnWidthPoints(sheet.columnWidth(column) > 0 ? sheet.columnWidth(column)
                                                                 : SheetModel::defaultColumnWidth());
    return {sheet, vastrel::test::unzipPart(path + QStringLiteral(".xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")),
            std::min(1.0, (PaperA4::width - (PageMargins::left + PageMargins::right) * 72) / width),
            vastrel::test::pdfWords(pdf.fileName())};
}

const PdfWord *findWord(const Printed &printed, const std::function<bool(const PdfWord &)> &wanted)
{
    const auto found = std::find_if(printed.words.cbegin(), printed.words.cend(), wanted);
    return found == printed.words.cend() ? nullptr : &*found;
}

const PdfWord *findWord(const Printed &printed, const QString &text, int page = 1)
{
    return findWord(printed, [&](const PdfWord &w) { return w.page == page && w.text == text; });
}

} // namespace

TEST(DocumentLayout, LongNamesWrapInsteadOfShrinkingThePrint)
{
    VASTREL_SKIP_WITHOUT_PDFTOTEXT();
    QTemporaryDir dir;
    const struct
    {
        bool breakdown;
        QString nameCell, headCell, title, titleEnd, below, titleRow, lastPage;
    } documents[] = {
        {true, QStringLiteral("A12"), QStringLiteral("C2"), QStringLiteral("РАСШИФРОВКА"),
         QStringLiteral("РАСШИФРОВКА"), QStringLiteral("Министерство,"), QStringLiteral("Заведующий"),
         QStringLiteral("Петрова")},
        // The head's position one row below the 35 records and an empty row.
        {false, QStringLiteral("A11"), QStringLiteral("A53"), QStringLiteral("Уточненная"), QStringLiteral("расходов"),
         QStringLiteral("Единица"), QStringLiteral("Ректор"), QStringLiteral("Морозова")},
    };
    for (const auto &d : documents) {
        SCOPED_TRACE(d.title.toStdString());
        const Printed shortNames = print(d.breakdown, false, dir);
        const Printed longNames = print(d.breakdown, true, dir);

        // The workbook: one page wide, centred, at the size of the short names; the long texts
        // wrap in rows that hold their lines.
        EXPECT_TRUE(longNames.sheetXml.contains(QStringLiteral("<pageSetUpPr fitToPage=\"1\"/>")));
        EXPECT_TRUE(longNames.sheetXml.contains(QStringLiteral("<printOptions horizontalCentered=\"1\"/>")));
        EXPECT_GE(longNames.sheetScale, 0.9 * shortNames.sheetScale);
        EXPECT_FALSE(shortNames.sheet.cell(d.nameCell).format.wrap);
        for (const QString &ref : {d.nameCell, d.headCell}) {
            EXPECT_TRUE(longNames.sheet.cell(ref).format.wrap) << qPrintable(ref);
            EXPECT_GE(longNames.sheet.rowHeight(ref.mid(1).toInt()), 2 * 12.75) << qPrintable(ref);
        }

        // The PDF: the same size of print, the table in the middle of the page, codes and amounts of
        // a tall row at one height, the title rows heading the second page.
        for (const Printed *printed : {&shortNames, &longNames}) {
            const PdfWord *title = findWord(*printed, d.title);
            const PdfWord *titleEnd = findWord(*printed, d.titleEnd);
            const PdfWord *code = findWord(*printed, QStringLiteral("00000000000000241"), 2);
            const PdfWord *secondPage = findWord(*printed, [](const PdfWord &w) { return w.page == 2; });
            ASSERT_TRUE(title && titleEnd && code && secondPage);
            EXPECT_GE(title->box.width(), 0.9 * findWord(shortNames, d.title)->box.width());
            EXPECT_NEAR((title->box.left() + titleEnd->box.right()) / 2, PaperA4::width / 2, 1.0);
            EXPECT_NE(findWord(*printed,
                               [&](const PdfWord &w) {
                                   return w.page == 2 && w.box.left() > code->box.right() + 20 &&
                                          std::abs(w.box.top() - code->box.top()) < 3;
                               }),
                      nullptr);
            EXPECT_EQ(secondPage->text, d.titleRow) << qPrintable(secondPage->text);
            EXPECT_NE(findWord(*printed, d.lastPage, 2), nullptr);
            EXPECT_EQ(printed->words.last().page, 2);
        }
        // The name on two lines, above the next row.
        const PdfWord *first = findWord(longNames, QStringLiteral("лаборатории"));
        const PdfWord *last = findWord(longNames, QStringLiteral("материалов"));
        const PdfWord *below = findWord(longNames, d.below);
        ASSERT_TRUE(first && last && below);
        EXPECT_GE(last->box.top(), first->box.bottom() - 1);
        EXPECT_LE(last->box.bottom(), below->box.top());
    }
}

// Qt's hash seed differs from run to run; the documents must not.
TEST(DocumentLayout, EveryRunDrawsTheSamePdf)
{
    SheetModel book;
    writeBreakdown(book, BreakdownData{documentSettings(false), QStringLiteral("2026"), 0, 0, 50, 1000, {}});
    const auto drawn = [&] {
        QHashSeed::resetRandomGlobalSeed();
        static const QRegularExpression date(QStringLiteral("\\(D:[^)]*\\)"));
        return QString::fromLatin1(pdfBytes(book)).replace(date, QStringLiteral("(D:)"));
    };
    const QString first = drawn();
    ASSERT_GE(first.count(QStringLiteral("/FontFile2")), 2) << "the order of one font cannot differ";
    for (int run = 0; run < 8; ++run)
        ASSERT_TRUE(drawn() == first) << "run " << run;
}
