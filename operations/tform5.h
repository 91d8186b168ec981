#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"
#include "operations/drives.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QComboBox;
class QListWidget;

// The operations window "Операции со сметами". It refills the main window's
// estimate selector through `mainWindow` after changing the table of contents.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    TForm5(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
           vastrel::MessageService &messages, QWidget *parent = nullptr);

    // Where "на дискету" copies to; the mounted floppy unless replaced (tests).
    void setDisketteMedium(std::function<vastrel::Medium()> diskette) { m_diskette = std::move(diskette); }

private:
    QStringList listLines() const;
    QList<int> selectedRows() const;
    // Both lists from departments.txt, emptied first.
    void refillLists();
    void copyTo(const vastrel::Medium &medium);

    void deleteEstimate();    // Button4
    void sumEstimates();      // Button1
    void exportConsolidated(); // Button5
    void copyToDiskette();    // Button3
    void rebuildToc();        // Button6
    void copyToFlashDrive();  // Button9
    void importFromMedium();  // Button10: from the drive list's medium

    const vastrel::Workspace &m_workspace;
    vastrel::EstimateWindow &m_mainWindow;
    vastrel::MessageService &m_messages;
    std::function<vastrel::Medium()> m_diskette;

    QListWidget *m_list;
    QComboBox *m_drive;
};
