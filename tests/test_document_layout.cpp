#include "base/catalogue.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/pdf/pdf_backend.h"
#include "export/xlsx_backend.h"

#include "support/cli_runner.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::PdfWord;
using vastrel::test::XlsxSheet;

namespace {

const QString LongName = QStringLiteral("научно-исследовательской лаборатории физико-химических методов анализа и контроля "
                                        "качества материалов");
const QString LongHead = QStringLiteral("Заведующий научно-исследовательской лабораторией, доктор физико-математических "
                                        "наук, профессор");

// Every line of the catalogue with an amount, so that both documents run onto a second page.
void fill(Spreadsheet &sheet, bool breakdown, bool longNames)
{
    Settings settings{longNames ? LongName : QStringLiteral("кафедры физики"),
                      longNames ? LongHead : QStringLiteral("Заведующий кафедрой"),
                      QStringLiteral("И.И. Иванов"), QStringLiteral("007"), QStringLiteral("1"),
                      QStringLiteral("Бухгалтер"), QStringLiteral("Петрова А.А.")};
    if (breakdown) {
        BreakdownData data{settings, QStringLiteral("2026"), 0, 0, 50, 1000, {}};
        for (size_t i = 0; i < data.expenses.size(); ++i)
            data.expenses[i] = double(i + 1);
        writeBreakdown(sheet, data);
        return;
    }
    ConsolidatedData data{settings, QStringLiteral("2026"), {}};
    for (const IncomeCode &income : incomeCodes())
        data.records.append({income.description, income.code, QStringLiteral("1000")});
    for (const ExpenseLine &line : expenseLines())
        data.records.append({line.consolidatedDescription, line.fullCode(), QStringLiteral("12,5")});
    writeConsolidated(sheet, data);
}

struct Printed
{
    XlsxSheet sheet;
    QString sheetXml;
    double sheetScale = 0; // as an application fits the saved columns one page wide
    QList<PdfWord> words;

    const PdfWord *word(const QString &text, int page = 1) const
    {
        for (const PdfWord &w : words) {
            if (w.page == page && w.text == text)
                return &w;
        }
        return nullptr;
    }
    // A word on the code's line to the right of it.
    bool wordBeside(const PdfWord &code) const
    {
        return std::any_of(words.cbegin(), words.cend(), [&](const PdfWord &w) {
            return w.page == code.page && w.box.left() > code.box.right() + 20 && std::abs(w.box.top() - code.box.top()) < 3;
        });
    }
    // The cell whose text starts so.
    QString cellStarting(const QString &text) const
    {
        for (const int row : sheet.rows()) {
            for (const QChar column : QStringLiteral("ABCDE")) {
                const QString ref = column + QString::number(row);
                if (sheet.text(ref).startsWith(text))
                    return ref;
            }
        }
        return QString();
    }
};

Printed print(bool breakdown, bool longNames, const QTemporaryDir &dir)
{
    XlsxBackend book;
    fill(book, breakdown, longNames);
    const QString path = dir.filePath(QStringLiteral("%1-%2").arg(breakdown).arg(longNames));
    book.saveAs(path + QStringLiteral(".xlsx"));
    QFile pdf(path + QStringLiteral(".pdf"));
    EXPECT_TRUE(pdf.open(QIODevice::WriteOnly) && pdf.write(pdfBytes(book)) > 0);
    pdf.close();

    Printed printed{XlsxSheet::read(path + QStringLiteral(".xlsx")),
                    vastrel::test::unzipPart(path + QStringLiteral(".xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")),
                    0, vastrel::test::pdfWords(pdf.fileName())};
    double width = 0;
    for (int column = 1; column <= 5; ++column) {
        const double saved = printed.sheet.columnWidth(column);
        width += columnWidthPoints(saved > 0 ? saved : SheetModel::defaultColumnWidth());
    }
    printed.sheetScale = std::min(1.0, (PaperA4::width - (PageMargins::left + PageMargins::right) * 72) / width);
    return printed;
}

} // namespace

