#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vastrel {

// All encoding work of the system: files are Windows-1251 with CR LF line ends
// and no byte-order mark; inside the program text is Unicode.

// True when every character of the text has a Windows-1251 byte.
bool fitsWindows1251(const QString &text);
// Encodes, or throws an Error naming the first character that has no byte,
// so that nothing is ever written as "?".
QByteArray toWindows1251(const QString &text);
QString fromWindows1251(const QByteArray &bytes);

// Each line followed by CR LF.
QString crlfLines(const QStringList &lines);

// How a missing or unreadable file is reported: a line-by-line read says
// "File not found", loading a list says "Cannot open file "%s". %s".
enum class OpenFailure { FileNotFound, CannotOpen };

// Reads a text file whole and splits it into lines. A line ends at LF (a CR
// before it is dropped); the end of the file ends the last line; any bytes are
// accepted. `name` is the relative name shown in messages.
QStringList readTextLines(const QString &path, const QString &name, OpenFailure failure);
// The lines of bytes already read, split as readTextLines splits them.
QStringList textLines(const QByteArray &bytes);
bool fileExists(const QString &path);

// Replaces the file as a whole: the bytes go to a new file beside it, which
// is then renamed over the old one, so a failure leaves the old file intact.
void writeFileAtomically(const QString &path, const QString &name, const QByteArray &bytes);
// Adds the bytes at the end of an existing file (a missing file is an error),
// through the same replacement as writeFileAtomically.
void appendToFile(const QString &path, const QString &name, const QByteArray &bytes);

} // namespace vastrel
