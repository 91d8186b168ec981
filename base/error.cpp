#include "base/error.h"

namespace vastrel {

Error::Error(QString text)
    : m_text(std::move(text))
    , m_utf8(m_text.toUtf8())
{
}

Error Error::fileNotFound()
{
    return Error(QStringLiteral("File not found"));
}

Error Error::cannotOpen(const QString &fileName, const QString &reason)
{
    return Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
}

Error Error::cannotCreate(const QString &fileName, const QString &reason)
{
    return Error(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

Error Error::io(int code)
{
    return Error(QStringLiteral("I/O error %1").arg(code));
}

Error Error::notAFloat(const QString &text)
{
    return Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

} // namespace vastrel
