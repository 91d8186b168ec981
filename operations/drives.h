#pragma once

#include "base/workspace.h"

#include <QString>
#include <QStringList>

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

// The drive list's items: the letters, and on systems without drive letters
// the mount points of the mounted removable volumes after them.
QStringList driveListItems();

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
