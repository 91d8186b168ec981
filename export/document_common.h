#pragma once

#include "export/spreadsheet.h"

#include <QString>

namespace vastrel {

// Texts and names shared by both documents.

inline const QString DocumentFont = QStringLiteral("Arial Cyr");
inline const QString FooterStart = QStringLiteral("&7Вастрель - Тавер, ");

// The people and names the refined estimate prints as fixed text.
inline const QString DeveloperCredit = QStringLiteral("разработка ИВЦ Тавер, ");
inline const QString ApprovingTitle = QStringLiteral("профессор");
inline const QString ApprovingName = QStringLiteral("В.Н. Соколов");
inline const QString AgreeingName = QStringLiteral("Е.П. Морозова");
inline const QString UniversityGenitive = QStringLiteral("Тавер");
// The subdivision whose heading uses the short form of the university's name.
inline const QString ShortNameSubdivision = QStringLiteral("456");
inline const QString UniversityShort = QStringLiteral("ТГУ");

// Merges the range when asked, selects it and gives the selection the
// documents' font; returns the selection for formatting.
Range takeCells(Spreadsheet &sheet, const QString &a1, bool merge);
Range takeCells(Spreadsheet &sheet, const CellRange &range, bool merge);
// The same for one row: column `first`, or `first` to `last` merged.
Range takeCells(Spreadsheet &sheet, int row, const char *first, const char *last = nullptr);

// A name the file system takes: characters it refuses become "_".
QString safeFileName(const QString &name);

} // namespace vastrel
