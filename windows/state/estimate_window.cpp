#include "windows/state/estimate_window.h"

#include "store/settings.h"
#include "store/table_of_contents.h"

#include <QScopeGuard>

namespace vastrel {

QString EstimateWindow::selectedLine() const
{
    return selectorIndex >= 0 && selectorIndex < selectorItems.size() ? selectorItems.at(selectorIndex) : QString();
}

Estimate EstimateWindow::estimate() const
{
    return {incomeCode, source, statusCodeOfItem(status), {remainder, income, expenses}};
}

void EstimateWindow::show(const Estimate &estimate)
{
    // An unchanged position keeps a typed text that is no item of the list.
    if (estimate.incomeCode != incomeCode)
        setIncomeCode(estimate.incomeCode);
    source = estimate.source;
    remainder = estimate.entries.remainder;
    income = estimate.entries.income;
    expenses = estimate.entries.expenses;
}

void EstimateWindow::showStored(const QString &name, const Estimate &estimate)
{
    show(estimate);
    incomeTotal.clear();
    expenseTotal.clear();
    changedAfterCalculation = false;
    shownEstimate = name;
}

std::optional<QString> EstimateWindow::selectedName() const
{
    const QString line = selectedLine();
    if (line.isEmpty())
        return std::nullopt;
    return estimateNameOf(line);
}

QString &EstimateWindow::expense(const QString &shortCode)
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

const QString &EstimateWindow::expense(const QString &shortCode) const
{
    return expenses.at(size_t(expenseIndexByShortCode(shortCode)));
}

void EstimateWindow::setIncomeCode(int position)
{
    incomeCode = position;
    incomeCodeText = position >= 0 && position < IncomeCodeCount ? incomeCodes()[size_t(position)].code : QString();
}

Outcome storeNewEstimate(const Workspace &workspace, NewEstimateForm &form, EstimateWindow &mainWindow,
                         const QDate &today)
{
    Estimate estimate = mainWindow.estimate();
    TocChange change;
    // The window takes the income source and what the table of contents took
    // also when a check refuses or throws.
    const auto takeBack = qScopeGuard([&] {
        mainWindow.source = estimate.source;
        if (change.changedAt >= 0) {
            mainWindow.selectorItems = change.written;
            mainWindow.selectorIndex = change.changedAt;
        } else if (!change.appended.isEmpty()) {
            mainWindow.selectorItems.append(change.appended);
        }
    });
    return storeNewEstimate(workspace, form, estimate, mainWindow.selectedLine(), change, today);
}

Outcome calculate(EstimateWindow &window)
{
    window.totalsColour = TotalsColour::WindowText;
    EstimateEntries entries{window.remainder, window.income, window.expenses};
    EstimateTotals totals = window.totals();
    const Outcome outcome = calculateTotals(entries, totals);
    // The fields set to "0" keep it whatever the outcome.
    window.remainder = entries.remainder;
    window.income = entries.income;
    window.expenses = entries.expenses;
    if (!outcome)
        return outcome;
    window.incomeTotal = totals.income;
    window.expenseTotal = totals.expense;
    window.totalsColour = window.incomeTotal == window.expenseTotal ? TotalsColour::Black : TotalsColour::Red;
    window.changedAfterCalculation = false;
    return Outcome::done();
}

void clearEntries(EstimateWindow &window)
{
    window.changedAfterCalculation = false;
    window.incomeTotal.clear();
    window.expenseTotal.clear();
    window.income.clear();
    window.remainder.clear();
    for (QString &expense : window.expenses)
        expense.clear();
}

void forgetTotals(EstimateWindow &window)
{
    if (!window.incomeTotal.isEmpty() || !window.expenseTotal.isEmpty())
        window.changedAfterCalculation = true;
    window.incomeTotal.clear();
    window.expenseTotal.clear();
}

namespace {

// The selector refilled keeps pointing at the estimate it showed, when the
// new lines still hold it: the same line, or else a line of the same name.
void refill(EstimateWindow &window, const QString &before, QStringList lines)
{
    int index = before.isEmpty() ? -1 : int(lines.indexOf(before));
    if (index < 0 && !before.isEmpty()) {
        const QString name = estimateNameOf(before);
        for (int i = 0; i < lines.size() && index < 0; ++i) {
            if (estimateNameOf(lines.at(i)) == name)
                index = i;
        }
    }
    window.selectorItems = std::move(lines);
    window.selectorIndex = index;
}

} // namespace

void activateMainWindow(const Workspace &workspace, QString &heading, EstimateWindow &window, MessageService &messages)
{
    if (!settingsExist(workspace)) {
        messages.refuse(settingsMissingMessage());
        return;
    }
    const Settings settings = readSettings(workspace, SettingsBlock::Last).value_or(Settings{});
    const int item = statusItemOfCode(settings.status);
    if (item >= 0)
        window.status = item;
    heading = QStringLiteral("Смета ") + settings.name;
    const QString before = window.selectedLine();
    refill(window, before, readToc(workspace, OpenFailure::FileNotFound));
}

void refillSelector(const Workspace &workspace, EstimateWindow &window)
{
    // Emptied first: a table of contents that cannot be read leaves no stale lines.
    const QString before = window.selectedLine();
    window.selectorItems.clear();
    window.selectorIndex = -1;
    refill(window, before, readToc(workspace, OpenFailure::CannotOpen));
}

} // namespace vastrel
