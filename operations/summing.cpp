#include "operations/summing.h"

#include "domain/amount.h"
#include "domain/catalogue.h"
#include "domain/error.h"
#include "store/base_lock.h"
#include "store/estimate_file.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>

namespace vastrel {

namespace {

enum class LineKind {
    Remainder,
    Income,
    Expense
};

struct CodeTarget
{
    LineKind kind;
    int index; // into incomeCodes() or expenseLines()
};

// Codes as a main-window estimate writes them: remainders in the star form,
// income lines in the full form, expense lines in the short form.
// Keyed by the codes' bytes in the file, so a code is looked up without decoding it.
const QHash<QByteArray, CodeTarget> &codeTargets()
{
    static const QHash<QByteArray, CodeTarget> targets = [] {
        QHash<QByteArray, CodeTarget> map;
        for (int i = 0; i < IncomeCodeCount; ++i) {
            map.insert(toWindows1251(incomeCodes()[i].starForm()), {LineKind::Remainder, i});
            map.insert(toWindows1251(incomeCodes()[i].code), {LineKind::Income, i});
        }
        for (int i = 0; i < ExpenseLineCount; ++i)
            map.insert(toWindows1251(expenseLines()[i].shortCode), {LineKind::Expense, i});
        return map;
    }();
    return targets;
}

int expenseIndex(const ExpenseLine &line)
{
    const int index = expenseIndexByShortCode(line.shortCode);
    Q_ASSERT(index >= 0);
    return index;
}

struct Sums
{
    std::array<AmountSum, IncomeCodeCount> incomeLines;
    std::array<AmountSum, ExpenseLineCount> expenseLines;
    AmountSum remainder;
    AmountSum higherRemainder;
    AmountSum income;
    AmountSum incomeAndRemainder;
    AmountSum expenses;
    QHash<QString, AmountSum> groups;
    EstimateHeader header;

