#pragma once

#include "domain/catalogue.h"
#include "domain/estimate.h"
#include "domain/outcome.h"
#include "export/sheet_model.h"
#include "store/settings.h"
#include "store/workspace.h"

#include <QDate>
#include <QString>

#include <array>

namespace vastrel {

// Everything the breakdown document "РАСШИФРОВКА" shows, amounts converted.
struct BreakdownData
{
    Settings settings;
    QString year;        // four digits
    int source = -1;     // income-source position 0..10, -1 none
    int incomeCode = -1; // income-code position 0..10, -1 none
    double remainder = 0;
    double income = 0;
    std::array<double, ExpenseLineCount> expenses{};

    // Legal status "3" ("обособленное лицо") changes the rows below the total.
    bool separateEntity() const { return settings.status == QLatin1String("3"); }
    double expense(const QString &shortCode) const;
};

// The checks of "экспорт сметы в Excel" in their order, then the settings and
// every amount of the estimate into `data`. Refuses "Пустая смета." for an
// empty or zero total and the settings message when there is no settings
// file; throws the conversion Error for a text that is no number. Nothing has
// been begun unless it is done.
Outcome prepareBreakdown(const Workspace &workspace, const Estimate &estimate, const EstimateTotals &totals,
                         const QDate &today, BreakdownData &data);

// Fills the sheet with the document, page setup included.
void writeBreakdown(SheetModel &sheet, const BreakdownData &data);

// A file name to suggest for the document of the named estimate (none: the year's).
QString breakdownFileName(const QString &estimateName, const QDate &today);

} // namespace vastrel
