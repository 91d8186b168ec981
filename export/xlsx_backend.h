#pragma once

#include "export/sheet_model.h"

#include <QByteArray>
#include <QString>

namespace vastrel {

// The sheet as the whole file of an .xlsx workbook of one sheet. Throws
// Error when it cannot be produced.
QByteArray xlsxBytes(const SheetModel &sheet);
// Writes the workbook to `path` as a whole or not at all.
void saveXlsx(const SheetModel &sheet, const QString &path);

// A document is kept as PDF when its file name ends in ".pdf", as a workbook otherwise.
bool isPdfPath(const QString &path);

} // namespace vastrel
