#pragma once

#include "base/workspace.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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

// Reads an estimate file's lines ("File not found" when missing).
QStringList readEstimateFile(const Workspace &workspace, const QString &estimateName);

// The text from position `from` (0-based) up to the first `endTag` after it,
// or to the end of the line when there is none. Readers that take values by
// fixed position use it.
QString valueFrom(const QString &line, int from, const QString &endTag);

// The text between the first ">" and the next "<" of an element line.
QString elementValue(const QString &line);

// The namespace of the root element's xsi declaration.
inline const QString SchemaInstanceNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

} // namespace vastrel
