#include "editing/saving.h"

namespace vastrel {

bool saveEstimate(const Workspace &, const EstimateWindow &, MessageService &messages, const QDate &)
{
    messages.refuse(QStringLiteral("Запись сметы ещё не готова."));
    return false;
}

} // namespace vastrel
