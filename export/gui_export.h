#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

class QWidget;

namespace vastrel {

// "экспорт сметы в Excel": builds the breakdown document from the window,
// asks where to keep it and opens it.
void exportBreakdownFromWindow(QWidget *parent, const Workspace &workspace, const EstimateWindow &window,
                               MessageService &messages);

} // namespace vastrel
