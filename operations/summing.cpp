#include "operations/summing.h"

namespace vastrel {

QString sumEstimates(const Workspace &, const QStringList &, const QList<int> &, MessageService &messages,
                     const QDateTime &)
{
    messages.refuse(QStringLiteral("Сложение смет ещё не готово."));
    return QString();
}

} // namespace vastrel
