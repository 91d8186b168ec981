#pragma once

#include "store/workspace.h"

#include <QString>

#include <memory>

class QLockFile;

namespace vastrel {

// Held by every action that reads departments.txt or an estimate file and
// writes it back, for the whole of that work, so that two copies of the
// program (windows or `vastrel`) never interleave and lose a record. The lock
// is a file beside departments.txt; one left by a copy that died, one
// without an owner (a copy killed while writing it) and a link are taken
// over. Taking it again inside the same process only counts, so an action may
// call another that locks too.
class BaseLock
{
public:
    // Waits up to waitMs() for another copy to finish, then throws an Error
    // that starts with busyMessage() and names the lock file and its holder;
    // nothing has been touched by then.
    explicit BaseLock(const Workspace &workspace);
    ~BaseLock();
    BaseLock(const BaseLock &) = delete;
    BaseLock &operator=(const BaseLock &) = delete;

    static QString busyMessage() { return QStringLiteral("База занята другой копией программы. Повторите позже."); }
    static QString fileName() { return QStringLiteral("departments.txt.lock"); }

    static int waitMs();
    // Tests shorten the wait.
    static void setWaitMs(int ms);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock; // null when an outer BaseLock holds the file
};

} // namespace vastrel
