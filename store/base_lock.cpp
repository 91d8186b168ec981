#include "store/base_lock.h"

#include "domain/error.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QThread>

namespace vastrel {

namespace {

// A lock older than this is taken over even when its owner's process cannot
// be checked (another machine sharing the folder); a dead process on this
// machine is recognised at once.
constexpr int StaleAfterMs = 10 * 60 * 1000;
// A lock file without an owner in it (a copy killed while creating it) is
// taken over after this; a copy that is alive writes its owner at once.
constexpr int OwnerlessStaleAfterMs = 3000;
constexpr int PollMs = 50;

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

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// True when the lock file holds an owner as QLockFile writes it: the process
// number on the first line, then the program and the machine.
bool hasOwner(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool number = false;
    return lines.size() >= 2 && lines.first().toLongLong(&number) > 0 && number;
}

// Clears what QLockFile would wait on forever or for minutes: a link of the
// lock's name (dangling or not) and a lock file with no owner written in it.
// A directory of that name is no lock one may remove: that is an error.
void clearBrokenLock(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction()) {
        QFile::remove(path); // the link only; what it names stays
        return;
    }
    if (!info.exists())
        return;
    if (info.isDir())
        throw Error(QStringLiteral("Базу нельзя заблокировать: на месте файла блокировки %1 находится каталог. "
                                   "Удалите или переименуйте его. Ничего не изменено.")
                        .arg(shownPath(path)));
    if (!info.isFile() || hasOwner(path))
        return;
    const qint64 age = qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime()));
    if (age > OwnerlessStaleAfterMs)
        QFile::remove(path);
}

QString holderText(QLockFile &lock)
{
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock.getLockInfo(&pid, &host, &program))
        return QString();
    return QStringLiteral(" (её держит %1, процесс %2 на компьютере %3)")
        .arg(program.isEmpty() ? QStringLiteral("программа") : program, QString::number(pid), host);
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
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        clearBrokenLock(m_path);
        if (lock->tryLock(0))
            break;
        if (lock->error() != QLockFile::LockFailedError)
            throw Error(QStringLiteral("Не удалось создать файл блокировки базы «%1» в каталоге %2: нет прав на "
                                       "запись или диск недоступен. Ничего не изменено.")
                            .arg(fileName(), QDir::toNativeSeparators(workspace.root())));
        if (waited.elapsed() >= waitMs())
            throw Error(busyMessage() +
                        QStringLiteral("\nФайл блокировки: %1%2.").arg(shownPath(m_path), holderText(*lock)));
        QThread::msleep(PollMs);
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
