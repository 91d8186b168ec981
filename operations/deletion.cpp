#include "operations/deletion.h"

#include "base/error.h"
#include "base/table_of_contents.h"
#include "base/text_file.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace vastrel {

namespace {

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

void removeWorkFile(const Workspace &workspace)
{
    const QString path = workspace.resolve(Workspace::deletionWorkName());
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

} // namespace

bool checkDeletionSelection(const QList<int> &selected, MessageService &messages)
{
    if (selected.isEmpty()) {
        messages.refuse(QStringLiteral("Выделите сметы для удаления!"));
        return false;
    }
    if (selected.size() > 1) {
        messages.refuse(QStringLiteral("Выделено больше, чем одна смета для удаления!"));
        return false;
    }
    return true;
}

bool replaceFile(const QString &from, const QString &to, QString *reason)
{
    // std::filesystem::rename replaces an existing target atomically (rename(2),
    // MoveFileEx with MOVEFILE_REPLACE_EXISTING); QFile::rename refuses to.
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    if (error && reason)
        *reason = QString::fromLocal8Bit(error.message());
    return !error;
}

void deleteEstimates(const Workspace &workspace, const QStringList &lines, const QList<int> &selected,
                     const DeletionProbe &probe)
{
    QStringList kept;
    QStringList removedNames;
    for (int i = 0; i < lines.size(); ++i) {
        if (selected.contains(i))
            removedNames.append(estimateNameOf(lines.at(i)));
        else
            kept.append(lines.at(i));
    }
    const QString workName = Workspace::deletionWorkName();
    const QString workPath = workspace.resolve(workName);

    // The kept lines are encoded before anything is touched.
    writeFileAtomically(workPath, Workspace::shown(workName), toWindows1251(crlfLines(kept)));
    try {
        if (probe)
            probe(DeletionStep::WorkFileWritten);
        for (const QString &name : removedNames) {
            const QString estimatePath = workspace.estimatePath(name);
            if (fileExists(estimatePath) && !QFile::remove(estimatePath))
                throw Error::io(IoCode::AccessDenied);
            if (probe)
                probe(DeletionStep::EstimateRemoved);
        }
        QString reason;
        if (!replaceFile(workPath, workspace.tocPath(), &reason))
            throw Error::cannotCreate(Workspace::shown(Workspace::tocName()), reason);
    } catch (...) {
        removeWorkFile(workspace);
        throw;
    }
}

} // namespace vastrel
