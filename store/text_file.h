#pragma once

#include "domain/windows1251.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>

namespace vastrel {

// Files of the system, read and written with the checks every file operation needs.

// The path as the file system's own calls (std::filesystem) take it: wide
// characters on Windows, the locale's bytes elsewhere, as Qt's file calls.
std::filesystem::path nativePath(const QString &path);

// How a missing or unreadable file is reported: a line-by-line read says
// "File not found", loading a list says "Cannot open file "%s". %s".
enum class OpenFailure {
    FileNotFound,
    CannotOpen
};

// Reads a text file whole and splits it into lines. A line ends at LF (a CR
// before it is dropped); the end of the file ends the last line; any bytes are
// accepted. `name` is the relative name shown in messages.
QStringList readTextLines(const QString &path, const QString &name, OpenFailure failure);
// The bytes of such a file, read whole with the same checks and messages.
QByteArray readFileBytes(const QString &path, const QString &name, OpenFailure failure);
// The same bytes handed to `sink` in pieces as they are read, so a large
// file is never held whole; the same checks and messages.
using ByteSink = std::function<void(QByteArrayView piece)>;
void readFileInPieces(const QString &path, const QString &name, OpenFailure failure, const ByteSink &sink);
// The lines of bytes already read, split as readTextLines splits them.
QStringList textLines(const QByteArray &bytes);
bool fileExists(const QString &path);

// Why an existing path may not be read or replaced as a file: a directory, a
// device or a FIFO (reading one would wait forever; replacing one would put a
// regular file in its place), also behind a symbolic link. Empty when the path
// is a regular file or does not exist.
QString notARegularFileReason(const QString &path);

// True when the path itself is a symbolic link (or, on Windows, a junction),
// whatever it names and whether that exists.
bool isLink(const QString &path);

// A file of a place we do not trust (a removable medium), read only when it is
// a regular file itself: never through a link, never waiting on a FIFO or a
// device, never more than `cap` bytes. A read error throws an Error.
struct UntrustedFile
{
    enum class Kind {
        Regular,
        Missing,
        Link,
        Special,
        TooLarge,
        Unreadable
    };
    Kind kind = Kind::Missing;
    QByteArray bytes; // Regular only
};
UntrustedFile readUntrustedFile(const QString &path, qint64 cap);

// Why the file at `path` may not be replaced or removed: it, or the directory
// holding it, is read-only. Empty when it may.
QString readOnlyReason(const QString &path);

// A new file written beside `path` that replaces it only when every byte is
// on the disk. Writes are unbuffered: a buffered QFileDevice drops the rest of
// a short write (a full disk) without an error, and the commit would then
// rename half a file over the old one. Each write reports what really reached
// the file. Dropped unfinished, it leaves the old file as it was.
class SafeFileWriter
{
public:
    // What to do with a symbolic link in the file's place.
    enum class Links {
        Follow,  // write the file it names (a link to no regular file is refused)
        Replace, // put the new file in the link's place; what it names stays as it was
    };
    explicit SafeFileWriter(const QString &path, Links links = Links::Follow);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    // False, with errorString(), when the path is no regular file, is
    // read-only, or the new file cannot be created.
    bool open();
    // Writes all of it or returns false.
    bool write(const char *data, qint64 size);
    // Renames the new file over the old one; false when that fails.
    bool commit();
    void cancel();
    QString errorString() const;
    QFileDevice &device();

private:
    bool openBesideLink();
    bool commitOverLink();

    QString m_path;
    Links m_links;
    QSaveFile m_file;
    std::unique_ptr<QFile> m_beside; // the new file when a link is replaced
    QString m_error;
};

// Removes a file; false, with the system's reason, when it stays.
bool removeFile(const QString &path, QString *reason);

// Makes the final rename of a SafeFileWriter, or a removeFile, of a path for
// which `fails` is true fail as the system would refuse it (on Windows a file
// held open by another program does this). Tests use it.
enum class FileStep {
    Rename,
    Remove
};
using FileFault = std::function<bool(FileStep step, const QString &path)>;
void setFileFaultForTesting(FileFault fails);

// Replaces the file as a whole: the bytes go to a new file beside it, which
// is then renamed over the old one, so a failure leaves the old file intact.
void writeFileAtomically(const QString &path, const QString &name, const QByteArray &bytes,
                         SafeFileWriter::Links links = SafeFileWriter::Links::Follow);
// The same for bytes that `produce` hands to its sink piece by piece, so a
// large file need not be held whole. When `produce` returns false the old
// file stays as it was, and false is returned.
bool writeFileAtomically(const QString &path, const QString &name,
                         const std::function<bool(const ByteSink &sink)> &produce);
// Adds the bytes at the end of an existing file (a missing file is an error),
// through the same replacement as writeFileAtomically.
void appendToFile(const QString &path, const QString &name, const QByteArray &bytes);

} // namespace vastrel
