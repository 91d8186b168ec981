#include "cli/cli.h"

#include "editing/calculation.h"
#include "store/settings.h"
#include "store/table_of_contents.h"


namespace vastrel::cli {

int runCalc(Context &context, Arguments &args)
{
    Estimate estimate = args.takeEstimate();
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команда calc не принимает имён.")};
    EstimateTotals totals;
    const Outcome calculated = report(context.messages, calculateTotals(estimate.entries, totals));
    if (calculated) {
        printLine(QStringLiteral("итого доходов: ") + totals.income);
        printLine(QStringLiteral("итого расходов: ") + totals.expense);
    }
    return exitStatus(context, calculated.ok());
}

namespace {

int showSettings(Context &context)
{
    const Outcome outcome = runAction(context.messages, [&] {
        const auto settings = readSettings(context.workspace, SettingsBlock::First);
        if (!settings)
            return Outcome::refusal(settingsMissingMessage());
        for (const QString &value : {settings->name, settings->headPosition, settings->headName, settings->code,
                                     settings->status, settings->responsiblePosition, settings->responsibleName})
            printLine(value);
        return Outcome::done();
    });
    return exitStatus(context, outcome.ok());
}

int storeSettingsFromArguments(Context &context, Arguments &args)
{
    SettingsForm form;
    form.name = args.take(QStringLiteral("--name")).value_or(QString());
    form.headPosition = args.take(QStringLiteral("--head-position")).value_or(QString());
    form.headName = args.take(QStringLiteral("--head-name")).value_or(QString());
    const std::optional<QString> code = args.take(QStringLiteral("--code"));
    if (const auto status = args.take(QStringLiteral("--status"))) {
        form.statusItem = statusItemOfCode(*status);
        if (form.statusItem < 0)
            throw UsageError{QStringLiteral("Юридический статус задаётся кодом 1, 3 или 2.")};
    }
    form.responsiblePosition = args.take(QStringLiteral("--resp-position")).value_or(QString());
    form.responsibleName = args.take(QStringLiteral("--resp-name")).value_or(QString());
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Лишние аргументы команды settings store.")};

    const std::optional<QString> fieldText = codeFieldText(context, code);
    if (!fieldText)
        return ExitRefused;
    form.code = *fieldText;
    const Outcome outcome = runAction(context.messages, [&] { return storeSettings(context.workspace, form); });
    return exitStatus(context, outcome.ok());
}

} // namespace

int runSettings(Context &context, Arguments &args)
{
    const QString subcommand = args.takeFirst().value_or(QString());
    if (subcommand == QLatin1String("show")) {
        if (!args.rest().isEmpty())
            throw UsageError{QStringLiteral("Лишние аргументы команды settings show.")};
        return showSettings(context);
    }
    if (subcommand == QLatin1String("store"))
        return storeSettingsFromArguments(context, args);
    throw UsageError{QStringLiteral("Используйте settings show или settings store.")};
}

int runList(Context &context, Arguments &args)
{
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команда list не принимает аргументов.")};
    const Outcome outcome = runAction(context.messages, [&] {
        readTocUtf8(context.workspace, printUtf8);
        return Outcome::done();
    });
    return exitStatus(context, outcome.ok());
}

} // namespace vastrel::cli