    void add(const CodeTarget &target, double amount);
    double group(const QString &code) const { return groups.value(code).value(); }
};

void Sums::add(const CodeTarget &target, double amount)
{
    switch (target.kind) {
    case LineKind::Remainder:
        remainder.add(amount);
        incomeAndRemainder.add(amount);
        if (incomeCodes()[target.index].code == higherOrganisationIncome().code)
            higherRemainder.add(amount);
        break;
    case LineKind::Income: {
        const IncomeCode &line = incomeCodes()[target.index];
        incomeLines[target.index].add(amount);
        if (line.code == higherOrganisationIncome().code)
            break;
        incomeAndRemainder.add(amount);
        income.add(amount);
        if (!line.group.isEmpty())
            groups[line.group].add(amount);
        break;
    }
    case LineKind::Expense: {
        const ExpenseLine &line = vastrel::expenseLines()[target.index];
        expenseLines[target.index].add(amount);
        if (isTransferLine(line))
            break;
        expenses.add(amount);
        if (!line.group.isEmpty())
            groups[line.group].add(amount);
        break;
    }
    }
}

void addEstimate(const EstimateContent &content, Sums &sums)
{
    const EstimateFileRecords file = readEstimateRecords(content);
    if (file.header) {
        sums.header.year = file.header->year;
        sums.header.department = file.header->department;
        sums.header.subdivisionCode = file.header->subdivisionCode;
        sums.header.legalStatus = file.header->legalStatus;
    }
    for (const EstimateFileRecord &record : file.records) {
        const auto target = codeTargets().constFind(QByteArray::fromRawData(record.code.data(), record.code.size()));
        if (target != codeTargets().constEnd())
            sums.add(*target, parseStoredAmount(record.amount));
    }
}

// Every amount text is made before the file is written, so an overflowing
// sum stops the summing with nothing written.
QString amountText(double value)
{
    return formatAmount(finiteTotal(value), FileDecimalSeparator);
}

QString groupDescription(const QString &code)
{
    const GroupLine *group = findGroupLine(code);
    Q_ASSERT(group);
    return group ? group->description : QString();
}

// The records in the order in which the consolidated estimate document prints them.
QList<ConsolidatedRecord> consolidatedRecordList(const Sums &sums, const QDate &today)
{
    QList<ConsolidatedRecord> records;
    auto addGroupOnce = [&](const QString &group, QSet<QString> &started) {
        if (group.isEmpty() || started.contains(group))
            return;
        started.insert(group);
        if (sums.group(group) != 0.0)
            records.append({groupDescription(group), group, amountText(sums.group(group))});
    };

    records.append({QStringLiteral("I. Остаток средств на 01.01.") + today.toString(u"yyyy"), QString(),
                    amountText(sums.remainder.value())});
    if (sums.higherRemainder.value() != 0.0)
        records.append({QString(), higherOrganisationIncome().code, amountText(sums.higherRemainder.value())});
    records.append({incomeHeading().description, incomeHeading().code, QString()});

    QSet<QString> started;
    for (int i = 0; i < IncomeCodeCount; ++i) {
        const IncomeCode &line = incomeCodes()[i];
        if (line.group.isEmpty())
            continue;
        addGroupOnce(line.group, started);
        if (sums.incomeLines[i].value() != 0.0)
            records.append({line.description, line.code, amountText(sums.incomeLines[i].value())});
    }
    records.append({QStringLiteral("ИТОГО"), QString(), amountText(sums.income.value())});
    records.append({QStringLiteral("ИТОГО ДОХОДОВ"), QString(), amountText(sums.incomeAndRemainder.value())});

    records.append({expenseHeading().description, expenseHeading().code, QString()});
    records.append({QStringLiteral("Расходы"), QString(), QString()});
    for (int i = 0; i < ExpenseLineCount; ++i) {
        const ExpenseLine &line = expenseLines()[i];
        if (isTransferLine(line))
            continue;
        addGroupOnce(line.group, started);
        if (sums.expenseLines[i].value() != 0.0)
            records.append(
                {line.consolidatedDescription, line.fullCode(), amountText(sums.expenseLines[i].value()), false});
    }

    const ExpenseLine &stateTransfers = stateTransfersLine();
    const double stateTransfersSum = sums.expenseLines[expenseIndex(stateTransfers)].value();
    const QString &status = sums.header.legalStatus;
    if (status == QLatin1String("1") || status == QLatin1String("2")) {
        records.append({QStringLiteral("ИТОГО"), QString(), amountText(sums.expenses.value())});
        records.append(
            {stateTransfers.consolidatedDescription, stateTransfers.fullCode(), amountText(stateTransfersSum)});
    }
    AmountSum allExpenses = sums.expenses;
    allExpenses.add(stateTransfersSum);
    records.append({QStringLiteral("ИТОГО РАСХОДОВ"), QString(), amountText(allExpenses.value())});

    if (status == QLatin1String("3")) {
        const IncomeCode &higherIncome = higherOrganisationIncome();
        const ExpenseLine &higherTransfers = higherTransfersLine();
        records.append({QStringLiteral("IV. Взаиморасчеты с вышестоящей организацией"), QString(), QString()});
        records.append({higherIncome.description, higherIncome.code,
                        amountText(sums.incomeLines[incomeIndexByCode(higherIncome.code)].value())});
        records.append({higherTransfers.consolidatedDescription, higherTransfers.fullCode(),
                        amountText(sums.expenseLines[expenseIndex(higherTransfers)].value())});
    }
    return records;
}

// The hour without a leading zero, minutes and seconds with two digits, as
// the Russian long time format has them. Only the clock (12 or 24 hours) is
// taken from the locale's format: Qt's long formats also carry a time zone
// name and, for some locales, words that do not belong in a file name.
QString timeText(const QTime &time, const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    bool quoted = false;
    bool twelveHour = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('a') || c == QLatin1Char('A')))
            twelveHour = true;
    }
    int hour = time.hour();
    if (twelveHour) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    QString text = QStringLiteral("%1_%2_%3")
                       .arg(hour)
                       .arg(time.minute(), 2, 10, QLatin1Char('0'))
                       .arg(time.second(), 2, 10, QLatin1Char('0'));
    if (twelveHour) {
        const bool morning = time.hour() < 12;
        QString marker = morning ? locale.amText() : locale.pmText();
        const bool plain =
            !marker.isEmpty() && fitsWindows1251(marker) &&
            std::all_of(marker.cbegin(), marker.cend(), [](QChar c) { return c.isLetter() || c == QLatin1Char('.'); });
        if (!plain)
            marker = morning ? QStringLiteral("AM") : QStringLiteral("PM");
        text += QLatin1Char(' ') + marker;
    }
    return text;
}

