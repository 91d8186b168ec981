#pragma once

#include "export/cell_range.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <variant>

namespace vastrel {

enum class Orientation {
    Portrait,
    Landscape
};
// General puts texts on the left and numbers on the right.
enum class Align {
    General,
    Left,
    Centre,
    Right
};
enum class VerticalAlign {
    Bottom,
    Top,
    Middle
};
enum class NumberFormat {
    General, // as the amount is stored: "1234567,5"
    Money,   // two decimals, thousands apart: "1 234 567,50"
};

// How a cell looks. Every cell is set in the documents' font.
struct Style
{
    int size = 10; // points
    bool bold = false;
    bool italic = false;
    Align align = Align::General;
    VerticalAlign vertical = VerticalAlign::Bottom;
    bool wrap = false;
    bool boxed = false; // thin lines round every cell of the range
    NumberFormat number = NumberFormat::General;

    bool operator==(const Style &) const = default;
};

// A cell's value that is the sum of ranges, kept as a sum so that an edited
// workbook still adds up.
struct Sum
{
    QList<CellRange> ranges;
};

// Nothing, a text (the empty text is nothing), a number or a sum.
using CellValue = std::variant<std::monostate, QString, double, Sum>;

struct Cell
{
    enum class Kind {
        Blank,
        Text,
        Number,
        Sum
    };
    Kind kind = Kind::Blank;
    QString text;
    double number = 0;
    QList<CellRange> sum;
    Style style;
};

// Printed page margins in inches, shared by every backend so that the
// printed workbook and the drawn PDF agree.
struct PageMargins
{
    static constexpr double left = 0.7;
    static constexpr double right = 0.7;
    static constexpr double top = 0.75;
    static constexpr double bottom = 0.75;
    static constexpr double footer = 0.3;
};

// The documents print on A4; its sides in whole points, as PDF pages have them.
struct PaperA4
{
    static constexpr double width = 595;
    static constexpr double height = 842;
};

// How the sheet prints: on A4, one page wide, centred between the margins.
struct PageSetup
{
    Orientation orientation = Orientation::Portrait;
    QString footer; // at the bottom left of every page
    int footerSize = 7;
    // Rows repeated at the top of every printed page; 0 for none.
    int titleFirst = 0;
    int titleLast = 0;
};

// A document's one sheet in memory: cells with their styles and values,
// merged ranges, row heights, column widths and the page setup. The backends
// write it as a workbook or draw it as PDF.
class SheetModel
{
public:
    // The workbook's standard font; rows are 12.75 pt high with it.
    static QString fontName() { return QStringLiteral("Arial Cyr"); }
    static int defaultFontSize() { return 10; }
    static double defaultRowHeight() { return 12.75; }
    static double defaultColumnWidth() { return 8.43; }

    void setPage(const PageSetup &page) { m_page = page; }
    const PageSetup &page() const { return m_page; }

    // Every cell of the range takes the style; a range of more than one cell
    // becomes one merged cell, its value in the top left cell. A range may
    // not meet a merged one. Throws Error for a number that is no amount.
    void put(const CellRange &range, const Style &style, const CellValue &value = {});
    void put(int row, int column, const Style &style, const CellValue &value = {})
    {
        put(CellRange::cell(row, column), style, value);
    }

    // The row as high as `lines` rows of the standard font.
    void setRowLines(int row, int lines) { setRowHeight(row, lines * defaultRowHeight()); }
    // Points; a row nobody sized is as high as its largest font needs.
    double rowHeight(int row) const;
    void setRowHeight(int row, double points);

    // Widths of the area's columns from their contents, keeping every text
    // whole without making the sheet print smaller: a merged text widens its
    // columns while the sheet stays one page wide, beyond that it wraps inside
    // its cells; no word of a wrapped text is broken; rows grow to hold their
    // wrapped texts. Never narrows or lowers.
    void fitColumns(const CellRange &area);

    // In the order they were made.
    const QList<CellRange> &merges() const { return m_merges; }
    const CellRange *mergeAt(int row, int column) const;
    // Cells by (row, column), only those ever put.
    const QMap<QPair<int, int>, Cell> &cellMap() const { return m_cells; }
    const Cell *cellAt(int row, int column) const;
    const QMap<int, double> &rowHeights() const { return m_rowHeights; }
    const QMap<int, double> &columnWidths() const { return m_columnWidths; }
    // The column's width, or the standard one when nobody sized it.
    double columnWidth(int column) const;
    // The value a cell shows as a number: its number, or its sum.
    double numericValue(int row, int column) const;
    // The text a cell shows, numbers in the cell's number format.
    QString displayText(int row, int column) const;
    // The last column that holds a cell or a merged cell; 0 for an empty sheet.
    int lastColumn() const { return m_lastColumn; }
    // Points: the width of columns A to the last one as printed at full
    // size, and the room between the page's side margins.
    double printedWidth() const;
    double printableWidth() const;
    // How much the sheet is shrunk to print one page wide: 1 when it fits.
    double printScale() const;

private:
    double evaluate(int row, int column, int depth) const;
    double textWidthOf(int row, int column) const;
    double widthOf(const CellRange &area) const;
    void fitLongestWord(int row, int column, const Cell &cell);
    void fitMergedTexts(const CellRange &area);
    void fitWrappedRows(const CellRange &area);

    PageSetup m_page;
    QList<CellRange> m_merges;
    // Which merged ranges cover each row, so that looking one up does not scan them all.
    QHash<int, QList<qsizetype>> m_mergesByRow;
    QMap<QPair<int, int>, Cell> m_cells;
    QMap<int, double> m_rowHeights;
    QMap<int, double> m_columnWidths;
    int m_lastColumn = 0;
};

// The height of a row whose largest font has this size.
double standardRowHeight(int fontSize);

// Width of a text in column-width units for a font, as an estimate from
// typical glyph widths (no font files are consulted).
double textWidth(const QString &text, int fontSize, bool bold);
// Lines a text takes when wrapped at word boundaries in a cell of this width.
int wrappedLineCount(const QString &text, double width, int fontSize, bool bold);
// The width its longest word needs, as textWidth measures it.
double longestWordWidth(const QString &text, int fontSize, bool bold);

// A column width (in digits of the standard font) in printed points: 7
// pixels a digit and 5 of margin at 96 dpi, three quarters of a point each.
double columnWidthPoints(double width);

// A number as a cell of this format shows it, with the decimal comma.
QString shownNumber(double value, NumberFormat format);

} // namespace vastrel
