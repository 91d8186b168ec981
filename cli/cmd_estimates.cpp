#include "cli/cli.h"

#include "editing/calculation.h"
#include "editing/registering.h"
#include "editing/saving.h"
#include "editing/showing.h"
#include "store/table_of_contents.h"


namespace vastrel::cli {

namespace {

// The estimate selector as the main window fills it, with the first record
// of the given name selected (none when there is no such record).
void selectEstimate(const Workspace &workspace, EstimateWindow &window, const QString &name)
{
    window.selectorItems = readToc(workspace, OpenFailure::FileNotFound);
    window.selectorIndex = -1;
    for (int i = 0; i < window.selectorItems.size(); ++i) {
        if (estimateNameOf(window.selectorItems.at(i)) == name) {
            window.selectorIndex = i;
            return;
        }
    }
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
    EstimateWindow window;
    args.takeWindowOptions(window);
    if (!name || !args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команде register нужно одно имя сметы.")};
    form.name = *name;

    const std::optional<QString> fieldText = codeFieldText(context, code);
    if (!fieldText)
        return ExitRefused;
    form.code = *fieldText;
    const Outcome outcome =
        runAction(context.messages, [&] { return storeNewEstimate(context.workspace, form, window); });
    return exitStatus(context, outcome.ok());
}

int runSave(Context &context, Arguments &args)
{
    EstimateWindow window;
    args.takeWindowOptions(window);
    const QString name = onlyName(args, "save");
    const Outcome outcome = runAction(context.messages, [&] {
        selectEstimate(context.workspace, window, name);
        const Outcome calculated = calculate(window);
        return calculated
                   ? saveEstimate(context.workspace, window.selectedName(), window.estimate(), window.saveBasis())
                   : calculated;
    });
    return exitStatus(context, outcome.ok());
}

int runShow(Context &context, Arguments &args)
{
    const QString name = onlyName(args, "show");
    EstimateWindow window;
    const bool ok = runAction(context.messages, [&] {
                        selectEstimate(context.workspace, window, name);
                        const std::optional<QString> selected = window.selectedName();
                        Estimate estimate = window.estimate();
                        const Outcome shown = showEstimate(context.workspace, selected, estimate);
                        if (shown)
                            window.showStored(*selected, estimate);
                        return shown;
                    }).ok();
    if (ok) {
        printLine(QStringLiteral("income-code=") + window.incomeCodeText);
        printLine(QStringLiteral("source=") + (window.source >= 0 ? QString::number(window.source + 1) : QString()));
        printLine(QStringLiteral("remainder=") + window.remainder);
        printLine(QStringLiteral("income=") + window.income);
        for (size_t i = 0; i < window.expenses.size(); ++i)
            printLine(expenseLines()[i].shortCode + QLatin1Char('=') + window.expenses[i]);
    }
    return exitStatus(context, ok);
}

} // namespace vastrel::cli
