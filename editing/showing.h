#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

namespace vastrel {

// "показать смету": loads the selected estimate's file into the window.
bool showEstimate(const Workspace &workspace, EstimateWindow &window, MessageService &messages);

} // namespace vastrel
