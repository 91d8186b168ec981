#pragma once

namespace vastrel {

// Drops the two warnings Qt prints on every normal run (no XDG_RUNTIME_DIR under
// root or cron; a window shown under the offscreen platform); every other message
// goes on to Qt's own handler. Called first thing in main.
void silencePlatformNoise();

} // namespace vastrel
