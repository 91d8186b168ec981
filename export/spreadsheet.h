#pragma once

#include <QString>

namespace vastrel {

// A rectangle of cells, rows and columns counted from 1.
struct CellRange
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    static CellRange cell(int row, int column) { return {row, column, row, column}; }
    // "E24" or "A15:C16"; throws Error for anything else.
    static CellRange parse(const QString &a1);
    // The smallest range holding both corners, each an A1 cell or range.
    static CellRange corners(const QString &first, const QString &second);

    int rows() const { return bottom - top + 1; }
    int columns() const { return right - left + 1; }
    bool contains(int row, int column) const;
    bool intersects(const CellRange &other) const;
    CellRange united(const CellRange &other) const;
    QString a1() const; // "A15:C16", or "E24" for one cell

    bool operator==(const CellRange &) const = default;
};

// "A" is 1, "AA" is 27; 0 for a text that is no column name.
int columnNumber(const QString &letters);
int columnNumber(QLatin1StringView letters);
QString columnLetters(int column);

// Alignment codes as the automation interface takes them: 2, 3, 4 are the
// short codes for left, centre and right, -4108 is the centre constant.
enum class HAlign : int { Left = 2, Centre = 3, Right = 4, CentreConstant = -4108 };
enum class VAlign : int { Top = -4160, Centre = -4108 };
enum class Orientation : int { Portrait = 1, Landscape = 2 };

// Border codes.
constexpr int LineStyleContinuous = 1;
constexpr int BorderWeightThin = 2;

class Range;

// The operations the documents ask of a spreadsheet application, in its
// object model's terms: ranges are merged, selected and formatted, values,
// local formulas and local number formats go into cells. A backend either
// drives a real application or builds a file.
class Spreadsheet
{
public:
    virtual ~Spreadsheet() = default;

    // Page setup of the sheet.
    virtual void setOrientation(Orientation orientation) = 0;
    virtual void setLeftFooter(const QString &text) = 0;
    virtual void setPrintTitleRows(const QString &rows) = 0; // "$2:$3"

    // Joins a range into one cell; a range that overlaps merged cells joins them too.
    virtual void merge(const CellRange &range) = 0;
    // The selection always holds whole merged cells.
    virtual void select(const CellRange &range) = 0;
    virtual CellRange selectedRange() const = 0;

    virtual void setFontName(const CellRange &range, const QString &name) = 0;
    virtual void setFontSize(const CellRange &range, int points) = 0;
    virtual void setBold(const CellRange &range, bool bold) = 0;
    virtual void setItalic(const CellRange &range, bool italic) = 0;
    virtual void setFontColorIndex(const CellRange &range, int index) = 0;
    virtual void setInteriorColorIndex(const CellRange &range, int index) = 0;
    virtual void setHorizontalAlignment(const CellRange &range, HAlign alignment) = 0;
    virtual void setVerticalAlignment(const CellRange &range, VAlign alignment) = 0;
    virtual void setWrapText(const CellRange &range, bool wrap) = 0;
    // Every border of every cell, inner ones included.
    virtual void setBorderLineStyle(const CellRange &range, int lineStyle) = 0;
    virtual void setBorderWeight(const CellRange &range, int weight) = 0;

    // Points; a row nobody sized has the sheet's standard height.
    virtual double rowHeight(int row) const = 0;
    virtual void setRowHeight(int row, double points) = 0;

    // Values. The empty text leaves the cell blank but formatted.
    virtual void setText(const CellRange &range, const QString &text) = 0;
    virtual void setNumber(const CellRange &range, double value) = 0;
    // A formula in the user's conventions: "=СУММ(E17:E19)".
    virtual void setFormulaLocal(const CellRange &range, const QString &formula) = 0;
    // A number format in the user's conventions: "# ##0,00".
    virtual void setNumberFormatLocal(const CellRange &range, const QString &format) = 0;

    // Widths of the whole columns of the range from their contents.
    virtual void autoFitColumns(const CellRange &range) = 0;

    // Addressing, as the documents write it.
    Range range(const QString &a1);
    Range range(const QString &first, const QString &second);
    Range cells(int row, const QString &column);
    Range cells(int row, int column);
    Range selection();
};

// A range of one sheet: the object the documents format, like the
// application's own Range. Setters return the range for chaining.
class Range
{
public:
    Range(Spreadsheet &sheet, CellRange cells) : m_sheet(&sheet), m_cells(cells) {}

    const CellRange &cells() const { return m_cells; }

    Range &merge();
    Range &select();
    Range &fontName(const QString &name);
    Range &fontSize(int points);
    Range &bold(bool on);
    Range &italic(bool on);
    Range &fontColorIndex(int index);
    Range &interiorColorIndex(int index);
    Range &horizontal(HAlign alignment);
    Range &vertical(VAlign alignment);
    Range &wrapText(bool on);
    Range &borders(int lineStyle, int weight);
    Range &value(const QString &text);
    Range &value(double number);
    Range &formulaLocal(const QString &formula);
    Range &numberFormatLocal(const QString &format);

    // The height of the range's first row; setting sizes every row of it.
    double rowHeight() const;
    Range &rowHeight(double points);
    // Reads the height and writes back the multiple.
    Range &multiplyRowHeight(int factor);

private:
    Spreadsheet *m_sheet;
    CellRange m_cells;
};

} // namespace vastrel
