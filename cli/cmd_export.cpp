#include "cli/cli.h"
#include "cli/pdf_drawing.h"

#include "editing/calculation.h"
#include "editing/showing.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/document_target.h"
#include "export/xlsx_backend.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QDate>
#include <QDir>

namespace vastrel::cli {

namespace {

QString outputOption(Arguments &args, const char *command)
{
    const auto output = args.take(QStringLiteral("-o"));
    if (!output || output->isEmpty())
        throw UsageError{QStringLiteral("Команде %1 нужен файл документа: -o ФАЙЛ.xlsx или -o ФАЙЛ.pdf")
                             .arg(QLatin1String(command))};
    return *output;
}

// The extension chooses the format; the file is written whole or not at all.
void keepDocument(const SheetModel &sheet, const QString &path)
{
    const QByteArray bytes = isPdfPath(path) ? pdfThroughModule(sheet) : xlsxBytes(sheet);
    writeFileAtomically(path, QDir::toNativeSeparators(path), bytes);
}

QStringList tocLines(const Workspace &workspace)
{
    return fileExists(workspace.tocPath()) ? readToc(workspace) : QStringList();
}

} // namespace

int runExportBreakdown(Context &context, Arguments &args)
{
    const QString output = outputOption(args, "export-breakdown");
    const auto from = args.take(QStringLiteral("--from"));
    Estimate estimate = args.takeEstimate();
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команда export-breakdown не принимает имён; смета задаётся --from.")};
    const Outcome outcome = runAction(context.messages, [&] {
        if (const QString problem = documentTargetProblem(context.workspace, output); !problem.isEmpty())
            return Outcome::refusal(problem);
        if (from) {
            if (!listsName(tocLines(context.workspace), *from))
                return Outcome::refusal(QStringLiteral("Смета \"%1\" не найдена в оглавлении.").arg(*from));
            if (const Outcome shown = showEstimate(context.workspace, from, estimate); !shown)
                return shown;
        }
        // The document checks the totals, which only a calculation fills.
        EstimateTotals totals;
        if (const Outcome calculated = calculateTotals(estimate.entries, totals); !calculated)
            return calculated;
        BreakdownData data;
        if (const Outcome prepared = prepareBreakdown(context.workspace, estimate, totals, QDate::currentDate(), data);
            !prepared)
            return prepared;
        SheetModel sheet;
        writeBreakdown(sheet, data);
        keepDocument(sheet, context.workspace.resolve(output));
        return Outcome::done();
    });
    return exitStatus(context, outcome.ok());
}

int runExportConsolidated(Context &context, Arguments &args)
{
    const QString output = outputOption(args, "export-consolidated");
    const QStringList names = args.rest();
    if (names.size() != 1)
        throw UsageError{QStringLiteral("Команде export-consolidated нужно одно имя сметы.")};
    const Outcome outcome = runAction(context.messages, [&] {
        if (const QString problem = documentTargetProblem(context.workspace, output); !problem.isEmpty())
            return Outcome::refusal(problem);
        const QStringList lines = tocLines(context.workspace);
        // Every record of the name counts, as the window's selection would.
        QStringList selected;
        for (const QString &line : lines) {
            if (estimateNameOf(line) == names.first())
                selected.append(names.first());
        }
        // The window's "select one" refusal would not tell which name was wrong.
        if (selected.isEmpty())
            return Outcome::refusal(QStringLiteral("Смета \"%1\" не найдена в оглавлении.").arg(names.first()));
        const Outcome estimate = estimateToExport(selected);
        if (!estimate)
            return estimate;
        const ConsolidatedData data = prepareConsolidated(context.workspace, estimate.value(), QDate::currentDate());
        SheetModel sheet;
        writeConsolidated(sheet, data);
        keepDocument(sheet, context.workspace.resolve(output));
        return Outcome::done();
    });
    return exitStatus(context, outcome.ok());
}

} // namespace vastrel::cli
