#include "store/text_file.h"

#include "domain/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vastrel {

bool fileExists(const QString &path)
{
    QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString notARegularFileReason(const QString &path)
{
    const QFileInfo info(path); // follows a symbolic link to what it names
    if (!info.exists() || info.isFile())
        return QString();
    if (info.isDir())
        return QStringLiteral("это каталог, а не файл");
    return QStringLiteral("это не обычный файл (устройство, канал или сокет)");
}

bool isLink(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() || info.isJunction();
}

namespace {

#ifdef Q_OS_UNIX
UntrustedFile readUntrustedUnix(const QString &path, qint64 cap)
{
    UntrustedFile result;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            result.kind = UntrustedFile::Kind::Missing;
            break;
        case ELOOP:
        case EMLINK:
            result.kind = UntrustedFile::Kind::Link;
            break;
        case ENXIO: // a socket, or a FIFO no one writes
            result.kind = UntrustedFile::Kind::Special;
            break;
        default:
            result.kind = UntrustedFile::Kind::Unreadable;
        }
        return result;
    }
    const std::unique_ptr<int, void (*)(int *)> closing(new int(fd), [](int *d) {
        ::close(*d);
        delete d;
    });
    struct stat status;
    if (::fstat(fd, &status) != 0)
        throw Error::io(IoCode::DiskRead);
    if (!S_ISREG(status.st_mode)) {
        result.kind = UntrustedFile::Kind::Special;
        return result;
    }
    if (status.st_size > cap) {
        result.kind = UntrustedFile::Kind::TooLarge;
        return result;
    }
    // One byte more than the cap tells a file that grew meanwhile.
    QByteArray bytes(qsizetype(cap) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Error::io(IoCode::DiskRead);
        if (n == 0)
            break;
        size += n;
    }
    if (size > cap) {
        result.kind = UntrustedFile::Kind::TooLarge;
        return result;
    }
    bytes.truncate(size);
    result.kind = UntrustedFile::Kind::Regular;
    result.bytes = std::move(bytes);
    return result;
}
#endif

} // namespace

UntrustedFile readUntrustedFile(const QString &path, qint64 cap)
{
#ifdef Q_OS_UNIX
    return readUntrustedUnix(path, cap);
#else
    UntrustedFile result;
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction() || info.isShortcut()) {
        result.kind = UntrustedFile::Kind::Link;
        return result;
    }
    if (!info.exists())
        return result;
    if (!info.isFile()) {
        result.kind = UntrustedFile::Kind::Special;
        return result;
    }
    if (info.size() > cap) {
        result.kind = UntrustedFile::Kind::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.kind = UntrustedFile::Kind::Unreadable;
        return result;
    }
    QByteArray bytes = file.read(cap + 1);
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    result.kind = bytes.size() > cap ? UntrustedFile::Kind::TooLarge : UntrustedFile::Kind::Regular;
    if (result.kind == UntrustedFile::Kind::Regular)
        result.bytes = std::move(bytes);
    return result;
#endif
}

namespace {

// Write permission as the user set it: the bits count even for an
// administrator, whom access() would let write anyway.
bool markedReadOnly(const QFileInfo &info)
{
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & writeBits) || !info.isWritable();
}

} // namespace

namespace {

QString directoryReadOnlyReason(const QString &path)
{
    const QFileInfo dir(QFileInfo(path).absolutePath());
    if (dir.isDir() && markedReadOnly(dir))
        return QStringLiteral("каталог %1 только для чтения").arg(QDir::toNativeSeparators(dir.filePath()));
    return QString();
}

} // namespace

QString readOnlyReason(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && markedReadOnly(info))
        return QStringLiteral("файл только для чтения");
    return directoryReadOnlyReason(path);
}

namespace {

// The system's reason in words a user understands, for the cases Qt leaves as "Unknown error".
QString openFailureReason(const QFile &file)
{
    if (!file.exists())
        return QStringLiteral("файл не найден");
    const QFileInfo info(file.fileName());
    if (!info.isReadable())
        return QStringLiteral("нет прав на чтение");
    return file.errorString();
}

FileFault &fileFault()
{
    static FileFault fault;
    return fault;
}

bool injectedFault(FileStep step, const QString &path)
{
    return fileFault() && fileFault()(step, path);
}

} // namespace

