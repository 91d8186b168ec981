#pragma once

#include "export/sheet_model.h"

#include <QByteArray>
#include <QString>

namespace vastrel {

// Builds the sheet in memory and writes it as an .xlsx workbook of one sheet,
// so a document can be made where no spreadsheet application runs.
class XlsxBackend : public SheetModel
{
public:
    // The whole workbook file. Throws Error when it cannot be produced.
    QByteArray bytes() const;
    // Writes the workbook to `path` as a whole or not at all.
    void saveAs(const QString &path) const;
};

// How the file stores what the user's conventions write:
// "=СУММ(E24;E26)" is "SUM(E24,E26)" and "# ##0,00" is "#,##0.00".
QString storedFormula(const QString &localFormula);
QString storedNumberFormat(const QString &localFormat);

// A document is kept as PDF when its file name ends in ".pdf", as a workbook otherwise.
bool isPdfPath(const QString &path);

} // namespace vastrel
