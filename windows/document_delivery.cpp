#include "windows/document_delivery.h"

#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/document_target.h"
#include "export/pdf/pdf_backend.h"
#include "export/xlsx_backend.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace vastrel {

namespace {

class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// The folder of the last document kept is the user's, not the subdivision's:
// it lives in the user's settings, never in a file other installations read.
QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("vastrel-taver"),
                     QStringLiteral("vastrel-taver"));
}

const QString LastFolderKey = QStringLiteral("documents/lastFolder");

QString suggestedPath(const Workspace &workspace, const QString &fileName)
{
    QString directory = userSettings().value(LastFolderKey).toString();
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = workspace.root();
    return QDir(directory).filePath(fileName);
}

void rememberFolderOf(const QString &path)
{
    QSettings settings = userSettings();
    settings.setValue(LastFolderKey, QFileInfo(path).absolutePath());
}

// The workbook is complete before the user is asked, so declining or a
// failed write leaves nothing behind; a PDF is drawn from the same sheet.
// True when the document was kept.
bool deliver(QWidget *parent, DocumentDelivery &delivery, const Workspace &workspace, const SheetModel &sheet,
             const QByteArray &workbook, const QString &fileName, MessageService &messages)
{
    QString path = delivery.chooseFile(parent, suggestedPath(workspace, fileName));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) && !isPdfPath(path))
        path += QStringLiteral(".xlsx");
    if (const QString problem = documentTargetProblem(workspace, path); !problem.isEmpty()) {
        messages.refuse(problem);
        return false;
    }
    const bool kept =
        runAction(messages, [&] {
            BusyCursor busy;
            writeFileAtomically(path, QDir::toNativeSeparators(path), isPdfPath(path) ? pdfBytes(sheet) : workbook);
            return Outcome::done();
        }).ok();
    if (kept)
        rememberFolderOf(path);
    // Without a program for the file the user must still learn where the document is.
    if (kept && !delivery.open(path)) {
        const QString program = isPdfPath(path) ? QStringLiteral("программа для просмотра PDF")
                                                : QStringLiteral("программа для электронных таблиц");
        messages.inform(QStringLiteral("Документ сохранён в файле «%1», но открыть его не удалось: "
                                       "в системе не найдена %2.")
                            .arg(QDir::toNativeSeparators(path), program));
    }
    return kept;
}

} // namespace

QString DesktopDelivery::chooseFile(QWidget *parent, const QString &suggestedPath)
{
    const QString workbook = QStringLiteral("Книга Excel (*.xlsx)");
    const QString pdf = QStringLiteral("PDF (*.pdf)");
    QString chosen = workbook;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить документ"), suggestedPath,
                                                workbook + QStringLiteral(";;") + pdf, &chosen);
    // A name typed without extension takes the chosen type's.
    if (!path.isEmpty() && chosen == pdf && !isPdfPath(path)) {
        if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
            path.chop(5);
        path += QStringLiteral(".pdf");
    }
    return path;
}

bool DesktopDelivery::open(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void exportBreakdownFromWindow(QWidget *parent, DocumentDelivery &delivery, const Workspace &workspace,
                               const EstimateWindow &window, MessageService &messages)
{
    const QDate today = QDate::currentDate();
    SheetModel sheet;
    QByteArray workbook;
    const bool built =
        runAction(messages, [&] {
            BreakdownData data;
            if (const Outcome prepared = prepareBreakdown(workspace, window.estimate(), window.totals(), today, data);
                !prepared)
                return prepared;
            BusyCursor busy;
            writeBreakdown(sheet, data);
            workbook = xlsxBytes(sheet);
            return Outcome::done();
        }).ok();
    if (built)
        deliver(parent, delivery, workspace, sheet, workbook,
                breakdownFileName(estimateNameOf(window.selectedLine()), today), messages);
}

bool exportConsolidatedFromWindow(QWidget *parent, DocumentDelivery &delivery, const Workspace &workspace,
                                  const QStringList &selectedNames, MessageService &messages)
{
    const Outcome estimate = report(messages, estimateToExport(selectedNames));
    if (!estimate.ok())
        return false;
    SheetModel sheet;
    QByteArray workbook;
    const bool built = runAction(messages, [&] {
                           BusyCursor busy;
                           const ConsolidatedData data =
                               prepareConsolidated(workspace, estimate.value(), QDate::currentDate());
                           writeConsolidated(sheet, data);
                           workbook = xlsxBytes(sheet);
                           return Outcome::done();
                       }).ok();
    return built &&
           deliver(parent, delivery, workspace, sheet, workbook, consolidatedFileName(estimate.value()), messages);
}

} // namespace vastrel
