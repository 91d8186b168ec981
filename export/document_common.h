#pragma once

#include "export/sheet_model.h"

#include <QString>

namespace vastrel {

// Texts and names shared by both documents.

inline const QString FooterStart = QStringLiteral("Вастрель - Тавер, ");

// The people and names the refined estimate prints as fixed text.
inline const QString DeveloperCredit = QStringLiteral("разработка ИВЦ Тавер, ");
inline const QString ApprovingTitle = QStringLiteral("профессор");
inline const QString ApprovingName = QStringLiteral("В.Н. Соколов");
inline const QString AgreeingName = QStringLiteral("Е.П. Морозова");
inline const QString UniversityGenitive = QStringLiteral("Тавер");
// The subdivision whose heading uses the short form of the university's name.
inline const QString ShortNameSubdivision = QStringLiteral("456");
inline const QString UniversityShort = QStringLiteral("ТГУ");

// "Единица измерения:" and its "руб." above the table.
inline constexpr Style UnitLabel{9};
inline constexpr Style Unit{9, false, true};

// The area of the sheet whose columns are fitted to the texts.
inline const CellRange FittedArea{1, A, 100, G};

// A page of a document: portrait, the footer, the rows 2 and 3 repeated on every page.
PageSetup documentPage(const QString &footer);

// A name the file system takes: characters it refuses become "_".
QString safeFileName(const QString &name);

} // namespace vastrel
