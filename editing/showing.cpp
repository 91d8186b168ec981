#include "editing/showing.h"

#include "domain/amount.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <algorithm>

namespace vastrel {

namespace {

// The value n of a numbered element, for n in 1..last; 0 for any other value.
int numberedValue(const QString &value, int last)
{
    for (int n = 1; n <= last; ++n) {
        if (value == QString::number(n))
            return n;
    }
    return 0;
}

} // namespace

QString consolidatedNotShownMessage()
{
    return QStringLiteral("Невозможно показать сводную смету\r\n\n"
                          "Для просмотра сводной сметы воспользуйтесь\r\n\n"
                          "экспортом сводной сметы в Excel в \"операциях со сметами\"!");
}

void applyEstimateLines(const EstimateContent &content, Estimate &estimate)
{
    const EstimateFileRecords file = readEstimateRecords(content);
    if (file.header) {
        if (const int financing = numberedValue(file.header->financing, IncomeCodeCount))
            estimate.incomeCode = incomeIndexByFinancing(QString::number(financing));
    }
    EstimateEntries amounts;
    // The amounts of codes that are no expense line fill the remainder, then the income.
    QString *const incomeSlots[] = {&amounts.remainder, &amounts.income};
    size_t nextIncomeSlot = 0;
    for (const EstimateFileRecord &record : file.records) {
        // "12" is recognised, but the list has no twelfth item: the selection stays.
        if (const int breakdown = record.hasBreakdown ? numberedValue(fromWindows1251(record.breakdown), 12) : 0;
            breakdown > 0 && breakdown <= IncomeSourceCount)
            estimate.source = breakdown - 1;
        if (!record.annualAmount)
            continue;
        // Typed amounts follow the user's locale, whichever separator the file has.
        const QString amount = shownAmountText(fromWindows1251(record.amount));
        const int expense = expenseIndexByShortCode(fromWindows1251(record.code));
        if (expense >= 0) {
            amounts.expenses[size_t(expense)] = amount;
        } else if (nextIncomeSlot < std::size(incomeSlots)) {
            // Files of the system hold two such amounts; any further one is not an entry.
            *incomeSlots[nextIncomeSlot++] = amount;
        }
    }
    estimate.entries = amounts;
}

bool estimateHoldsAmounts(const Workspace &workspace, const QString &name)
{
    if (!fileExists(workspace.estimatePath(name)))
        return false;
    const EstimateContent content = readEstimate(workspace, name);
    // A damaged file may still hold what someone typed: it is not replaced without a question.
    if (!estimateFileProblem(content).isEmpty())
        return true;
    Estimate stored;
    applyEstimateLines(content, stored);
    const EstimateEntries &entries = stored.entries;
    if (!entries.remainder.isEmpty() || !entries.income.isEmpty())
        return true;
    return std::any_of(entries.expenses.begin(), entries.expenses.end(),
                       [](const QString &amount) { return !amount.isEmpty(); });
}

Outcome showEstimate(const Workspace &workspace, const std::optional<QString> &name, Estimate &estimate)
{
    if (const QString problem = name ? storedEstimateNameProblem(*name) : QString(); !problem.isEmpty()) {
        return Outcome::refusal(problem);
    }
    if (!name || !fileExists(workspace.estimatePath(*name))) {
        return Outcome::refusal(QStringLiteral("Введите имя для редактируемой сметы!"));
    }
    if (name->startsWith(QStringLiteral("сводная смета"))) {
        return Outcome::refusal(consolidatedNotShownMessage());
    }
    const EstimateContent content = readEstimate(workspace, *name);
    if (const QString problem = estimateFileProblem(content); !problem.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Файл сметы «%1» (%2) поврежден: %3. Смета не показана; "
                                               "возьмите ее файл из копии или введите смету заново.")
                                    .arg(*name, Workspace::shown(Workspace::estimateName(*name)), problem));
    }
    applyEstimateLines(content, estimate);
    return Outcome::done();
}

} // namespace vastrel
