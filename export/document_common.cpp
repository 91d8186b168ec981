#include "export/document_common.h"

#include <algorithm>

namespace vastrel {

Range takeCells(Spreadsheet &sheet, const QString &a1, bool merge)
{
    return takeCells(sheet, CellRange::parse(a1), merge);
}

Range takeCells(Spreadsheet &sheet, const CellRange &range, bool merge)
{
    Range cells(sheet, range);
    if (merge)
        cells.merge();
    cells.select();
    Range selection = sheet.selection();
    selection.fontName(DocumentFont).fontColorIndex(0);
    return selection;
}

Range takeCells(Spreadsheet &sheet, int row, const char *first, const char *last)
{
    // Called for every cell of long documents: the range is made without writing and reading its address.
    const int left = columnNumber(QLatin1StringView(first));
    const int right = last ? columnNumber(QLatin1StringView(last)) : left;
    if (row < 1 || row > 9999999 || left < 1 || right < 1) {
        QString a1 = QString::fromLatin1(first) + QString::number(row);
        if (last)
            a1 += QLatin1Char(':') + QString::fromLatin1(last) + QString::number(row);
        return takeCells(sheet, a1, last != nullptr);
    }
    return takeCells(sheet, CellRange{row, std::min(left, right), row, std::max(left, right)}, last != nullptr);
}

QString safeFileName(const QString &name)
{
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    QString safe;
    for (const QChar c : name)
        safe += refused.contains(c) || c.unicode() < 0x20 ? QLatin1Char('_') : c;
    return safe.trimmed();
}

} // namespace vastrel
