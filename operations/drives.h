#pragma once

#include "store/workspace.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vastrel {

// A removable medium as a copy sees it: the directory that is its root, or the
// "I/O error" number that using it gives (a drive that names nothing or is not
// ready). Resolved just before a copy, so a medium inserted meanwhile counts.
struct Medium
{
    QString root;    // with a trailing "/" when usable; else what the user named, for the message
    int ioError = 0; // non-zero: the medium cannot be used

    bool usable() const { return ioError == 0; }
    static Medium at(const QString &directory);
    static Medium failing(int ioError, const QString &named = {}) { return Medium{named, ioError}; }
};

// The drive list's letters, in its order ("W" before "V", no "X").
QStringList driveLetters();

// A medium the drive list offers: what the list shows, and the root it stands for.
struct DriveChoice
{
    QString label;
    QString root;

    bool operator==(const DriveChoice &) const = default;
};

// The drive list's media. On Windows the letters, each its own root. Elsewhere
// the mounted removable media as "name (mount point)": letters mean nothing there.
QList<DriveChoice> driveChoices();

// One line of /proc/self/mountinfo, as far as the drive list needs it.
struct Mount
{
    QString deviceNumber; // "major:minor", as /sys/dev/block names it
    QString mountPoint;
    QString fsType;
    QString source; // "/dev/sdb1", or what a pseudo file system puts there

    bool operator==(const Mount &) const = default;
};

// Nothing for a line that is not one (damaged or cut short).
std::optional<Mount> parseMountInfoLine(QByteArrayView line);

// The removable media among the mounts of a mountinfo text: those the desktop
// mounted for the user (under /media or /run/media) and those on a device for
// which `removable` says so. `labels` gives a device's volume label by source;
// without one a medium is named by its mount point's last part.
QList<DriveChoice> removableMedia(QByteArrayView mountInfo,
                                  const std::function<bool(const QString &deviceNumber)> &removable,
                                  const QHash<QString, QString> &labels = {});

// The medium the drive list's text designates. On Windows it is the text
// followed by ":\". Elsewhere an existing directory (absolute, or relative to
// the working directory) is the root; a bare letter names no drive and fails
// as a drive that is not ready does; any other text names no path.
Medium flashMedium(const Workspace &workspace, const QString &designation);

// Throws the "I/O error" of a medium that cannot be used or whose root is
// not (or no longer) there.
void requireMedium(const Medium &medium);

// Drive A: on Windows; elsewhere the mounted floppy, failing as a drive that
// is not ready when none is mounted.
Medium disketteMedium();

} // namespace vastrel
