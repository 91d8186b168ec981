#include "cli/cli.h"

#include "operations/deletion.h"
#include "operations/drives.h"
#include "operations/media_copy.h"
#include "operations/rebuild.h"
#include "store/table_of_contents.h"

#include <QDir>

namespace vastrel::cli {

namespace {

// The table-of-contents lines whose estimate name is one of `names`, in list order.
QStringList linesNaming(const QStringList &lines, const QStringList &names)
{
    QStringList selected;
    for (const QString &line : lines) {
        if (names.contains(estimateNameOf(line)))
            selected.append(line);
    }
    return selected;
}

} // namespace

int runDelete(Context &context, Arguments &args)
{
    const QStringList names = args.rest();
    if (names.size() != 1)
        throw UsageError{QStringLiteral("Команда delete принимает одно имя сметы.")};
    const Outcome outcome = runAction(context.messages, [&] {
        const QStringList lines = readToc(context.workspace, OpenFailure::CannotOpen);
        const QStringList selected = linesNaming(lines, names);
        if (const Outcome checked = checkDeletionSelection(selected); !checked)
            return checked;
        deleteEstimates(context.workspace, lines, selected);
        return Outcome::done();
    });
    return exitStatus(context, outcome.ok());
}

int runCopy(Context &context, Arguments &args)
{
    const std::optional<QString> target = args.take(QStringLiteral("--to"));
    if (!target || target->isEmpty())
        throw UsageError{QStringLiteral("Укажите каталог носителя: copy --to КАТАЛОГ ИМЯ...")};
    const QStringList names = args.rest();
    const Medium medium = Medium::at(QDir(context.workspace.root()).absoluteFilePath(*target));
    const Outcome outcome = runAction(context.messages, [&] {
        const QStringList lines = readToc(context.workspace, OpenFailure::CannotOpen);
        return copyToMedium(context.workspace, medium, lines, estimateNamesOf(linesNaming(lines, names)),
                            context.messages);
    });
    return exitStatus(context, outcome.ok());
}

int runRebuild(Context &context, Arguments &args)
{
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команда rebuild не принимает аргументов.")};
    const Outcome outcome = runAction(context.messages, [&] { return rebuildToc(context.workspace); });
    return exitStatus(context, outcome.ok());
}

} // namespace vastrel::cli
