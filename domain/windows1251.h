#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vastrel {

// All encoding work of the system: files are Windows-1251 with CR LF line ends
// and no byte-order mark; inside the program text is Unicode.

// True when every character of the text has a Windows-1251 byte.
bool fitsWindows1251(const QString &text);
// Encodes, or throws an Error naming the first character that has no byte,
// so that nothing is ever written as "?".
QByteArray toWindows1251(const QString &text);
QString fromWindows1251(QByteArrayView bytes);
// The character of one byte.
QChar windows1251Char(char byte);
// Writes the text's bytes, as toWindows1251 gives them, to the text's length
// at `out`, without a converter per text. False, with `out` left unfinished,
// when a character has no byte: toWindows1251 then tells which.
bool encodeWindows1251(QStringView text, char *out);
// Appends Windows-1251 bytes converted to UTF-8, without a string between.
void appendUtf8FromWindows1251(QByteArray &out, QByteArrayView bytes);

// Each line followed by CR LF.
QString crlfLines(const QStringList &lines);

} // namespace vastrel
