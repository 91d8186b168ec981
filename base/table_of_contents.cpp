#include "base/table_of_contents.h"

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

QString TocRecord::line() const
{
    return code + QLatin1Char('|') + name + QLatin1Char('|') + notes;
}

QString estimateNameOf(const QString &line)
{
    return TocRecord::split(line).name;
}

QStringList readToc(const Workspace &workspace, OpenFailure failure)
{
    QStringList lines = readTextLines(workspace.tocPath(), Workspace::shown(Workspace::tocName()), failure);
    lines.removeAll(QString());
    return lines;
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

void appendTocLine(const Workspace &workspace, const QString &line)
{
    appendToFile(workspace.tocPath(), Workspace::shown(Workspace::tocName()),
                 toWindows1251(line + QStringLiteral("\r\n")));
}

void writeToc(const Workspace &workspace, const QStringList &lines)
{
    writeFileAtomically(workspace.tocPath(), Workspace::shown(Workspace::tocName()),
                        toWindows1251(crlfLines(lines)));
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
        return QStringLiteral("%1 содержит символы, которые нельзя записать в кодировке Windows-1251.")
            .arg(what);
    return QString();
}

} // namespace vastrel
