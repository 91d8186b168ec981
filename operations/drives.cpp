#include "operations/drives.h"

#include "domain/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace vastrel {

namespace {

// mountinfo writes a blank, a tab, a newline and a backslash as "\ooo".
QString unescapeMountField(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArrayView digits = field.sliced(i + 1, 3);
            const bool octal = std::all_of(digits.begin(), digits.end(), [](char d) { return d >= '0' && d <= '7'; });
            if (octal) {
                bytes.append(char(((digits.at(0) - '0') << 6) | ((digits.at(1) - '0') << 3) | (digits.at(2) - '0')));
                i += 3;
                continue;
            }
        }
        bytes.append(c);
    }
    return QFile::decodeName(bytes);
}

bool isDriveLetter(const QString &text)
{
    return text.size() == 1 && text.at(0).isLetter() && text.at(0).unicode() < 128;
}

#ifndef Q_OS_WIN

// The kernel's flag of a block device; a partition's is on its disk, one level up.
bool isRemovableDevice(const QString &deviceNumber)
{
    const QString block = QStringLiteral("/sys/dev/block/") + deviceNumber;
    for (const QString &flag : {block + QStringLiteral("/removable"), block + QStringLiteral("/../removable")}) {
        QFile file(flag);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll().trimmed() == "1";
    }
    return false;
}

// Volume labels by device, from udev's links ("\x20" stands for a blank there).
QHash<QString, QString> volumeLabels()
{
    QHash<QString, QString> labels;
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo &link : byLabel.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        QByteArray name = QFile::encodeName(link.fileName());
        QByteArray decoded;
        for (qsizetype i = 0; i < name.size(); ++i) {
            bool ok = false;
            const int byte = i + 3 < name.size() && name.at(i) == '\\' && name.at(i + 1) == 'x'
                                 ? name.mid(i + 2, 2).toInt(&ok, 16)
                                 : 0;
            if (ok) {
                decoded.append(char(byte));
                i += 3;
            } else {
                decoded.append(name.at(i));
            }
        }
        labels.insert(link.canonicalFilePath(), QFile::decodeName(decoded));
    }
    return labels;
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
    return {QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("G"),
            QStringLiteral("H"), QStringLiteral("I"), QStringLiteral("J"), QStringLiteral("K"), QStringLiteral("L"),
            QStringLiteral("M"), QStringLiteral("N"), QStringLiteral("O"), QStringLiteral("P"), QStringLiteral("Q"),
            QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("T"), QStringLiteral("U"), QStringLiteral("W"),
            QStringLiteral("V"), QStringLiteral("Y"), QStringLiteral("Z")};
}

std::optional<Mount> parseMountInfoLine(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    QList<QByteArrayView> fields;
    for (qsizetype start = 0; start <= line.size();) {
        qsizetype end = line.indexOf(' ', start);
        if (end < 0)
            end = line.size();
        fields.append(line.sliced(start, end - start));
        start = end + 1;
    }
    // id, parent, major:minor, root, mount point, options, optional fields, "-", type, source, options
    const qsizetype dash = fields.indexOf(QByteArrayView("-"), 6);
    if (fields.size() < 10 || dash < 0 || dash + 2 >= fields.size() || !fields.at(2).contains(':') ||
        !fields.at(4).startsWith('/'))
        return std::nullopt;
    return Mount{QString::fromLatin1(fields.at(2)), unescapeMountField(fields.at(4)),
                 unescapeMountField(fields.at(dash + 1)), unescapeMountField(fields.at(dash + 2))};
}

QList<DriveChoice> removableMedia(QByteArrayView mountInfo,
                                  const std::function<bool(const QString &deviceNumber)> &removable,
                                  const QHash<QString, QString> &labels)
{
    QList<DriveChoice> media;
    for (qsizetype start = 0; start < mountInfo.size();) {
        qsizetype end = mountInfo.indexOf('\n', start);
        if (end < 0)
            end = mountInfo.size();
        const std::optional<Mount> mount = parseMountInfoLine(mountInfo.sliced(start, end - start));
        start = end + 1;
        if (!mount)
            continue;
        const bool byDesktop = mount->mountPoint.startsWith(QStringLiteral("/media/")) ||
                               mount->mountPoint.startsWith(QStringLiteral("/run/media/"));
        if (!byDesktop && !(mount->source.startsWith(QStringLiteral("/dev/")) && removable(mount->deviceNumber)))
            continue;
        const bool seen = std::any_of(media.begin(), media.end(),
                                      [&](const DriveChoice &medium) { return medium.root == mount->mountPoint; });
        if (seen)
            continue;
        QString name = labels.value(mount->source);
        if (name.isEmpty())
            name = QFileInfo(mount->mountPoint).fileName();
        media.append({name + QStringLiteral(" (") + mount->mountPoint + QLatin1Char(')'), mount->mountPoint});
    }
    return media;
}

QList<DriveChoice> driveChoices()
{
#ifdef Q_OS_WIN
    QList<DriveChoice> letters;
    for (const QString &letter : driveLetters())
        letters.append({letter, letter});
    return letters;
#else
    QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountInfo.open(QIODevice::ReadOnly))
        return {};
    return removableMedia(mountInfo.readAll(), isRemovableDevice, volumeLabels());
#endif
}

Medium flashMedium(const Workspace &workspace, const QString &designation)
{
#ifdef Q_OS_WIN
    Q_UNUSED(workspace);
    // A root that is not there is reported by what the user picked or typed,
    // not by "адрес флешки:\" made from it.
    const Medium medium = Medium::at(designation + QStringLiteral(":\\"));
    if (QFileInfo(medium.root).isDir())
        return medium;
    return Medium::failing(isDriveLetter(designation) ? IoCode::NotReady : IoCode::PathNotFound, designation);
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
