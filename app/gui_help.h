#pragma once

#include "base/workspace.h"

namespace vastrel {

// Asks the system to start the help program from the working directory; as
// with the shell's "open", what happens then is not examined.
void openHelpProgram(const Workspace &workspace);

// "VastrelTaver_Help", with ".exe" on Windows.
QString helpProgramName();

} // namespace vastrel
