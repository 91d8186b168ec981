#include "cli/cli.h"

#include "editing/calculation.h"
#include "editing/registering.h"
#include "editing/saving.h"
#include "editing/showing.h"
#include "store/table_of_contents.h"


namespace vastrel::cli {

namespace {

// The name when the table of contents lists it, as choosing it in the
// estimate selector would give; none otherwise.
std::optional<QString> listedName(const Workspace &workspace, const QString &name)
{
    if (listsName(readToc(workspace, OpenFailure::FileNotFound), name))
        return name;
    return std::nullopt;
}

QString onlyName(Arguments &args, const char *command)
{
    const std::optional<QString> name = args.takeFirst();
    const QStringList rest = args.rest();
    if (!name || !rest.isEmpty())
        throw UsageError{QStringLiteral("Команде %1 нужно одно имя сметы.").arg(QLatin1String(command))};
    return *name;
}

} // namespace

int runRegister(Context &context, Arguments &args)
{
    const std::optional<QString> name = args.takeFirst();
    NewEstimateForm form;
    const std::optional<QString> code = args.take(QStringLiteral("--code"));
    form.notes = args.take(QStringLiteral("--notes")).value_or(QString());
    Estimate estimate = args.takeEstimate();
    if (!name || !args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команде register нужно одно имя сметы.")};
    form.name = *name;

    const std::optional<QString> fieldText = codeFieldText(context, code);
    if (!fieldText)
        return ExitRefused;
    form.code = *fieldText;
    const Outcome outcome = runAction(context.messages, [&] {
        TocChange change; // no list to follow it
        return storeNewEstimate(context.workspace, form, estimate, QString(), change);
    });
    return exitStatus(context, outcome.ok());
}

int runSave(Context &context, Arguments &args)
{
    Estimate estimate = args.takeEstimate();
    const QString name = onlyName(args, "save");
    const Outcome outcome = runAction(context.messages, [&] {
        const std::optional<QString> listed = listedName(context.workspace, name);
        EstimateTotals totals;
        const Outcome calculated = calculateTotals(estimate.entries, totals);
        return calculated ? saveEstimate(context.workspace, listed, estimate, SaveBasis{totals, false, QString()})
                          : calculated;
    });
    return exitStatus(context, outcome.ok());
}

int runShow(Context &context, Arguments &args)
{
    const QString name = onlyName(args, "show");
    Estimate estimate;
    const bool ok = runAction(context.messages, [&] {
                        return showEstimate(context.workspace, listedName(context.workspace, name), estimate);
                    }).ok();
    if (ok) {
        const int code = estimate.incomeCode;
        printLine(QStringLiteral("income-code=") +
                  (code >= 0 && code < IncomeCodeCount ? incomeCodes()[size_t(code)].code : QString()));
        printLine(QStringLiteral("source=") +
                  (estimate.source >= 0 ? QString::number(estimate.source + 1) : QString()));
        printLine(QStringLiteral("remainder=") + estimate.entries.remainder);
        printLine(QStringLiteral("income=") + estimate.entries.income);
        for (size_t i = 0; i < estimate.entries.expenses.size(); ++i)
            printLine(expenseLines()[i].shortCode + QLatin1Char('=') + estimate.entries.expenses[i]);
    }
    return exitStatus(context, ok);
}

} // namespace vastrel::cli
