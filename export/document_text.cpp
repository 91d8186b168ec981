#include "export/document_text.h"

namespace vastrel {

QString safeFileName(const QString &name)
{
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    QString safe;
    for (const QChar c : name)
        safe += refused.contains(c) || c.unicode() < 0x20 ? QLatin1Char('_') : c;
    return safe.trimmed();
}

} // namespace vastrel
