#include "cli/cli.h"

#include "operations/summing.h"
#include "store/table_of_contents.h"

#include <QSet>

namespace vastrel::cli {

// "vastrel sum NAME...": the operations list is the table of contents; every
// record whose estimate name is one of the names is selected. One pass over
// the table with a set of names, so a whole delivered base sums quickly.
int runSum(Context &context, Arguments &args)
{
    const QStringList names = args.rest();
    QString name;
    const bool ok =
        runAction(context.messages, [&] {
            const QStringList lines = readToc(context.workspace);
            const QSet<QString> wanted(names.cbegin(), names.cend());
            QSet<QString> found;
            QStringList selected; // in list order, once per record
            for (const QString &line : lines) {
                const QString estimate = estimateNameOf(line);
                if (wanted.contains(estimate)) {
                    selected.append(estimate);
                    found.insert(estimate);
                }
            }
            // A mistyped name would silently leave an estimate out of the sums.
            bool allFound = true;
            for (const QString &wantedName : names) {
                if (!found.contains(wantedName)) {
                    context.messages.refuse(QStringLiteral("Смета «%1» не найдена в оглавлении базы.").arg(wantedName));
                    allFound = false;
                    found.insert(wantedName); // once per name
                }
            }
            if (!allFound)
                return Outcome::refusal({});
            const Outcome outcome = sumEstimates(context.workspace, selected, context.messages);
            name = outcome.value();
            return outcome;
        }).ok();
    if (ok)
        printLine(name);
    return exitStatus(context, ok);
}

} // namespace vastrel::cli
