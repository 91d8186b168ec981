#pragma once

#include "domain/messages.h"
#include "editing/estimate_window.h"
#include "store/workspace.h"

namespace vastrel {

// The main window's activation: heading and legal status from the settings,
// the estimate selector from the table of contents. Without settings it only
// says so. A missing table of contents throws after the heading is set, so
// the caller keeps what was filled before the error. The selector keeps
// pointing at the estimate it showed while the new lines hold it.
void activateMainWindow(const Workspace &workspace, QString &heading, EstimateWindow &window, MessageService &messages);

// Refills the estimate selector from the table of contents after an
// operation changed it; it keeps pointing at the estimate it showed while
// that estimate is still listed.
void refillSelector(const Workspace &workspace, EstimateWindow &window);

} // namespace vastrel
