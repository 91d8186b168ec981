#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QList>
#include <QStringList>

#include <functional>

class QWidget;

namespace vastrel {

// "экспорт сметы в Excel": builds the breakdown document from the window,
// asks where to keep it and opens it.
void exportBreakdownFromWindow(QWidget *parent, const Workspace &workspace, const EstimateWindow &window,
                               MessageService &messages);

} // namespace vastrel

namespace vastrel {

// "экспорт сводной сметы в Excel": builds the refined estimate document from
// the selected table-of-contents lines of the operations window. True when the
// data rows were written (the operations window then closes).
bool exportConsolidatedFromWindow(QWidget *parent, const Workspace &workspace, const QStringList &lines,
                                  const QList<int> &selected, MessageService &messages);

// How a built document reaches the user: the file to keep it in (empty when
// the user declines) and the opening of the kept file (false when no program
// opened it). Tests replace both.
struct DocumentDelivery
{
    std::function<QString(QWidget *parent, const QString &suggestedPath)> chooseFile;
    std::function<bool(const QString &path)> open;
};
DocumentDelivery &documentDelivery();

} // namespace vastrel
