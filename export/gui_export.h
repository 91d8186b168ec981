#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QList>
#include <QStringList>

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

} // namespace vastrel
