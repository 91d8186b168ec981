#include "operations/deletion.h"

#include "domain/error.h"
#include "store/base_lock.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace vastrel {

namespace {

void removeWorkFile(const Workspace &workspace)
{
    const QString path = workspace.resolve(Workspace::deletionWorkName());
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

} // namespace

Outcome checkDeletionSelection(const QStringList &selected)
{
    if (selected.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Выделите сметы для удаления!"));
    }
    if (selected.size() > 1) {
        return Outcome::refusal(QStringLiteral("Выделено больше, чем одна смета для удаления!"));
    }
    return Outcome::done();
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

namespace {

// The table of contents as it stands now, under the lock: another copy may
// have changed it since the caller listed it, and its records must stay.
QStringList currentLines(const Workspace &workspace, const QStringList &shown)
{
    return fileExists(workspace.tocPath()) ? readToc(workspace, OpenFailure::FileNotFound) : shown;
}

// Deleting from a read-only table of contents or base would remove files
// and then fail, or replace the read-only file: refuse before anything.
void checkWritable(const Workspace &workspace, const QStringList &estimatePaths)
{
    const QString toc = Workspace::shown(Workspace::tocName());
    if (const QString reason = notARegularFileReason(workspace.tocPath()); !reason.isEmpty())
        throw Error::cannotCreate(toc, reason);
    if (const QString reason = readOnlyReason(workspace.tocPath()); !reason.isEmpty())
        throw Error::cannotCreate(toc, reason);
    for (const QString &path : estimatePaths) {
        if (!fileExists(path))
            continue;
        if (const QString reason = readOnlyReason(path); !reason.isEmpty())
            throw Error(QStringLiteral("Смета не удалена: %1 (%2).").arg(reason, QDir::toNativeSeparators(path)));
    }
}

} // namespace

void deleteEstimates(const Workspace &workspace, const QStringList &lines, const QStringList &selected,
                     const DeletionProbe &probe)
{
    const BaseLock lock(workspace);
    QStringList kept = currentLines(workspace, lines);
    QStringList removedNames;
    QStringList removedPaths;
    for (const QString &line : selected) {
        const QString name = estimateNameOf(line);
        removedNames.append(name);
        removedPaths.append(workspace.estimatePath(name));
        kept.removeOne(line);
    }
    checkWritable(workspace, removedPaths);
    const QString workName = Workspace::deletionWorkName();
    const QString workPath = workspace.resolve(workName);

    // The kept lines are encoded before anything is touched.
    writeFileAtomically(workPath, Workspace::shown(workName), toWindows1251(crlfLines(kept)));
    try {
        if (probe)
            probe(DeletionStep::WorkFileWritten);
        for (int i = 0; i < removedPaths.size(); ++i) {
            QString reason;
            if (fileExists(removedPaths.at(i)) && !removeFile(removedPaths.at(i), &reason))
                throw Error(QStringLiteral("Не удалось удалить файл сметы «%1»: %2. Оглавление базы не изменено.")
                                .arg(Workspace::shown(Workspace::estimateName(removedNames.at(i))), reason));
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
