#include "operations/media_copy.h"

#include "domain/error.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

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

// A link in the base may name any file of the machine; only an estimate file
// may leave it on a medium.
void requireEstimateBehindLink(const QString &sourcePath, const QString &name)
{
    const QFileInfo info(sourcePath);
    const QString problem =
        info.size() > MaxEstimateFileBytes
            ? QStringLiteral("больше %1").arg(maxEstimateFileText())
            : estimateFileProblem(readFileBytes(sourcePath, Workspace::shown(Workspace::estimateName(name)),
                                                OpenFailure::FileNotFound));
    if (!problem.isEmpty())
        throw Error(QStringLiteral("Смета %1 не скопирована: её файл в базе — ссылка на %2, а это не файл сметы "
                                   "(%3). На носитель он не записан.")
                        .arg(name, QDir::toNativeSeparators(info.symLinkTarget()), problem));
}

void copyEstimate(const Workspace &workspace, const Medium &medium, const QString &name, const BlockWriter &writer)
{
    const QString sourcePath = workspace.estimatePath(name);
    if (!fileExists(sourcePath))
        throw Error::fileNotFound();
    QFile source(sourcePath);
    if (!notARegularFileReason(sourcePath).isEmpty() || !source.open(QIODevice::ReadOnly))
        throw Error::io(IoCode::AccessDenied);
    if (isLink(sourcePath))
        requireEstimateBehindLink(sourcePath, name);
    requireMedium(medium);

    // A link on the medium is replaced, never written through: it may name
    // any file of the machine the medium is in.
    SafeFileWriter target(medium.root + name + QStringLiteral(".xml"), SafeFileWriter::Links::Replace);
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
    SafeFileWriter file(medium.root + Workspace::tocName(), SafeFileWriter::Links::Replace);
    openTarget(file, medium);
    if (!writeBlock(writer, file, bytes.constData(), bytes.size()))
        abandon(file, IoCode::DiskWrite, medium);
    commitTarget(file, medium);
}

Outcome copyNamed(const Workspace &workspace, const Medium &medium, const QStringList &lines, const QStringList &names,
                  MessageService &messages, const BlockWriter &writer)
{
    if (names.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Выделите сметы для копирования!"));
    }
    // Two names that differ only in case are one file on a flash drive: the
    // second copy would replace the first before anything is said.
    CaseVariants seen;
    for (const QString &name : names) {
        if (const QString other = seen.variantOf(name); !other.isEmpty()) {
            return Outcome::refusal(QStringLiteral("Сметы «%1» и «%2» нельзя записать на один носитель: их имена "
                                                   "различаются только заглавными и строчными буквами, а на флешке "
                                                   "это одно имя файла. Ничего не скопировано.")
                                        .arg(other, name));
        }
        seen.add(name);
    }
    for (const QString &name : names) {
        copyEstimate(workspace, medium, name, writer);
        messages.inform(QStringLiteral("Смета ") + name + QStringLiteral(" скопирована!"));
        writeMediumToc(medium, lines, writer);
    }
    return Outcome::done(QStringLiteral("Операция копирования смет успешно завершена!"));
}

} // namespace

Outcome copyToMedium(const Workspace &workspace, const Medium &medium, const QStringList &lines,
                     const QStringList &names, MessageService &messages, const BlockWriter &writer)
{
    return shownIn(messages, copyNamed(workspace, medium, lines, names, messages, writer));
}

} // namespace vastrel
