#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace vastrel::test {

// What a cell of a written workbook shows, read back from the file's XML.
struct XlsxCellFormat
{
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    QString horizontal; // "", "left", "center", "right"
    QString vertical;   // "" (bottom), "top", "center"
    bool wrap = false;
    bool thinBorders = false; // thin on all four sides
    bool filled = false;      // any fill pattern
    QString numberFormat;     // "" for General
};

struct XlsxCell
{
    bool present = false;
    QString type;    // "s" shared string, "str", "n" (or "") number, "b"
    QString text;    // the string, or the number as stored
    QString formula; // without "="
    XlsxCellFormat format;
    bool isBlank() const { return present && text.isEmpty() && formula.isEmpty(); }
};

// The first worksheet of an .xlsx file.
class XlsxSheet
{
public:
    // Empty sheet with error() set when the file cannot be read.
    static XlsxSheet read(const QString &path);

    const QString &error() const { return m_error; }
    XlsxCell cell(const QString &ref) const;
    QString text(const QString &ref) const { return cell(ref).text; }
    double number(const QString &ref) const { return cell(ref).text.toDouble(); }
    bool hasMerge(const QString &range) const { return m_merges.contains(range); }
    const QStringList &merges() const { return m_merges; }
    double rowHeight(int row) const { return m_rowHeights.value(row, 0); }
    double columnWidth(int column) const { return m_columnWidths.value(column, 0); }
    int lastRow() const;
    // Rows that hold at least one cell, in order.
    QList<int> rows() const;
    const QString &footer() const { return m_footer; }
    const QString &orientation() const { return m_orientation; }
    const QString &printTitles() const { return m_printTitles; }
    const QString &defaultFont() const { return m_defaultFont; }
    double defaultRowHeight() const { return m_defaultRowHeight; }

private:
    QString m_error;
    QMap<QString, XlsxCell> m_cells;
    QStringList m_merges;
    QMap<int, double> m_rowHeights;
    QMap<int, double> m_columnWidths;
    QString m_footer;
    QString m_orientation;
    QString m_printTitles;
    QString m_defaultFont;
    double m_defaultRowHeight = 0;
};

// One part of the package as text ("xl/worksheets/sheet1.xml"); empty when missing.
QString unzipPart(const QString &path, const QString &part);

} // namespace vastrel::test
