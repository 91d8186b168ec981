#include "editing/showing.h"

namespace vastrel {

bool showEstimate(const Workspace &, EstimateWindow &, MessageService &messages)
{
    messages.refuse(QStringLiteral("Показ сметы ещё не готов."));
    return false;
}

} // namespace vastrel
