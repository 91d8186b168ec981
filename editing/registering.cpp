#include "editing/registering.h"

#include "domain/amount.h"
#include "domain/error.h"
#include "domain/masked_code.h"
#include "store/base_lock.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/settings.h"
#include "store/table_of_contents.h"

#include <QFile>

namespace vastrel {

namespace {

// The first text of the template that could not be stored as it stands. An
// amount that is no number then throws the conversion error, as the
// calculation before every save would; an empty one stays empty.
QString entriesProblem(const EstimateEntries &entries)
{
    QString problem = checkStorableText(entries.remainder, QStringLiteral("Остаток"));
    if (problem.isEmpty())
        problem = checkStorableText(entries.income, QStringLiteral("Итоговая сумма доходов"));
    for (size_t i = 0; problem.isEmpty() && i < entries.expenses.size(); ++i)
        problem =
            checkStorableText(entries.expenses[i], QStringLiteral("Сумма по коду ") + expenseLines()[i].shortCode);
    if (!problem.isEmpty())
        return problem;
    QList<const QString *> amounts = {&entries.income, &entries.remainder};
    for (const QString &expense : entries.expenses)
        amounts.append(&expense);
    for (const QString *amount : amounts) {
        if (!amount->isEmpty())
            (void)parseAmount(*amount);
    }
    return QString();
}

// Gives the selected record the form's code and notes. The table of contents
// is rewritten from the file with that one line replaced.
Outcome changeSelectedRecord(const Workspace &workspace, const NewEstimateForm &form, const QStringList &toc,
                             const QString &selected, TocChange &change)
{
    const qsizetype at = selected.isEmpty() ? -1 : toc.indexOf(selected);
    // Only the record of this very name may change: replacing another
    // estimate's record would lose it and list this name twice.
    if (at < 0 || estimateNameOf(selected) != form.name) {
        return Outcome::refusal(QStringLiteral("Файл с таким именем уже существует в системе!"), Field::Code);
    }
    if (const QString problem = checkStorableText(form.notes, QStringLiteral("Примечание к смете"));
        !problem.isEmpty()) {
        return Outcome::refusal(problem, Field::Code);
    }
    QStringList lines = toc;
    lines[at] = TocRecord{form.code, form.name, form.notes}.line();
    writeToc(workspace, lines);
    change = {QString(), lines, int(at)};
    return Outcome::done(QStringLiteral("Изменение в имени сметы успешно завершены!"));
}

} // namespace

void loadSelectedRecord(const Workspace &workspace, const QString &selected, NewEstimateForm &form)
{
    if (selected.isEmpty())
        return;
    form.nameEnabled = false;
    for (const QString &line : readToc(workspace, OpenFailure::FileNotFound)) {
        if (line == selected) {
            const TocRecord record = TocRecord::split(line);
            form.code = record.code;
            form.name = record.name;
            form.notes = record.notes;
            return;
        }
    }
}

Outcome storeNewEstimate(const Workspace &workspace, NewEstimateForm &form, Estimate &estimate,
                         const QString &selectedLine, TocChange &change, const QDate &today)
{
    form.nameEnabled = true;
    if (form.name.isEmpty()) {
        return Outcome::refusal(QStringLiteral("Впишите название подразделения!"));
    }
    if (form.source >= 0 && form.source < IncomeSourceCount)
        estimate.source = form.source;
    if (form.code == QLatin1String("   ")) {
        return Outcome::refusal(QStringLiteral("Забыли назначить код для подразделения!"), Field::Name);
    }
    if (!isThreeDigitCode(form.code)) {
        return Outcome::refusal(invalidCodeMessage(), Field::Name);
    }
    if (estimate.source < 0 || estimate.source >= IncomeSourceCount) {
        return Outcome::refusal(QStringLiteral("Введите источник дохода!"), Field::Source);
    }

    const BaseLock lock(workspace);
    const QStringList toc = readToc(workspace, OpenFailure::FileNotFound);
    for (const QString &line : toc) {
        if (TocRecord::split(line).name == form.name)
            return changeSelectedRecord(workspace, form, toc, selectedLine, change);
    }

    QString problem = newEstimateNameProblem(form.name);
    if (problem.isEmpty())
        problem = estimateFileNameLengthProblem(workspace.baseDir(), form.name);
    // On Windows and on a flash drive the new file would replace the other estimate's.
    if (const QString existing = baseNameVariants(workspace.baseDir(), toc).variantOf(form.name);
        problem.isEmpty() && !existing.isEmpty())
        problem = caseVariantMessage(form.name, existing);
    if (!problem.isEmpty()) {
        return Outcome::refusal(problem, Field::Name);
    }
    problem = checkStorableText(form.notes, QStringLiteral("Примечание к смете"));
    if (problem.isEmpty())
        problem = entriesProblem(estimate.entries);
    if (!problem.isEmpty()) {
        return Outcome::refusal(problem, Field::Code);
    }

    QString subdivisionName;
    if (const auto settings = readSettings(workspace, SettingsBlock::Last))
        subdivisionName = settings->name;
    const TocRecord record{form.code, form.name, form.notes};

    // The file first: a record is never listed without its file. The success
    // message waits until the record is listed too.
    writeEstimateFile(workspace, form.name, templateEstimateLines(estimate, today, subdivisionName));
    try {
        appendTocRecord(workspace, record);
    } catch (const Error &) {
        // A file without its record would be invisible until a rebuild.
        QFile::remove(workspace.estimatePath(form.name));
        throw;
    }
    const Outcome outcome =
        Outcome::done(QStringLiteral("Смета под именем ") + form.name + QStringLiteral(" успешно записана в базу."));

    form.code = QStringLiteral("   ");
    form.name.clear();
    form.notes.clear();
    change = {record.line(), {}, -1};
    return outcome;
}

} // namespace vastrel
