#pragma once

#include <QString>
#include <QStringView>

#include <functional>

namespace vastrel {

// Calls `each` with the name of every entry of the directory (files of any
// kind and subdirectories; "." and ".." left out), in the order the system
// lists them. Names only: a file-information object per entry costs a status
// call and memory, which a base of a hundred thousand estimates feels.
// False, with the system's reason, when the directory could not be read to
// its end; the names given before then are no complete listing.
bool forEachDirectoryEntry(const QString &dir, const std::function<void(QStringView name)> &each, QString *reason);

} // namespace vastrel