QStringList readTextLines(const QString &path, const QString &name, OpenFailure failure)
{
    return textLines(readFileBytes(path, name, failure));
}

namespace {

#ifdef Q_OS_UNIX
// A regular file read with one open, one status and its reads: reading many
// files, the checks and buffers of the general way cost more than the data.
// Nothing when the file is not a readable regular file; the general way then
// finds out why. Opened without waiting, so a FIFO cannot hold it up.
// The descriptor of a readable regular file and its status; -1 otherwise.
int openRegularFile(const QString &path, struct stat &status)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<QByteArray> readRegularFile(const QString &path)
{
    struct stat status;
    const int fd = openRegularFile(path, status);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(size * 2);
        const ssize_t n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw Error::io(IoCode::DiskRead);
        }
        if (n == 0)
            break;
        size += n;
    }
    ::close(fd);
    bytes.truncate(size);
    return bytes;
}
#endif

} // namespace

QByteArray readFileBytes(const QString &path, const QString &name, OpenFailure failure)
{
#ifdef Q_OS_UNIX
    if (std::optional<QByteArray> bytes = readRegularFile(path))
        return *std::move(bytes);
#endif
    if (const QString reason = notARegularFileReason(path); !reason.isEmpty()) {
        if (failure == OpenFailure::CannotOpen)
            throw Error::cannotOpen(name, reason);
        throw Error(QStringLiteral("Файл «%1» нельзя прочитать: %2.").arg(name, reason));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (failure == OpenFailure::CannotOpen)
            throw Error::cannotOpen(name, openFailureReason(file));
        if (!file.exists())
            throw Error::fileNotFound();
        throw Error::io(IoCode::AccessDenied);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    return bytes;
}

void readFileInPieces(const QString &path, const QString &name, OpenFailure failure, const ByteSink &sink)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (const int fd = openRegularFile(path, status); fd >= 0) {
        const std::unique_ptr<int, void (*)(int *)> closing(new int(fd), [](int *d) {
            ::close(*d);
            delete d;
        });
        QByteArray piece(1 << 16, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(fd, piece.data(), size_t(piece.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw Error::io(IoCode::DiskRead);
            if (n == 0)
                return;
            sink(QByteArrayView(piece.constData(), qsizetype(n)));
        }
    }
#endif
    sink(readFileBytes(path, name, failure));
}

QStringList textLines(const QByteArray &bytes)
{
    QStringList lines = fromWindows1251(bytes).split(QLatin1Char('\n'));
    // The text after the last LF is a line only when it is not empty.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

SafeFileWriter::SafeFileWriter(const QString &path, Links links)
    : m_path(path)
    , m_links(links)
    , m_file(path)
{}

SafeFileWriter::~SafeFileWriter()
{
    cancel();
}

void setFileFaultForTesting(FileFault fails)
{
    fileFault() = std::move(fails);
}

bool removeFile(const QString &path, QString *reason)
{
    QFile file(path);
    if (!injectedFault(FileStep::Remove, path) && file.remove())
        return true;
    *reason =
        file.error() == QFileDevice::NoError ? QStringLiteral("файл занят другой программой") : file.errorString();
    return false;
}

bool SafeFileWriter::open()
{
#ifdef Q_OS_WIN
    // Qt would write past MAX_PATH (260), but Explorer and most programs
    // could then neither open nor remove the file.
    constexpr int maxPath = 260;
    if (QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()).size() >= maxPath) {
        m_error = QStringLiteral("путь к файлу длиннее %1 знаков, Windows не сможет с ним работать").arg(maxPath - 1);
        return false;
    }
#endif
    if (m_links == Links::Replace && isLink(m_path))
        return openBesideLink();
    m_error = notARegularFileReason(m_path);
    if (!m_error.isEmpty())
        return false;
    m_error = readOnlyReason(m_path);
    if (!m_error.isEmpty())
        return false;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool SafeFileWriter::write(const char *data, qint64 size)
{
    qint64 written = 0;
    while (written < size) {
        const qint64 n = device().write(data + written, size - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool SafeFileWriter::commit()
{
    if (injectedFault(FileStep::Rename, m_path)) {
        cancel();
        m_error = QStringLiteral("файл занят другой программой");
        return false;
    }
    if (m_beside ? commitOverLink() : m_file.commit())
        return true;
#ifdef Q_OS_WIN
    // Windows refuses to replace a file another program holds open; Qt's
    // text for it is English and the old file stays as it was.
    if (fileExists(m_path))
        m_error = QStringLiteral("файл занят другой программой");
#endif
    return false;
}

void SafeFileWriter::cancel()
{
    if (m_beside) {
        m_beside->close();
        m_beside->remove();
        m_beside.reset();
    } else if (m_file.isOpen()) {
        m_file.cancelWriting();
    }
}

QString SafeFileWriter::errorString() const
{
    if (!m_error.isEmpty())
        return m_error;
    return m_beside ? m_beside->errorString() : m_file.errorString();
}

QFileDevice &SafeFileWriter::device()
{
    if (m_beside)
        return *m_beside;
    return m_file;
}

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// QSaveFile writes what a link names; to replace the link itself the new
// file is made beside it under a short name of its own and renamed over it.
bool SafeFileWriter::openBesideLink()
{
    m_error = directoryReadOnlyReason(m_path);
    if (!m_error.isEmpty())
        return false;
    QTemporaryFile unique(QFileInfo(m_path).absolutePath() + QStringLiteral("/.vastrel-XXXXXX"));
    unique.setAutoRemove(false);
    if (!unique.open()) {
        m_error = unique.errorString();
        return false;
    }
    const QString name = unique.fileName();
    unique.close();
    // Unbuffered, for the reason given with the class.
    m_beside = std::make_unique<QFile>(name);
    if (!m_beside->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = m_beside->errorString();
        QFile::remove(name);
        m_beside.reset();
        return false;
    }
    return true;
}

bool SafeFileWriter::commitOverLink()
{
#ifdef Q_OS_UNIX
    if (::fsync(m_beside->handle()) != 0 && errno != EINVAL) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        cancel();
        return false;
    }
#endif
    m_beside->close();
    std::error_code error;
    std::filesystem::rename(nativePath(m_beside->fileName()), nativePath(m_path), error);
    if (error) {
        m_error = QString::fromLocal8Bit(error.message());
        cancel();
        return false;
    }
    m_beside.reset();
    return true;
}

void writeFileAtomically(const QString &path, const QString &name, const QByteArray &bytes, SafeFileWriter::Links links)
{
    SafeFileWriter file(path, links);
    if (!file.open())
        throw Error::cannotCreate(name, file.errorString());
    if (!file.write(bytes.constData(), bytes.size())) {
        const QString reason = file.errorString();
        file.cancel();
        throw Error::cannotCreate(name, reason);
    }
    if (!file.commit())
        throw Error::cannotCreate(name, file.errorString());
}

bool writeFileAtomically(const QString &path, const QString &name,
                         const std::function<bool(const ByteSink &sink)> &produce)
{
    SafeFileWriter file(path);
    if (!file.open())
        throw Error::cannotCreate(name, file.errorString());
    const bool produced = produce([&](QByteArrayView piece) {
        if (!file.write(piece.data(), piece.size())) {
            const QString reason = file.errorString();
            file.cancel();
            throw Error::cannotCreate(name, reason);
        }
    });
    if (!produced) {
        file.cancel();
        return false;
    }
    if (!file.commit())
        throw Error::cannotCreate(name, file.errorString());
    return true;
}

void appendToFile(const QString &path, const QString &name, const QByteArray &bytes)
{
    // The whole file is rewritten through a new one, so a failure can never
    // leave half a record at its end.
    QFile file(path);
    if (!fileExists(path))
        throw Error::fileNotFound();
    if (const QString reason = notARegularFileReason(path); !reason.isEmpty())
        throw Error::cannotOpen(name, reason);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(name, openFailureReason(file));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    file.close();
    writeFileAtomically(path, name, content + bytes);
}

} // namespace vastrel
