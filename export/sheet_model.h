#pragma once

#include "export/spreadsheet.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QVarLengthArray>

#include <array>
#include <map>
#include <optional>

namespace vastrel {

// Every property a cell was given; unset ones keep the sheet's defaults.
struct CellFormat
{
    std::optional<QString> fontName;
    std::optional<int> fontSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<int> fontColorIndex;
    std::optional<int> interiorColorIndex;
    std::optional<HAlign> horizontal;
    std::optional<VAlign> vertical;
    std::optional<bool> wrap;
    std::optional<int> borderLineStyle;
    std::optional<int> borderWeight;
    std::optional<QString> numberFormatLocal;

    bool operator==(const CellFormat &) const = default;
};

struct Cell
{
    enum class Kind { Blank, Text, Number, Formula };
    Kind kind = Kind::Blank;
    QString text;          // Text
    double number = 0;     // Number
    QString formulaLocal;  // Formula, as given
    CellFormat format;
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

// The sheet held in memory: what a backend that writes a file needs at save
// time, since such files are written in one go. It behaves as the
// spreadsheet application does where the documents can tell (merged cells
// hold their value in the top left cell, selections take in whole merged
// cells, row heights start at the standard height).
class SheetModel : public Spreadsheet
{
public:
    // The workbook's standard font; rows are 12.75 pt high with it.
    static QString defaultFontName() { return QStringLiteral("Arial Cyr"); }
    static int defaultFontSize() { return 10; }
    static double defaultRowHeight() { return 12.75; }
    static double defaultColumnWidth() { return 8.43; }

    void setOrientation(Orientation orientation) override { m_orientation = orientation; }
    void setLeftFooter(const QString &text) override { m_leftFooter = text; }
    void setPrintTitleRows(const QString &rows) override;

    void merge(const CellRange &range) override;
    void select(const CellRange &range) override;
    CellRange selectedRange() const override { return m_selection; }

    void setFontName(const CellRange &range, const QString &name) override;
    void setFontSize(const CellRange &range, int points) override;
    void setBold(const CellRange &range, bool bold) override;
    void setItalic(const CellRange &range, bool italic) override;
    void setFontColorIndex(const CellRange &range, int index) override;
    void setInteriorColorIndex(const CellRange &range, int index) override;
    void setHorizontalAlignment(const CellRange &range, HAlign alignment) override;
    void setVerticalAlignment(const CellRange &range, VAlign alignment) override;
    void setWrapText(const CellRange &range, bool wrap) override;
    void setBorderLineStyle(const CellRange &range, int lineStyle) override;
    void setBorderWeight(const CellRange &range, int weight) override;

    double rowHeight(int row) const override;
    void setRowHeight(int row, double points) override;

    void setText(const CellRange &range, const QString &text) override;
    void setNumber(const CellRange &range, double value) override;
    void setFormulaLocal(const CellRange &range, const QString &formula) override;
    void setNumberFormatLocal(const CellRange &range, const QString &format) override;

    // Also keeps every text whole without making the sheet print smaller: a
    // merged text widens its columns while the sheet stays one page wide,
    // beyond that it wraps inside its cells; no word of a wrapped text is
    // broken; rows grow to hold their wrapped texts. Never narrows or lowers.
    void autoFitColumns(const CellRange &range) override;

    // What was built.
    Orientation orientation() const { return m_orientation; }
    const QString &leftFooter() const { return m_leftFooter; }
    // Rows repeated on every printed page, 0 when none.
    int printTitleFirst() const { return m_titleFirst; }
    int printTitleLast() const { return m_titleLast; }
    // In the order they were made.
    QList<CellRange> merges() const;
    // Cells by (row, column), only those ever touched.
    const QMap<QPair<int, int>, Cell> &cellMap() const { return m_cells; }
    const Cell *cellAt(int row, int column) const;
    const QMap<int, double> &rowHeights() const { return m_rowHeights; }
    const QMap<int, double> &columnWidths() const { return m_columnWidths; }
    // The column's width, or the standard one when nobody sized it.
    double columnWidth(int column) const;
    // The value a cell shows as a number: its number, or its formula's result.
    double numericValue(int row, int column) const;
    // The text a cell shows, numbers in the cell's number format.
    QString displayText(int row, int column) const;
    const CellRange *mergeAt(int row, int column) const;
    // The last column that holds a cell or a merged cell; 0 for an empty sheet.
    int lastColumn() const { return m_lastColumn; }
    // Points: the width of columns A to the last one as printed at full
    // size, and the room between the page's side margins.
    double printedWidth() const;
    double printableWidth() const;
    // How much the sheet is shrunk to print one page wide: 1 when it fits.
    double printScale() const;

private:
    CellRange withWholeMerges(CellRange range) const;
    // The merged cells that meet the range, each once; mostly none or one.
    QVarLengthArray<quint64, 8> mergesMeeting(const CellRange &range) const;
    template<class Change>
    void format(const CellRange &range, Change change);
    template<class Change>
    void value(const CellRange &range, Change change);
    // The cell to change, made when missing.
    Cell &touch(int row, int column);
    QMap<QPair<int, int>, Cell> &cellsToChange();
    double evaluate(int row, int column, int depth) const;
    double textWidthOf(int row, int column) const;
    double widthOf(const CellRange &area) const;
    void fitLongestWord(int row, int column, const Cell &cell);
    void fitMergedTexts(const CellRange &range);
    void fitWrappedRows(const CellRange &range);

    Orientation m_orientation = Orientation::Portrait;
    QString m_leftFooter;
    int m_titleFirst = 0;
    int m_titleLast = 0;
    CellRange m_selection;
    // Merged cells by the order they were made, and which of them cover each
    // row, so that looking one up does not scan them all.
    std::map<quint64, CellRange> m_merges;
    QHash<int, QList<quint64>> m_mergesByRow;
    quint64 m_nextMerge = 0;
    QMap<QPair<int, int>, Cell> m_cells;
    // Where the cells of the row last changed are: documents format a row's
    // few cells one property at a time.
    int m_touchedRow = 0;
    std::array<Cell *, 8> m_touched{};
    QMap<int, double> m_rowHeights;
    QMap<int, double> m_columnWidths;
    int m_lastColumn = 0;
};

// The local formula's function and argument form: "=СУММ(E24;E26:E27)".
// Returns the ranges summed, or nullopt when the formula is no such sum.
std::optional<QList<CellRange>> sumRangesOfLocalFormula(const QString &formula);

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

// A number shown in a local format such as "# ##0,00" (decimal comma, blank
// grouping); without a format, in the general format.
QString formatForDisplay(double value, const std::optional<QString> &localFormat);

} // namespace vastrel
