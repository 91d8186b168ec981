#pragma once

#include "domain/catalogue.h"
#include "domain/estimate.h"
#include "domain/messages.h"
#include "editing/calculation.h"
#include "editing/registering.h"
#include "editing/saving.h"
#include "store/workspace.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vastrel {

enum class TotalsColour {
    WindowText,
    Red,
    Black
};

// What the main window holds: the values its controls show. The windows copy
// their controls into it, call the logic, and copy it back.
struct EstimateWindow
{
    // The estimate selector: whole table-of-contents lines and the chosen one (-1 none).
    QStringList selectorItems;
    int selectorIndex = -1;

    // The income-code list: a position 0..10, or -1 when nothing (or a text
    // that is no item) is chosen; incomeCodeText is the text the list shows.
    int incomeCode = -1;
    QString incomeCodeText;

    int source = -1; // income-source list, 0..10
    int status = 0;  // legal-status radio item, -1 none

    QString remainder;
    QString income;
    std::array<QString, ExpenseLineCount> expenses;

    // The two total panels and the colour of their text.
    QString incomeTotal;
    QString expenseTotal;
    TotalsColour totalsColour = TotalsColour::WindowText;
    // The totals were emptied by an edit after a calculation, so an empty
    // total means "calculate again", not an empty estimate.
    bool changedAfterCalculation = false;
    // The estimate whose amounts the fields came from (last shown or saved);
    // a save into another one that holds amounts asks first.
    QString shownEstimate;

    // The selected table-of-contents line, empty when none.
    QString selectedLine() const;
    // The estimate the controls hold, and the totals the panels show.
    Estimate estimate() const;
    EstimateTotals totals() const { return {incomeTotal, expenseTotal}; }
    SaveBasis saveBasis() const { return {totals(), changedAfterCalculation, shownEstimate}; }
    // Shows the estimate's amounts, income code and source; the legal status
    // stays, as the settings choose it.
    void show(const Estimate &estimate);
    // Shows an estimate read from the base: its fields no longer match the
    // totals on the panels, so those are emptied.
    void showStored(const QString &name, const Estimate &estimate);
    // The selected estimate's name; none when nothing is selected.
    std::optional<QString> selectedName() const;
    QString &expense(const QString &shortCode);
    const QString &expense(const QString &shortCode) const;
    void setIncomeCode(int position);
};

// "расчет сметы": empty fields become "0", the totals are shown in the general
// format, red while their texts differ. A field that is not a number fails
// with the conversion error and names the first such field (income,
// remainder, then the expense lines); the fields already set to "0" keep it
// and the totals keep their previous texts, as they do when a total is too
// large for a number.
Outcome calculate(EstimateWindow &window);

// "очистить смету": empties the entry fields and both totals.
void clearEntries(EstimateWindow &window);

// Any change of an entry field after a calculation: the totals no longer
// belong to the fields, so they are emptied and a save asks for a new one.
void forgetTotals(EstimateWindow &window);

// The main window's activation: heading and legal status from the settings,
// the estimate selector from the table of contents. Without settings it only
// says so. A missing table of contents throws after the heading is set, so
// the caller keeps what was filled before the error. The selector keeps
// pointing at the estimate it showed while the new lines hold it.
void activateMainWindow(const Workspace &workspace, QString &heading, EstimateWindow &window, MessageService &messages);

// Refills the estimate selector from the table of contents after an
// operation changed it; it keeps pointing at the estimate it showed while
// that estimate is still listed.
void refillSelector(const Workspace &workspace, EstimateWindow &window);

// Registering from the new-estimate window: the main window's estimate and
// selector take what the registration changes.
Outcome storeNewEstimate(const Workspace &workspace, NewEstimateForm &form, EstimateWindow &mainWindow,
                         const QDate &today = QDate::currentDate());

} // namespace vastrel
