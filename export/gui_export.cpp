#include "export/gui_export.h"

#include "base/text_file.h"
#include "export/breakdown_document.h"
#include "export/consolidated_document.h"
#include "export/xlsx_backend.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
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

QString suggestedPath(const Workspace &workspace, const QString &fileName)
{
    QString directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = workspace.root();
    return QDir(directory).filePath(fileName);
}

// The document is complete before the user is asked, so declining or a
// failed write leaves nothing behind.
void deliver(QWidget *parent, const Workspace &workspace, const QByteArray &bytes, const QString &fileName,
             MessageService &messages)
{
    QString path = documentDelivery().chooseFile(parent, suggestedPath(workspace, fileName));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    const bool kept = runAction(messages, [&] {
        writeFileAtomically(path, QDir::toNativeSeparators(path), bytes);
        return true;
    });
    // Without a spreadsheet program the user must still learn where the document is.
    if (kept && !documentDelivery().open(path)) {
        messages.inform(QStringLiteral("Документ сохранён в файле «%1», но открыть его не удалось: "
                                       "в системе не найдена программа для электронных таблиц.")
                            .arg(QDir::toNativeSeparators(path)));
    }
}

} // namespace

DocumentDelivery &documentDelivery()
{
    static DocumentDelivery delivery{
        [](QWidget *parent, const QString &suggested) {
            return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить документ"), suggested,
                                                QStringLiteral("Книга Excel (*.xlsx)"));
        },
        [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); },
    };
    return delivery;
}

void exportBreakdownFromWindow(QWidget *parent, const Workspace &workspace, const EstimateWindow &window,
                               MessageService &messages)
{
    const QDate today = QDate::currentDate();
    QByteArray bytes;
    const bool built = runAction(messages, [&] {
        const auto data = prepareBreakdown(workspace, window, today, messages);
        if (!data)
            return false;
        BusyCursor busy;
        XlsxBackend book;
        writeBreakdown(book, *data);
        bytes = book.bytes();
        return true;
    });
    if (built)
        deliver(parent, workspace, bytes, breakdownFileName(window, today), messages);
}

bool exportConsolidatedFromWindow(QWidget *parent, const Workspace &workspace, const QStringList &lines,
                                  const QList<int> &selected, MessageService &messages)
{
    const auto estimate = estimateToExport(lines, selected, messages);
    if (!estimate)
        return false;
    QByteArray bytes;
    const bool built = runAction(messages, [&] {
        BusyCursor busy;
        const ConsolidatedData data = prepareConsolidated(workspace, *estimate, QDate::currentDate());
        XlsxBackend book;
        writeConsolidated(book, data);
        bytes = book.bytes();
        return true;
    });
    if (!built)
        return false;
    deliver(parent, workspace, bytes, consolidatedFileName(*estimate), messages);
    return true;
}

} // namespace vastrel
