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
    // Columns `first` to `last` of one row.
    static CellRange span(int row, int first, int last) { return {row, first, row, last}; }
    // "E24" or "A15:C16"; throws Error for anything else.
    static CellRange parse(const QString &a1);

    int rows() const { return bottom - top + 1; }
    int columns() const { return right - left + 1; }
    bool contains(int row, int column) const;
    bool intersects(const CellRange &other) const;
    QString a1() const; // "A15:C16", or "E24" for one cell

    bool operator==(const CellRange &) const = default;
};

// The documents' columns by their letters.
enum Column : int {
    A = 1,
    B,
    C,
    D,
    E,
    F,
    G
};

// "A" is 1, "AA" is 27; 0 for a text that is no column name.
int columnNumber(const QString &letters);
QString columnLetters(int column);

} // namespace vastrel
