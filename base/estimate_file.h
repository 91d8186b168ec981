#pragma once

#include "base/catalogue.h"
#include "base/settings.h"
#include "base/workspace.h"

#include <QByteArray>
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

// The texts of the main window's entry fields.
struct EntryTexts
{
    QString remainder;
    QString income;
    std::array<QString, ExpenseLineCount> expenses; // in catalogue order
};

// What the main window's save writes besides the settings.
struct WindowEstimate
{
    QDate today;
    int incomeCode = -1;     // position in the income-code list
    QString incomeCodeText;  // the list's item text
    int source = -1;         // income-source position 0..10
    QString legalStatus;     // code of the window's selection
    EntryTexts entries;
};

// The main-window estimate: an expense record is left out when its text is
// exactly "0", except those of 241 and 610. The settings, when there are
// any, give DEP, COD_DEP and COD_LEG (over the window's selection).
QStringList windowEstimateLines(const WindowEstimate &estimate, const std::optional<Settings> &settings);

// What a new estimate's template is written from.
struct TemplateEstimate
{
    QDate today;
    int source = -1;         // income-source index 0..10 of the main window
    QString legalStatus;     // code of the main window's selection
    QString subdivisionName; // settings line 1, empty without settings
    EntryTexts entries;
};

// The new-estimate template: 33 blocks with Q_1/Q_2/Q_4 amounts.
QStringList templateEstimateLines(const TemplateEstimate &estimate);

// The date as the template's YEAR holds it: dd.mm.yyyy.
QString templateDate(const QDate &date);

} // namespace vastrel
