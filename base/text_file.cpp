#include "base/text_file.h"

#include "base/error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vastrel {

namespace {

const char *const codecName = "windows-1251";

QByteArray encodeUnchecked(const QString &text)
{
    QStringEncoder encoder(codecName);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid())
        throw Error(QStringLiteral("Кодировка Windows-1251 недоступна в этой системе."));
    return bytes;
}

} // namespace

QString fromWindows1251(const QByteArray &bytes)
{
    QStringDecoder decoder(codecName);
    return decoder.decode(bytes);
}

bool fitsWindows1251(const QString &text)
{
    // A round trip is the one test that works with every converter backend.
    return fromWindows1251(encodeUnchecked(text)) == text;
}

QByteArray toWindows1251(const QString &text)
{
    QByteArray bytes = encodeUnchecked(text);
    if (fromWindows1251(bytes) == text)
        return bytes;
    for (int i = 0; i < text.size(); ++i) {
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, length);
        if (fromWindows1251(encodeUnchecked(piece)) != piece) {
            throw Error(QStringLiteral("Символ «%1» в тексте «%2» нельзя записать в файл "
                                       "в кодировке Windows-1251. Замените его.")
                            .arg(piece, text));
        }
        i += length - 1;
    }
    throw Error(QStringLiteral("Текст «%1» нельзя записать в кодировке Windows-1251.").arg(text));
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

QStringList readTextLines(const QString &path, const QString &name, OpenFailure failure)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        if (failure == OpenFailure::CannotOpen)
            throw Error::cannotOpen(name, file.exists() ? file.errorString()
                                                        : QStringLiteral("No such file or directory"));
        if (!file.exists())
            throw Error::fileNotFound();
        throw Error::io(IoCode::AccessDenied);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    return textLines(bytes);
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

void writeFileAtomically(const QString &path, const QString &name, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffered QFileDevice drops the rest of a short write (a full
    // disk) without an error, and the commit would then rename half a file over
    // the old one. Each write here reports what really reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error::cannotCreate(name, file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw Error::cannotCreate(name, reason);
        }
        written += n;
    }
    if (!file.commit())
        throw Error::cannotCreate(name, file.errorString());
}

void appendToFile(const QString &path, const QString &name, const QByteArray &bytes)
{
    // The whole file is rewritten through a new one, so a failure can never
    // leave half a record at its end.
    QFile file(path);
    if (!fileExists(path))
        throw Error::fileNotFound();
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(name, file.errorString());
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    file.close();
    writeFileAtomically(path, name, content + bytes);
}

} // namespace vastrel
