#include "export/document_common.h"

namespace vastrel {

PageSetup documentPage(const QString &footer)
{
    PageSetup page;
    page.orientation = Orientation::Portrait;
    page.footer = footer;
    page.footerSize = 7;
    page.titleFirst = 2;
    page.titleLast = 3;
    return page;
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
