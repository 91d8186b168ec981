#include "base/base_lock.h"

#include "base/error.h"

#include <QDir>
#include <QHash>
#include <QLockFile>
#include <QMutex>

namespace vastrel {

namespace {

// A lock older than this is taken over even when its owner's process cannot
// be checked (another machine sharing the folder); a dead process on this
// machine is recognised at once.
constexpr int StaleAfterMs = 10 * 60 * 1000;

int &waitSetting()
{
    static int ms = 5000;
    return ms;
}

// How many BaseLocks of this process hold each lock file.
QHash<QString, int> &heldCounts()
{
    static QHash<QString, int> counts;
    return counts;
}

QMutex &heldMutex()
{
    static QMutex mutex;
    return mutex;
}

} // namespace

int BaseLock::waitMs()
{
    return waitSetting();
}

void BaseLock::setWaitMs(int ms)
{
    waitSetting() = ms;
}

BaseLock::BaseLock(const Workspace &workspace)
    : m_path(workspace.resolve(fileName()))
{
    {
        QMutexLocker guard(&heldMutex());
        if (int &count = heldCounts()[m_path]; count > 0) {
            ++count;
            return;
        }
    }
    auto lock = std::make_unique<QLockFile>(m_path);
    lock->setStaleLockTime(StaleAfterMs);
    if (!lock->tryLock(waitMs())) {
        if (lock->error() == QLockFile::LockFailedError)
            throw Error(busyMessage());
        throw Error(QStringLiteral("Не удалось создать файл блокировки базы «%1» в каталоге %2: нет прав на "
                                   "запись или диск недоступен. Ничего не изменено.")
                        .arg(fileName(), QDir::toNativeSeparators(workspace.root())));
    }
    m_lock = std::move(lock);
    QMutexLocker guard(&heldMutex());
    heldCounts()[m_path] = 1;
}

BaseLock::~BaseLock()
{
    QMutexLocker guard(&heldMutex());
    if (--heldCounts()[m_path] == 0)
        heldCounts().remove(m_path);
}

} // namespace vastrel
