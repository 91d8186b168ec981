#include "cli/cli.h"
#include "cli/pdf_drawing.h"

#include "base/table_of_contents.h"
#include "base/text_file.h"
#include "editing/calculation.h"
#include "editing/showing.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/document_target.h"
#include "export/xlsx_backend.h"

#include <QDate>
#include <QDir>

namespace vastrel::cli {

namespace {

QString outputOption(Arguments &args, const char *command)
{
    const auto output = args.take(QStringLiteral("-o"));
    if (!output || output->isEmpty())
        throw UsageError{QStringLiteral("Команде %1 нужен файл документа: -o ФАЙЛ.xlsx или -o ФАЙЛ.pdf").arg(QLatin1String(command))};
    return *output;
}

// The extension chooses the format; the file is written whole or not at all.
void keepDocument(const SheetModel &sheet, const QString &path)
{
    const QByteArray bytes = isPdfPath(path) ? pdfThroughModule(sheet) : xlsxBytes(sheet);
    writeFileAtomically(path, QDir::toNativeSeparators(path), bytes);
}

// Refused before the document is built: it never replaces the program's files.
bool targetRefused(Context &context, const QString &output)
{
    const QString problem = documentTargetProblem(context.workspace, output);
    if (!problem.isEmpty())
        context.messages.refuse(problem);
    return !problem.isEmpty();
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
    EstimateWindow window;
    args.takeWindowOptions(window);
    if (!args.rest().isEmpty())
        throw UsageError{QStringLiteral("Команда export-breakdown не принимает имён; смета задаётся --from.")};
    const bool ok = runAction(context.messages, [&] {
        if (targetRefused(context, output))
            return false;
        if (from) {
            window.selectorItems = tocLines(context.workspace);
            window.selectorIndex = -1;
            for (qsizetype i = 0; i < window.selectorItems.size() && window.selectorIndex < 0; ++i) {
                if (estimateNameOf(window.selectorItems.at(i)) == *from)
                    window.selectorIndex = int(i);
            }
            if (window.selectorIndex < 0) {
                context.messages.refuse(QStringLiteral("Смета \"%1\" не найдена в оглавлении.").arg(*from));
                return false;
            }
            if (!report(context.messages, showEstimate(context.workspace, window)).ok())
                return false;
        }
        // The document checks the totals, which only a calculation fills.
        calculate(window);
        BreakdownData data;
        if (!report(context.messages, prepareBreakdown(context.workspace, window, QDate::currentDate(), data)).ok())
            return false;
        SheetModel sheet;
        writeBreakdown(sheet, data);
        keepDocument(sheet, context.workspace.resolve(output));
        return true;
    });
    return exitStatus(context, ok);
}

int runExportConsolidated(Context &context, Arguments &args)
{
    const QString output = outputOption(args, "export-consolidated");
    const QStringList names = args.rest();
    if (names.size() != 1)
        throw UsageError{QStringLiteral("Команде export-consolidated нужно одно имя сметы.")};
    const bool ok = runAction(context.messages, [&] {
        if (targetRefused(context, output))
            return false;
        const QStringList lines = tocLines(context.workspace);
        QList<int> selected;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (estimateNameOf(lines.at(i)) == names.first())
                selected.append(int(i));
        }
        // The window's "select one" refusal would not tell which name was wrong.
        if (selected.isEmpty()) {
            context.messages.refuse(QStringLiteral("Смета \"%1\" не найдена в оглавлении.").arg(names.first()));
            return false;
        }
        const Outcome estimate = report(context.messages, estimateToExport(lines, selected));
        if (!estimate.ok())
            return false;
        const ConsolidatedData data = prepareConsolidated(context.workspace, estimate.value(), QDate::currentDate());
        SheetModel sheet;
        writeConsolidated(sheet, data);
        keepDocument(sheet, context.workspace.resolve(output));
        return true;
    });
    return exitStatus(context, ok);
}

} // namespace vastrel::cli
