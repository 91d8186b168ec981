#include "export/document_target.h"

#include "export/xlsx_backend.h"
#include "store/base_lock.h"

#include <QDir>
#include <QFileInfo>

namespace vastrel {

namespace {

// The path with every existing directory and link resolved, so "../x/.." or
// a link cannot hide where a file would land. The file itself need not exist.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir(dir.isEmpty() ? info.absolutePath() : dir).filePath(info.fileName());
}

// Names are compared without regard to case: on Windows and on a FAT or
// exFAT drive two spellings are one file.
bool samePath(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString documentTargetProblem(const Workspace &workspace, const QString &path)
{
    const QString target = resolvedPath(workspace.resolve(path));
    const QString shown = QDir::toNativeSeparators(path);
    const std::pair<QString, QString> programFiles[] = {
        {Workspace::tocName(), QStringLiteral("оглавление базы")},
        {Workspace::deletionWorkName(), QStringLiteral("рабочий файл удаления смет")},
        {BaseLock::fileName(), QStringLiteral("блокировка базы")},
        {Workspace::settingsName(), QStringLiteral("настройки программы")},
    };
    for (const auto &[name, what] : programFiles) {
        if (samePath(target, resolvedPath(workspace.resolve(name)))) {
            return QStringLiteral("Документ нельзя записать в файл %1: это %2 (%3). Выберите другое имя файла.")
                .arg(shown, what, name);
        }
    }
    const QString base = resolvedPath(workspace.baseDir());
    if (samePath(target, base) || target.startsWith(base + QLatin1Char('/'), Qt::CaseInsensitive)) {
        return QStringLiteral("Документ нельзя записать в каталог базы смет %1: в нем хранятся только файлы смет. "
                              "Выберите другой каталог.")
            .arg(Workspace::shown(Workspace::baseDirName() + QLatin1Char('/')));
    }
    if (!target.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) && !isPdfPath(target)) {
        return QStringLiteral("Документ можно записать только в файл с расширением .xlsx (книга Excel) или .pdf, "
                              "а не в %1.")
            .arg(shown);
    }
    return QString();
}

} // namespace vastrel
