#pragma once

#include "domain/messages.h"
#include "operations/drives.h"
#include "store/workspace.h"
#include "windows/state/estimate_window.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QListView;

namespace vastrel {

class DocumentDelivery;
class DriveList;
class SearchField;
class TocListModel;

// The operations window "Операции со сметами". It refills the main window's
// estimate selector through `mainWindow` after changing the table of contents.
class OperationsDialog : public QDialog
{
    Q_OBJECT
public:
    OperationsDialog(const Workspace &workspace, EstimateWindow &mainWindow, MessageService &messages,
                     DocumentDelivery &delivery, QWidget *parent = nullptr);

    // Where "на дискету" copies to; the mounted floppy unless replaced (tests).
    void setDisketteMedium(std::function<Medium()> diskette) { m_diskette = std::move(diskette); }

private:
    QStringList listLines() const;
    QList<int> selectedRows() const;
    // The selected lines and their estimates' names, in list order.
    QStringList selectedLines() const;
    QStringList selectedNames() const;
    // Both lists from departments.txt, emptied first.
    void refillLists();
    void copyTo(const Medium &medium);
    void narrowList(const QString &text);

    void deleteEstimate();     // Button4
    void sumEstimates();       // Button1
    void exportConsolidated(); // Button5
    void copyToDiskette();     // Button3
    void rebuildToc();         // Button6
    void copyToFlashDrive();   // Button9
    void importFromMedium();   // Button10: from the drive list's medium

    const Workspace &m_workspace;
    EstimateWindow &m_mainWindow;
    MessageService &m_messages;
    DocumentDelivery &m_delivery;
    std::function<Medium()> m_diskette;

    SearchField *m_search;
    QListView *m_list;
    // The lines live in the model alone, as the file's bytes: no string or
    // item object per line of a large base.
    TocListModel *m_lines;
    DriveList *m_drive;
};

} // namespace vastrel
