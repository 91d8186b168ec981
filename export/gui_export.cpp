#include "export/gui_export.h"

namespace vastrel {

void exportBreakdownFromWindow(QWidget *, const Workspace &, const EstimateWindow &, MessageService &messages)
{
    messages.refuse(QStringLiteral("Экспорт ещё не готов."));
}

} // namespace vastrel

namespace vastrel {

bool exportConsolidatedFromWindow(QWidget *, const Workspace &, const QStringList &, const QList<int> &,
                                  MessageService &messages)
{
    messages.refuse(QStringLiteral("Экспорт ещё не готов."));
    return false;
}

} // namespace vastrel
