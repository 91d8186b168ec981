#pragma once

#include "domain/messages.h"
#include "store/workspace.h"

namespace vastrel {

// Starts the help program, looked for in the working directory first, then beside
// the program's own executable; says so when there is none or it does not start.
void openHelpProgram(const Workspace &workspace, MessageService &messages);

// The help program's path in the working directory or, failing that, in
// programDir; empty when neither holds it.
QString findHelpProgram(const Workspace &workspace, const QString &programDir);

// "VastrelTaver_Help", with ".exe" on Windows.
QString helpProgramName();

} // namespace vastrel
