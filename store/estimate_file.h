#pragma once

#include "domain/catalogue.h"
#include "domain/estimate.h"
#include "store/settings.h"
#include "store/text_file.h"
#include "store/workspace.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vastrel {

// The estimate file: an XML-shaped text written and read line by line. Every
// line's exact bytes are the format that other installations read.

// The values of the header record.
struct EstimateHeader
{
    QString year;
    QString financing;  // COD_FIN
    QString department; // DEP, whole value ("Смета " + name in saved estimates)
    QString subdivisionCode;
    QString legalStatus;
};

// One element line inside a COLUMN: two TABs, "<TAG>value</TAG>".
struct EstimateElement
{
    QString tag;
    QString value;
};

// One COLUMN record after the header.
using EstimateRecord = QList<EstimateElement>;

// The lines of a whole file: declaration, root, header record, records, root
// end. Joined with CR LF after every line.
QStringList estimateFileLines(const EstimateHeader &header, const QList<EstimateRecord> &records);

// A record of a consolidated estimate: every record has DESCRIPTION, CODE,
// an empty CODE_RASCH and SUM_YEAR, except those of single expense lines,
// which have no CODE_RASCH.
struct ConsolidatedRecord
{
    QString description;
    QString code;
    QString amount; // already in the general format; may be empty
    bool withBreakdownCode = true;
};
QList<EstimateRecord> consolidatedRecords(const QList<ConsolidatedRecord> &records);

// Writes the file "../Vastrel/smetas/" + name + ".xml" atomically, Windows-1251
// with CR LF. A value that has no Windows-1251 form throws before anything is written.
void writeEstimateFile(const Workspace &workspace, const QString &estimateName, const QStringList &lines);

// The element names of the format.
namespace EstimateTag {
inline const QString Year = QStringLiteral("YEAR");
inline const QString Financing = QStringLiteral("COD_FIN");
inline const QString Department = QStringLiteral("DEP");
inline const QString SubdivisionCode = QStringLiteral("COD_DEP");
inline const QString LegalStatus = QStringLiteral("COD_LEG");
inline const QString Description = QStringLiteral("DESCRIPTION");
inline const QString Code = QStringLiteral("CODE");
inline const QString Breakdown = QStringLiteral("CODE_RASCH");
inline const QString Amount = QStringLiteral("SUM_YEAR");
// The template's amounts, by the field that fills them.
inline const QString RemainderQuarter = QStringLiteral("Q_4");
inline const QString IncomeQuarter = QStringLiteral("Q_2");
inline const QString ExpenseQuarter = QStringLiteral("Q_1");
inline const QString Root = QStringLiteral("SMETA");
inline const QString Record = QStringLiteral("COLUMN");
} // namespace EstimateTag

// The fixed lines around the elements.
namespace EstimateFileLine {
inline const QString Declaration = QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>");
inline const QString RootEnd = QStringLiteral("</") + EstimateTag::Root + QLatin1Char('>');
inline const QString RecordStart = QStringLiteral("\t<") + EstimateTag::Record + QLatin1Char('>');
inline const QString RecordEnd = QStringLiteral("\t</") + EstimateTag::Record + QLatin1Char('>');
} // namespace EstimateFileLine

// One line of an estimate file as read back, kept as the file's bytes: the
// tags are ASCII and the encoding has one character per byte, so a line is
// looked at without decoding it; only the texts taken out are decoded. An
// element line is two TABs, "<TAG>value</TAG>"; its tag is known, its value
// is taken on demand.
class EstimateLine
{
public:
    EstimateLine() = default;
    // A line given as text is held in the file's encoding.
    explicit EstimateLine(const QString &text);
    // Bytes owned by whoever made the line (an EstimateContent).
    EstimateLine(const char *data, qsizetype size);

    // The element the line opens; empty for any other line.
    QString tag() const { return m_tagSize ? fromWindows1251(QByteArrayView(m_data + 3, m_tagSize)) : QString(); }
    bool opens(const QString &tag) const { return m_tagSize > 0 && m_tagSize == tag.size() && matchesAt(3, tag); }
    // Whether the line begins with the whole element "<tag>value</tag>".
    bool holds(const QString &tag, const QString &value) const;
    // The value of element `tag` on this line: from the end of its opening up
    // to "</tag>", or to the line's end when it is not closed. Readers that
    // know which element stands on a line read it so even when the line
    // holds another one, as the other installations' readers do, so a foreign
    // file reads the same everywhere.
    QString valueOf(const QString &tag) const { return fromWindows1251(valueBytes(tag)); }
    // The same value as the file's bytes.
    QByteArrayView valueBytes(const QString &tag) const;
    // The text between the first ">" and the next "<".
    QString innerText() const;
    // The line's bytes, without its line end.
    QByteArrayView bytes() const { return QByteArrayView(m_data, m_size); }

private:
    bool matchesAt(qsizetype at, const QString &text) const;
    qsizetype find(char byte, qsizetype from) const;
    void findTag();

