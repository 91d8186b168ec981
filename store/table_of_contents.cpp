#include "store/table_of_contents.h"

#include "domain/error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vastrel {

TocRecord TocRecord::split(const QString &line)
{
    TocRecord record;
    const qsizetype first = line.indexOf(QLatin1Char('|'));
    if (first < 0) {
        record.code = line;
        return record;
    }
    record.code = line.left(first);
    const qsizetype second = line.indexOf(QLatin1Char('|'), first + 1);
    if (second < 0) {
        record.name = line.mid(first + 1);
        return record;
    }
    record.name = line.mid(first + 1, second - first - 1);
    record.notes = line.mid(second + 1);
    return record;
}

TocRecord TocRecord::consolidated(const QString &name)
{
    return {QStringLiteral("000"), name, QString()};
}

TocRecord TocRecord::numbered(int number, const QString &name)
{
    return {runningNumber(number), name, QString()};
}

bool TocRecord::holdsName(const QString &name)
{
    // One look at each character: a rebuild asks this of every file of the base.
    return fitsWindows1251(name) && std::none_of(name.cbegin(), name.cend(), [](QChar c) {
               return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('|');
           });
}

QString TocRecord::line() const
{
    return code + QLatin1Char('|') + name + QLatin1Char('|') + notes;
}

QByteArray TocRecord::bytes() const
{
    // Encoded part by part into one array: a rebuild writes a record for every
    // file of the base, and joining the line first costs more than the rest.
    QByteArray bytes(code.size() + name.size() + notes.size() + 4, Qt::Uninitialized);
    char *out = bytes.data();
    bool encoded = true;
    for (const QString *part : {&code, &name, &notes}) {
        encoded = encoded && encodeWindows1251(*part, out);
        out += part->size();
        *out++ = part == &notes ? '\r' : '|';
    }
    *out = '\n';
    // A character without a byte: converting the whole line names it.
    return encoded ? bytes : toWindows1251(line() + QStringLiteral("\r\n"));
}

QString runningNumber(int number)
{
    if (number < 0)
        return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
    // Called once per line of a rebuilt list: padded by hand, without parsing a pattern.
    return QString::number(number).rightJustified(3, QLatin1Char('0'));
}

QString estimateNameOf(const QString &line)
{
    return TocRecord::split(line).name;
}

QStringList estimateNamesOf(const QStringList &lines)
{
    QStringList names;
    for (const QString &line : lines)
        names.append(estimateNameOf(line));
    return names;
}

bool listsName(const QStringList &lines, const QString &name)
{
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) { return estimateNameOf(line) == name; });
}


namespace {

// The LF that ends the line starting at `start`, or the end of the bytes.
qsizetype lineBreak(const QByteArray &bytes, qsizetype start)
{
    const char *begin = bytes.constData();
    const auto *lf = static_cast<const char *>(std::memchr(begin + start, '\n', size_t(bytes.size() - start)));
    return lf ? lf - begin : bytes.size();
}

// The end of the line's text: one CR before the break is no part of it.
qsizetype textEnd(const QByteArray &bytes, qsizetype start, qsizetype end)
{
    return end > start && bytes.at(end - 1) == '\r' ? end - 1 : end;
}

} // namespace

CompactToc::CompactToc(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    // Starts are kept in 32 bits; a table of contents of 4 GiB is no table of contents.
    if (quint64(m_bytes.size()) > std::numeric_limits<quint32>::max())
        throw Error::io(IoCode::DiskRead);
    for (qsizetype start = 0; start < m_bytes.size();) {
        const qsizetype end = lineBreak(m_bytes, start);
        // Empty lines are no records, as readToc leaves them out.
        if (textEnd(m_bytes, start, end) > start)
            m_starts.push_back(quint32(start));
        start = end + 1;
    }
}

CompactToc CompactToc::read(const Workspace &workspace, OpenFailure failure)
{
    return CompactToc(readFileBytes(workspace.tocPath(), Workspace::shown(Workspace::tocName()), failure));
}

QString CompactToc::line(qsizetype index) const
{
    const qsizetype start = m_starts.at(size_t(index));
    const qsizetype end = textEnd(m_bytes, start, lineBreak(m_bytes, start));
    return fromWindows1251(QByteArrayView(m_bytes).sliced(start, end - start));
}

QStringList CompactToc::lines() const
{
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(line(i));
    return lines;
}

QStringList readToc(const Workspace &workspace, OpenFailure failure)
{
    return CompactToc::read(workspace, failure).lines();
}

void readTocUtf8(const Workspace &workspace, const ByteSink &sink, OpenFailure failure)
{
    // Split as textLines splits (LF ends a line, one CR before it dropped),
    // empty lines left out as readToc leaves them out. The file is taken and
    // given on in pieces small enough to stay in the cache.
    constexpr qsizetype PieceSize = 1 << 16;
    QByteArray text;
    text.reserve(3 * PieceSize + 1);
    QByteArray partial; // a line that goes on in the next piece
    const auto line = [&](QByteArrayView bytes) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            return;
        appendUtf8FromWindows1251(text, bytes);
        text += '\n';
        if (text.size() >= PieceSize) {
            sink(text);
            text.resize(0);
        }
    };
    readFileInPieces(workspace.tocPath(), Workspace::shown(Workspace::tocName()), failure, [&](QByteArrayView rest) {
        for (qsizetype end; (end = rest.indexOf('\n')) >= 0; rest = rest.sliced(end + 1)) {
            if (partial.isEmpty()) {
                line(rest.first(end));
            } else {
                partial += rest.first(end);
                line(partial);
                partial.resize(0);
            }
        }
        partial += rest;
    });
    line(partial);
    if (!text.isEmpty())
        sink(text);
}

void appendTocRecord(const Workspace &workspace, const TocRecord &record)
{
    appendToFile(workspace.tocPath(), Workspace::shown(Workspace::tocName()), record.bytes());
}

void writeToc(const Workspace &workspace, const QStringList &lines)
{
    writeFileAtomically(workspace.tocPath(), Workspace::shown(Workspace::tocName()), toWindows1251(crlfLines(lines)));
}

bool writeTocBytes(const Workspace &workspace, const std::function<bool(const ByteSink &sink)> &produce)
{
    return writeFileAtomically(workspace.tocPath(), Workspace::shown(Workspace::tocName()), produce);
}

QString checkStorableText(const QString &text, const QString &what)
{
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QStringLiteral("%1 не может содержать перевод строки.").arg(what);
    if (!fitsWindows1251(text))
        return QStringLiteral("%1 содержит символы, которые нельзя записать в кодировке Windows-1251.").arg(what);
    return QString();
}

} // namespace vastrel
