#include "app/gui_help.h"

#include <QProcess>

namespace vastrel {

QString helpProgramName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("VastrelTaver_Help.exe");
#else
    return QStringLiteral("VastrelTaver_Help");
#endif
}

void openHelpProgram(const Workspace &workspace)
{
    QProcess::startDetached(workspace.resolve(helpProgramName()), {}, workspace.root());
}

} // namespace vastrel
