#include "operations/media_copy.h"

#include "base/error.h"
#include "base/table_of_contents.h"
#include "base/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vastrel {

namespace {

constexpr qint64 BlockSize = 2048;

qint64 writeBlock(const BlockWriter &writer, QFileDevice &target, const char *data, qint64 size)
{
    return writer ? writer(target, data, size) : target.write(data, size);
}

// Gives up a target that was not written whole: the new bytes are dropped and
// an older file of that name is removed too, as creating the target would
// have truncated it.
[[noreturn]] void abandon(QSaveFile &target, const QString &path, int ioCode)
{
    target.cancelWriting();
    if (QFileInfo(path).isFile())
        QFile::remove(path);
    throw Error::io(ioCode);
}

void copyEstimate(const Workspace &workspace, const Medium &medium, const QString &name,
                  const BlockWriter &writer)
{
    const QString sourcePath = workspace.estimatePath(name);
    if (!fileExists(sourcePath))
        throw Error::fileNotFound();
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        throw Error::io(IoCode::AccessDenied);
    requireMedium(medium);

    const QString targetPath = medium.root + name + QStringLiteral(".xml");
    // The bytes go to a new file that replaces the target only once it is
    // whole and on the device.
    QSaveFile target(targetPath);
    if (QFileInfo(targetPath).isDir() || !target.open(QIODevice::WriteOnly))
        throw Error::io(IoCode::AccessDenied);
    char block[BlockSize];
    for (;;) {
        const qint64 read = source.read(block, BlockSize);
        if (read < 0)
            abandon(target, targetPath, IoCode::DiskRead);
        if (read == 0)
            break;
        if (writeBlock(writer, target, block, read) != read)
            abandon(target, targetPath, IoCode::DiskWrite);
    }
    if (!target.commit()) {
        if (QFileInfo(targetPath).isFile())
            QFile::remove(targetPath);
        throw Error::io(IoCode::DiskWrite);
    }
}

void writeMediumToc(const Medium &medium, const QStringList &lines, const BlockWriter &writer)
{
    const QByteArray bytes = toWindows1251(crlfLines(lines));
    const QString path = medium.root + Workspace::tocName();
    // An older table of contents on the medium stays until the new one is whole.
    QSaveFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly))
        throw Error::io(IoCode::AccessDenied);
    if (writeBlock(writer, file, bytes.constData(), bytes.size()) != bytes.size()) {
        file.cancelWriting();
        throw Error::io(IoCode::DiskWrite);
    }
    if (!file.commit())
        throw Error::io(IoCode::DiskWrite);
}

} // namespace

bool copyToMedium(const Workspace &workspace, const Medium &medium, const QStringList &lines,
                  const QList<int> &selected, MessageService &messages, const BlockWriter &writer)
{
    bool anySelected = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (!selected.contains(i))
            continue;
        anySelected = true;
        const QString name = estimateNameOf(lines.at(i));
        copyEstimate(workspace, medium, name, writer);
        messages.inform(QStringLiteral("Смета ") + name + QStringLiteral(" скопирована!"));
        writeMediumToc(medium, lines, writer);
    }
    if (!anySelected) {
        messages.refuse(QStringLiteral("Выделите сметы для копирования!"));
        return false;
    }
    messages.inform(QStringLiteral("Операция копирования смет успешно завершена!"));
    return true;
}

} // namespace vastrel
