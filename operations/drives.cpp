#include "operations/drives.h"

#include "base/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

namespace vastrel {

namespace {

#ifndef Q_OS_WIN
bool isDriveLetter(const QString &text)
{
    return text.size() == 1 && text.at(0).isLetter() && text.at(0).unicode() < 128;
}

// A volume the desktop mounted for the user (udisks puts them under /media or
// /run/media), or one on a block device the kernel marks removable.
bool isRemovableVolume(const QStorageInfo &volume)
{
    const QString root = volume.rootPath();
    if (root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/run/media/")))
        return true;
    const QByteArray device = volume.device();
    if (!device.startsWith("/dev/"))
        return false;
    const QString block = QStringLiteral("/sys/class/block/") + QString::fromLocal8Bit(device.mid(5));
    // A partition's flag is on its disk, one level up.
    for (const QString &flag : {block + QStringLiteral("/removable"), block + QStringLiteral("/../removable")}) {
        QFile file(flag);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll().trimmed() == "1";
    }
    return false;
}

bool isFloppyDevice(const QByteArray &device)
{
    return device.startsWith("/dev/fd") || device.startsWith("/dev/floppy");
}
#endif

} // namespace

Medium Medium::at(const QString &directory)
{
    QString root = QDir::fromNativeSeparators(directory);
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return Medium{root, 0};
}

QStringList driveLetters()
{
    return {QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"),
            QStringLiteral("G"), QStringLiteral("H"), QStringLiteral("I"), QStringLiteral("J"),
            QStringLiteral("K"), QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("N"),
            QStringLiteral("O"), QStringLiteral("P"), QStringLiteral("Q"), QStringLiteral("R"),
            QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("U"), QStringLiteral("W"),
            QStringLiteral("V"), QStringLiteral("Y"), QStringLiteral("Z")};
}

QStringList driveListItems()
{
    QStringList items = driveLetters();
#ifndef Q_OS_WIN
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && isRemovableVolume(volume))
            items.append(QDir::toNativeSeparators(volume.rootPath()));
    }
#endif
    return items;
}

Medium flashMedium(const Workspace &workspace, const QString &designation)
{
#ifdef Q_OS_WIN
    Q_UNUSED(workspace);
    return Medium::at(designation + QStringLiteral(":\\"));
#else
    if (!designation.isEmpty() && QFileInfo(workspace.resolve(designation)).isDir())
        return Medium::at(workspace.resolve(designation));
    if (isDriveLetter(designation))
        return Medium::failing(IoCode::NotReady, designation);
    return Medium::failing(IoCode::PathNotFound, designation);
#endif
}

// A drive root that is not there: a letter whose drive is empty or not
// ready, or a designation that names no path at all.
static Error missingRootError(const QString &root)
{
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:[/\\\\]?$"));
    return Error::io(driveRoot.match(root).hasMatch() ? IoCode::NotReady : IoCode::PathNotFound,
                     QDir::toNativeSeparators(root));
}

void requireMedium(const Medium &medium)
{
    if (!medium.usable())
        throw Error::io(medium.ioError, QDir::toNativeSeparators(medium.root));
    if (!QFileInfo(medium.root).isDir())
        throw missingRootError(medium.root);
}

Medium disketteMedium()
{
#ifdef Q_OS_WIN
    return Medium::at(QStringLiteral("A:\\"));
#else
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && isFloppyDevice(volume.device()))
            return Medium::at(volume.rootPath());
    }
    return Medium::failing(IoCode::NotReady, QStringLiteral("дисковод"));
#endif
}

} // namespace vastrel
