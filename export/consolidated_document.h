#pragma once

#include "domain/outcome.h"
#include "export/sheet_model.h"
#include "store/estimate_file.h"
#include "store/settings.h"
#include "store/workspace.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>


namespace vastrel {

// One row of the refined estimate: the three texts of an estimate record.
struct DocumentRecord
{
    QString description;
    QString code;
    QString amount; // as written in the file; "0" for an empty one
};

// The records of an estimate file's lines in file order. Lines that start no
// record are passed over; a record cut short by the end of the file reads its
// missing lines as empty.
QList<DocumentRecord> documentRecords(const EstimateContent &content);

// The one estimate of the selected records' names (the value); refuses
// "Выделите смету для экспорта!" or "Выделите одну смету для экспорта!".
Outcome estimateToExport(const QStringList &selectedNames);

// Everything the refined estimate "Уточненная смета доходов и расходов" shows.
struct ConsolidatedData
{
    Settings settings; // all empty when there is no settings file
    QString year;      // four digits, of the day of export
    QList<DocumentRecord> records;
};

// Reads the settings and the estimate's file ("File not found" when missing).
ConsolidatedData prepareConsolidated(const Workspace &workspace, const QString &estimateName, const QDate &today);

// Fills the sheet with the document, page setup included. An amount that is
// no number throws the conversion Error.
void writeConsolidated(SheetModel &sheet, const ConsolidatedData &data);

// A file name to suggest for the document of this estimate.
QString consolidatedFileName(const QString &estimateName);

} // namespace vastrel
