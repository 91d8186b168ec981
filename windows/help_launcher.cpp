#include "windows/help_launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

QString findHelpProgram(const Workspace &workspace, const QString &programDir)
{
    for (const QString &dir : {workspace.root(), programDir}) {
        if (dir.isEmpty())
            continue;
        const QFileInfo candidate(QDir(dir).filePath(helpProgramName()));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QString();
}

void openHelpProgram(const Workspace &workspace, MessageService &messages)
{
    const QString program = findHelpProgram(workspace, QCoreApplication::applicationDirPath());
    if (program.isEmpty()) {
        messages.refuse(QStringLiteral("Программа помощи %1 не найдена ни в рабочем каталоге, ни рядом с "
                                       "программой «Вастрель - Тавер». Установите программу заново или "
                                       "скопируйте %1 в каталог программы.")
                            .arg(helpProgramName()));
        return;
    }
    if (!QProcess::startDetached(program, {}, workspace.root()))
        messages.refuse(
            QStringLiteral("Не удалось запустить программу помощи %1.").arg(QDir::toNativeSeparators(program)));
}

} // namespace vastrel