// Two summings within one second would give the same name: the later one
// takes the next free second instead of overwriting the earlier estimate.
QString freeEstimateName(const Workspace &workspace, const QStringList &toc, QDateTime when)
{
    QSet<QString> taken;
    taken.reserve(toc.size());
    for (const QString &line : toc)
        taken.insert(estimateNameOf(line));
    for (;;) {
        const QString name = consolidatedEstimateName(when);
        if (!taken.contains(name) && !fileExists(workspace.estimatePath(name)))
            return name;
        when = when.addSecs(1);
    }
}

} // namespace

QString consolidatedEstimateName(const QDateTime &when, const QLocale &locale)
{
    return QStringLiteral("сводная смета ( ") + when.date().toString(u"dd_MM_yyyy") + QLatin1Char('_') +
           timeText(when.time(), locale) + QStringLiteral(" )");
}

namespace {

Outcome sumNamed(const Workspace &workspace, const QStringList &names, MessageService &messages, const QDateTime &now)
{
    if (names.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Выделите сметы для сложения!"));
    }
    if (names.size() == 1)
        messages.inform(QStringLiteral("Выделена только одна смета!"));

    const BaseLock lock(workspace);
    Sums sums;
    for (const QString &name : names) {
        const EstimateContent content = readEstimate(workspace, name);
        // A damaged file would leave its subdivision out of the sums without a word.
        EstimateKind kind = EstimateKind::Saved;
        const QString problem = estimateFileProblem(content, &kind);
        const auto file = [&name] { return Workspace::shown(Workspace::estimateName(name)); };
        if (!problem.isEmpty()) {
            return Outcome::refusal(QStringLiteral("Файл сметы «%1» (%2) поврежден: %3. Сложение не выполнено, "
                                                   "ничего не записано.")
                                        .arg(name, file(), problem));
        }
        if (kind == EstimateKind::Template) {
            return Outcome::refusal(QStringLiteral("Смета «%1» (%2) еще не записана из главного окна: в ее файле нет "
                                                   "сумм. Сложение не выполнено, ничего не записано.")
                                        .arg(name, file()));
        }
        addEstimate(content, sums);
    }
    sums.header.financing = ConsolidatedFinancing;

    // The table of contents is read before the estimate is written: a missing
    // one stops the summing with nothing written.
    const QStringList toc = readToc(workspace, OpenFailure::FileNotFound);
    const QString name = freeEstimateName(workspace, toc, now);
    writeEstimateFile(workspace, name,
                      estimateFileLines(sums.header, consolidatedRecords(consolidatedRecordList(sums, now.date()))));
    try {
        appendTocRecord(workspace, TocRecord::consolidated(name));
    } catch (const Error &) {
        // An estimate without its record would be invisible until a rebuild.
        QFile::remove(workspace.estimatePath(name));
        throw;
    }
    // The new estimate's name, so the user knows which line of the list to look for.
    return Outcome::done(QStringLiteral("Операция сложения смет была успешно произведена\r\n\n"
                                        "Cводные сметы  записаны в базу системы.\r\n\n"
                                        "Новая смета: «%1».")
                             .arg(name),
                         name);
}

} // namespace

Outcome sumEstimates(const Workspace &workspace, const QStringList &names, MessageService &messages,
                     const QDateTime &now)
{
    return shownIn(messages, sumNamed(workspace, names, messages, now));
}

} // namespace vastrel
