#include "operations/media_copy.h"

#include "base/error.h"
#include "base/table_of_contents.h"
#include "base/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vastrel {

namespace {

constexpr qint64 BlockSize = 2048;

bool writeBlock(const BlockWriter &writer, SafeFileWriter &target, const char *data, qint64 size)
{
    if (writer)
        return writer(target.device(), data, size) == size;
    return target.write(data, size);
}

// Opens the new file that replaces `path` on the medium only once it is whole
// and on the device; until then the medium's older file stays as it was.
// The medium's folder as the user knows it, for the error's second line.
QString shownRoot(const Medium &medium)
{
    return QDir::toNativeSeparators(medium.root);
}

void openTarget(SafeFileWriter &target, const Medium &medium)
{
    if (!target.open())
        throw Error::io(IoCode::AccessDenied, shownRoot(medium));
}

[[noreturn]] void abandon(SafeFileWriter &target, int ioCode, const Medium &medium)
{
    target.cancel();
    throw Error::io(ioCode, shownRoot(medium));
}

void commitTarget(SafeFileWriter &target, const Medium &medium)
{
    if (!target.commit())
        throw Error::io(IoCode::DiskWrite, shownRoot(medium));
}

void copyEstimate(const Workspace &workspace, const Medium &medium, const QString &name,
                  const BlockWriter &writer)
{
    const QString sourcePath = workspace.estimatePath(name);
    if (!fileExists(sourcePath))
        throw Error::fileNotFound();
    QFile source(sourcePath);
    if (!notARegularFileReason(sourcePath).isEmpty() || !source.open(QIODevice::ReadOnly))
        throw Error::io(IoCode::AccessDenied);
    requireMedium(medium);

    SafeFileWriter target(medium.root + name + QStringLiteral(".xml"));
    openTarget(target, medium);
    char block[BlockSize];
    for (;;) {
        const qint64 read = source.read(block, BlockSize);
        if (read < 0)
            abandon(target, IoCode::DiskRead, medium);
        if (read == 0)
            break;
        if (!writeBlock(writer, target, block, read))
            abandon(target, IoCode::DiskWrite, medium);
    }
    commitTarget(target, medium);
}

void writeMediumToc(const Medium &medium, const QStringList &lines, const BlockWriter &writer)
{
    const QByteArray bytes = toWindows1251(crlfLines(lines));
    SafeFileWriter file(medium.root + Workspace::tocName());
    openTarget(file, medium);
    if (!writeBlock(writer, file, bytes.constData(), bytes.size()))
        abandon(file, IoCode::DiskWrite, medium);
    commitTarget(file, medium);
}

} // namespace

Outcome copyToMedium(const Workspace &workspace, const Medium &medium, const QStringList &lines,
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
        return Outcome::refusal(QStringLiteral("Выделите сметы для копирования!"));
    }
    return Outcome::done(QStringLiteral("Операция копирования смет успешно завершена!"));
}

} // namespace vastrel