    QByteArray m_own; // only for a line given as text
    const char *m_data = "";
    qsizetype m_size = 0;
    qsizetype m_tagSize = 0;
};

// An estimate file's lines as read back; a line past the end reads as empty,
// so a cut file ends a reading instead of running past it.
class EstimateContent
{
public:
    EstimateContent() = default;
    EstimateContent(const QStringList &lines); // NOLINT: a file's lines are its content
    // The lines of a file's bytes, split as textLines splits them.
    explicit EstimateContent(const QByteArray &bytes);

    qsizetype size() const { return m_lines.size(); }
    const EstimateLine &at(qsizetype index) const;
    const QList<EstimateLine> &lines() const { return m_lines; }
    // The bytes the lines were split from.
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes; // shared, never changed: the lines point into it
    QList<EstimateLine> m_lines;
};

// Reads an estimate file ("File not found" when missing).
EstimateContent readEstimate(const Workspace &workspace, const QString &estimateName);

// One record of an estimate file as the readers take it, by the places of its
// lines, so that a foreign file reads as every installation reads it: a line
// that opens DESCRIPTION starts it, the next line holds the code, the line
// after it the amount, or the breakdown code when it opens CODE_RASCH, the
// amount then following. Each value is that line read as its element
// (EstimateLine::valueBytes), whatever the line holds; the views point into
// the content's bytes.
struct EstimateFileRecord
{
    QByteArrayView description;
    QByteArrayView code;
    bool hasBreakdown = false;
    QByteArrayView breakdown;
    // Read as SUM_YEAR; a template's Q_ line gives no number so.
    QByteArrayView amount;
    bool annualAmount = false; // the amount line opens SUM_YEAR
};

struct EstimateFileRecords
{
    // The values of the first line that opens YEAR and of the four lines after
    // it, in the header's order; none without such a line.
    std::optional<EstimateHeader> header;
    QList<EstimateFileRecord> records;
};

// The one reader of a file's records. A file that estimateFileProblem accepts
// is its header record and its records; anything else reads by the same rule.
EstimateFileRecords readEstimateRecords(const EstimateContent &content);

// The largest estimate file taken from outside the base (a medium, a link):
// the system's own are a few kilobytes, so anything near this is no estimate.
constexpr qint64 MaxEstimateFileBytes = 1024 * 1024;
// The same in the words of a message.
inline QString maxEstimateFileText()
{
    return QStringLiteral("1 МБ");
}

// The three kinds of estimate file, by who wrote it.
enum class EstimateKind {
    Saved,
    Template,
    Consolidated
};

// Whether a file's bytes are an estimate file that every installation reads
// alike: Windows-1251 (no UTF-8, no byte-order mark, no NUL or other control
// bytes but TAB), every line ended by CR LF; the declaration, the root, the
// header record, records of DESCRIPTION, CODE, an optional CODE_RASCH and
// at most one amount, the root's end and nothing after it. The records must
// be those of one writer: a saved estimate's remainder, income and expense
// lines with the codes and the one place of each amount that summing relies
// on; a consolidated estimate's known codes; a template's codes. Every amount
// is a number (comma or point, no grouping, finite); only template amounts
// and the headings of a consolidated estimate may be empty. Returns the
// first fault in words ("строка 7: …"), empty when the file is sound; `kind`
// then tells which writer's file it is.
QString estimateFileProblem(const EstimateContent &content, EstimateKind *kind = nullptr);
QString estimateFileProblem(const QByteArray &bytes);

// COD_FIN of a consolidated estimate.
inline const QString ConsolidatedFinancing = QStringLiteral("СВОДНАЯ СМЕТА");

// The namespace of the root element's xsi declaration.
inline const QString SchemaInstanceNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

// A saved estimate: an expense record is left out when its text is exactly
// "0", except those of 241 and 610. Amounts are the texts as typed, with the
// locale's decimal separator written as the comma. The settings, when there
// are any, give DEP, COD_DEP and COD_LEG (over the estimate's legal status).
QStringList windowEstimateLines(const Estimate &estimate, const QDate &today, const std::optional<Settings> &settings);

// The new-estimate template: 33 blocks with Q_1/Q_2/Q_4 amounts (written
// with the comma as above); DEP names the subdivision of the settings
// (empty without settings).
QStringList templateEstimateLines(const Estimate &estimate, const QDate &today, const QString &subdivisionName);

// The date as the template's YEAR holds it: dd.mm.yyyy.
QString templateDate(const QDate &date);

} // namespace vastrel
