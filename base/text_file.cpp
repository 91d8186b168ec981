#include "base/text_file.h"

#include "base/error.h"

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

namespace {

// The characters of the bytes 0x80..0xBF; below them Windows-1251 is ASCII,
// above them А..я in alphabetical order.
// The program owns the table so that the files' bytes never depend on which
// converters a Qt build carries (Qt without ICU has no Windows-1251 on
// Windows). 0x98 has no character of its own: it stands for U+0098, as in
// Windows' own table, so every byte reads and writes back unchanged.
constexpr std::array<char16_t, 64> upperQuarter = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char16_t decodeByte(uchar byte)
{
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return upperQuarter[byte - 0x80u];
    return char16_t(0x0410u + (byte - 0xC0u));
}

// The byte of each character that has one, -1 for the others.
const std::array<qint16, 0x10000> &encodingTable()
{
    static const std::array<qint16, 0x10000> table = [] {
        std::array<qint16, 0x10000> result;
        result.fill(-1);
        for (int b = 0; b < 0x100; ++b)
            result[decodeByte(uchar(b))] = qint16(b);
        return result;
    }();
    return table;
}

// Where the first character without a byte starts, or -1.
qsizetype firstUnencodable(QStringView text)
{
    const auto &table = encodingTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (table[text.at(i).unicode()] < 0)
            return i;
    }
    return -1;
}

} // namespace

QChar windows1251Char(char byte)
{
    return QChar(decodeByte(uchar(byte)));
}

QString fromWindows1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char c : bytes)
        *out++ = decodeByte(uchar(c));
    return text;
}

bool encodeWindows1251(QStringView text, char *out)
{
    const auto &table = encodingTable();
    for (const QChar c : text) {
        const qint16 byte = table[c.unicode()];
        if (byte < 0)
            return false;
        *out++ = char(byte);
    }
    return true;
}

void appendUtf8FromWindows1251(QByteArray &out, QByteArrayView bytes)
{
    // Up to three UTF-8 bytes per byte; the first of four tells how many.
    static const std::array<std::array<char, 4>, 256> table = [] {
        std::array<std::array<char, 4>, 256> result{};
        for (int b = 0; b < 256; ++b) {
            const QChar c = windows1251Char(char(b));
            const QByteArray utf8 = QString(c).toUtf8();
            result[size_t(b)][0] = char(utf8.size());
            for (qsizetype i = 0; i < utf8.size() && i < 3; ++i)
                result[size_t(b)][size_t(i) + 1] = utf8.at(i);
        }
        return result;
    }();
    const qsizetype start = out.size();
    out.resize(start + 3 * bytes.size());
    char *to = out.data() + start;
    for (const char b : bytes) {
        const auto &code = table[uchar(b)];
        to[0] = code[1];
        to[1] = code[2];
        to[2] = code[3];
        to += code[0];
    }
    out.resize(to - out.constData());
}

bool fitsWindows1251(const QString &text)
{
    return firstUnencodable(text) < 0;
}

QByteArray toWindows1251(const QString &text)
{
    const qsizetype bad = firstUnencodable(text);
    if (bad < 0) {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        encodeWindows1251(text, bytes.data());
        return bytes;
    }
    // A character outside the first plane is named whole, not half of it.
    const bool pair = text.at(bad).isHighSurrogate() && bad + 1 < text.size() && text.at(bad + 1).isLowSurrogate();
    throw Error(QStringLiteral("Символ «%1» в тексте «%2» нельзя записать в файл "
                               "в кодировке Windows-1251. Замените его.")
                    .arg(text.mid(bad, pair ? 2 : 1), text));
}

QString crlfLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

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
{
}

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
    *reason = file.error() == QFileDevice::NoError ? QStringLiteral("файл занят другой программой")
                                                     : file.errorString();
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

void writeFileAtomically(const QString &path, const QString &name, const QByteArray &bytes,
                         SafeFileWriter::Links links)
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
