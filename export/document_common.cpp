#include "export/document_common.h"

namespace vastrel {

Range takeCells(Spreadsheet &sheet, const QString &a1, bool merge)
{
    Range cells = sheet.range(a1);
    if (merge)
        cells.merge();
    cells.select();
    Range selection = sheet.selection();
    selection.fontName(DocumentFont).fontColorIndex(0);
    return selection;
}

Range takeCells(Spreadsheet &sheet, int row, const char *first, const char *last)
{
    QString a1 = QString::fromLatin1(first) + QString::number(row);
    if (last)
        a1 += QLatin1Char(':') + QString::fromLatin1(last) + QString::number(row);
    return takeCells(sheet, a1, last != nullptr);
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
