#include "cli/cli.h"

#include "operations/drives.h"
#include "operations/media_import.h"

#include <QDir>

namespace vastrel::cli {

int runImport(Context &context, Arguments &args)
{
    const std::optional<QString> source = args.take(QStringLiteral("--from"));
    const bool replace = args.takeFlag(QStringLiteral("--replace"));
    const bool verbose = args.takeFlag(QStringLiteral("--verbose"));
    if (!source || source->isEmpty())
        throw UsageError{
            QStringLiteral("Укажите каталог носителя: import --from КАТАЛОГ [ИМЯ...] [--replace] [--verbose]")};
    const QStringList names = args.rest();
    const Medium medium = Medium::at(QDir(context.workspace.root()).absoluteFilePath(*source));
    // No one to ask: a differing estimate is replaced only when the command line says so.
    const Outcome outcome = runAction(context.messages, [&] {
        return importFromMedium(
            context.workspace, medium, names, [replace](const QString &) { return replace; }, context.messages,
            verbose);
    });
    return exitStatus(context, outcome.ok());
}

} // namespace vastrel::cli
