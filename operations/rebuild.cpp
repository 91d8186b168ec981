#include "operations/rebuild.h"

#include "base/base_lock.h"
#include "base/table_of_contents.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace vastrel {

QString runningNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

QString estimateNameOfEntry(const QString &entryName)
{
    const qsizetype end = entryName.indexOf(QStringLiteral(".xml"), 0, Qt::CaseSensitive);
    return end < 0 ? QString() : entryName.left(end);
}

QStringList baseDirectoryEntries(const Workspace &workspace)
{
    const QDir dir(workspace.baseDir());
    QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QStringList rebuiltTocLines(const QStringList &entryNames)
{
    QStringList lines;
    for (int i = 0; i < entryNames.size(); ++i)
        lines.append(runningNumber(i + 1) + QLatin1Char('|') + estimateNameOfEntry(entryNames.at(i)) +
                     QLatin1Char('|'));
    return lines;
}

bool rebuildToc(const Workspace &workspace, MessageService &messages)
{
    // Without the base directory a rebuild would wipe the table of contents:
    // most likely the program was started from the wrong directory.
    if (!QFileInfo(workspace.baseDir()).isDir()) {
        messages.refuse(QStringLiteral("Каталог базы %1 не найден. Оглавление базы не изменено.")
                            .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/'))));
        return false;
    }
    const BaseLock lock(workspace);
    writeToc(workspace, rebuiltTocLines(baseDirectoryEntries(workspace)));
    return true;
}

} // namespace vastrel
