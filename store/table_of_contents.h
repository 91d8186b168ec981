#pragma once

#include "store/text_file.h"
#include "store/workspace.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vastrel {

// One line of departments.txt: estimate code, estimate name and notes joined by "|".
struct TocRecord
{
    QString code;
    QString name;
    QString notes;

    // The code is the text before the first "|", the name the text up to the
    // second, the notes everything after it ("|" included).
    static TocRecord split(const QString &line);
    // The record of a consolidated estimate: code "000", no notes.
    static TocRecord consolidated(const QString &name);
    // The record a rebuild gives the n-th estimate it lists: its running number, no notes.
    static TocRecord numbered(int number, const QString &name);
    // Whether a name can stand in a record and read back as itself: it has a
    // Windows-1251 form and holds no line break (which would end the line) and
    // no "|" (the rest would read as the notes).
    static bool holdsName(const QString &name);

    QString line() const;
    // The line as departments.txt holds it: Windows-1251, followed by CR LF.
    // A character without a byte throws, as toWindows1251 does.
    QByteArray bytes() const;
};

// The running number of the n-th record of a rebuilt table of contents (from
// 1): "001".."099", then plain decimal ("100", "1000").
QString runningNumber(int number);

// The estimate name of a table-of-contents line.
QString estimateNameOf(const QString &line);
// The estimate names of the lines, in their order.
QStringList estimateNamesOf(const QStringList &lines);

// Whether any of the lines is a record of that estimate name.
bool listsName(const QStringList &lines, const QString &name);

// The lines of departments.txt in file order, empty lines left out (the system
// never writes them, so they are no records).
QStringList readToc(const Workspace &workspace, OpenFailure failure = OpenFailure::CannotOpen);

// The lines readToc gives, kept as the file's bytes and where each line
// starts, decoded one at a time when asked: a large base costs a few
// allocations instead of a string per line.
class CompactToc
{
public:
    CompactToc() = default;
    // Split as textLines splits, empty lines left out, from bytes already read.
    explicit CompactToc(QByteArray bytes);
    // departments.txt, with the file layer's checks and messages.
    static CompactToc read(const Workspace &workspace, OpenFailure failure = OpenFailure::CannotOpen);

    qsizetype size() const { return qsizetype(m_starts.size()); }
    QString line(qsizetype index) const;
    // All of them, decoded: what readToc returns.
    QStringList lines() const;

private:
    QByteArray m_bytes;
    std::vector<quint32> m_starts;
};

// The same lines in UTF-8, each followed by LF, handed to `sink` in pieces:
// a listing of many records without a string per line.
void readTocUtf8(const Workspace &workspace, const ByteSink &sink, OpenFailure failure = OpenFailure::CannotOpen);

// Appends one record followed by CR LF.
void appendTocRecord(const Workspace &workspace, const TocRecord &record);

// Replaces departments.txt by the given lines, each followed by CR LF.
void writeToc(const Workspace &workspace, const QStringList &lines);
// Replaces departments.txt by bytes already encoded, lines ended by CR LF,
// handed over piece by piece; false, with the old file kept, when `produce`
// gives up.
bool writeTocBytes(const Workspace &workspace, const std::function<bool(const ByteSink &sink)> &produce);

// Refuses a text that has no Windows-1251 form, or that holds a line break,
// before anything is written. Returns the message to show, empty when fine.
QString checkStorableText(const QString &text, const QString &what);

} // namespace vastrel
