#include "export/gui_export.h"

namespace vastrel {

void exportBreakdownFromWindow(QWidget *, const Workspace &, const EstimateWindow &, MessageService &messages)
{
    messages.refuse(QStringLiteral("Экспорт ещё не готов."));
}

} // namespace vastrel