TEST(DocumentLayout, LongNamesWrapInsteadOfShrinkingThePrint)
{
    QTemporaryDir dir;
    const struct
    {
        bool breakdown;
        QString title, titleEnd, below, titleRow, lastPage;
    } documents[] = {
        {true, QStringLiteral("РАСШИФРОВКА"), QStringLiteral("РАСШИФРОВКА"), QStringLiteral("Министерство,"),
         QStringLiteral("Заведующий"), QStringLiteral("Петрова")},
        {false, QStringLiteral("Уточненная"), QStringLiteral("расходов"), QStringLiteral("Единица"),
         QStringLiteral("Ректор"), QStringLiteral("Морозова")},
    };
    for (const auto &d : documents) {
        SCOPED_TRACE(d.title.toStdString());
        const Printed shortNames = print(d.breakdown, false, dir);
        const Printed longNames = print(d.breakdown, true, dir);
        ASSERT_FALSE(longNames.words.isEmpty());

        // The workbook: fitted one page wide and centred, at the size of the short names; the long
        // texts wrap in rows that hold their lines.
        EXPECT_TRUE(longNames.sheetXml.contains(QStringLiteral("<pageSetUpPr fitToPage=\"1\"/>")));
        EXPECT_TRUE(longNames.sheetXml.contains(QStringLiteral("<printOptions horizontalCentered=\"1\"/>")));
        EXPECT_GE(longNames.sheetScale, 0.9 * shortNames.sheetScale);
        EXPECT_FALSE(shortNames.sheet.cell(shortNames.cellStarting(QStringLiteral("кафедры физики"))).format.wrap);
        for (const QString &text : {LongName, LongHead}) {
            const QString ref = longNames.cellStarting(text);
            ASSERT_FALSE(ref.isEmpty()) << qPrintable(text);
            EXPECT_TRUE(longNames.sheet.cell(ref).format.wrap) << qPrintable(ref);
            EXPECT_GE(longNames.sheet.rowHeight(ref.mid(1).toInt()), 2 * 12.75) << qPrintable(ref);
        }

        // The PDF: the same size of print, the table in the middle of the page, the name on
        // two lines above the next row.
        for (const Printed *printed : {&shortNames, &longNames}) {
            const PdfWord *title = printed->word(d.title);
            const PdfWord *titleEnd = printed->word(d.titleEnd);
            ASSERT_TRUE(title && titleEnd);
            EXPECT_GE(title->box.width(), 0.9 * shortNames.word(d.title)->box.width());
            EXPECT_NEAR((title->box.left() + titleEnd->box.right()) / 2, PaperA4::width / 2, 1.0);
            // Codes and amounts of a tall row stand at one height.
            const PdfWord *code = printed->word(QStringLiteral("00000000000000241"), 2);
            ASSERT_NE(code, nullptr);
            EXPECT_TRUE(printed->wordBeside(*code));
            // The title rows head the second page, which ends the document.
            const auto secondPage = std::find_if(printed->words.cbegin(), printed->words.cend(),
                                                 [](const PdfWord &w) { return w.page == 2; });
            ASSERT_NE(secondPage, printed->words.cend());
            EXPECT_EQ(secondPage->text, d.titleRow) << qPrintable(secondPage->text);
            EXPECT_NE(printed->word(d.lastPage, 2), nullptr);
            EXPECT_EQ(printed->words.last().page, 2);
        }
        const PdfWord *first = longNames.word(QStringLiteral("лаборатории"));
        const PdfWord *last = longNames.word(QStringLiteral("материалов"));
        const PdfWord *below = longNames.word(d.below);
        ASSERT_TRUE(first && last && below);
        EXPECT_GE(last->box.top(), first->box.bottom() - 1);
        EXPECT_LE(last->box.bottom(), below->box.top());
    }
}
