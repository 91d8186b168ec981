#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"
#include "editing/registering.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace vastrel {
class CodeEdit;
}

// The new-estimate window "Ввод данных о новой смете". It reads and changes
// what the main window holds through `mainWindow`, which the main window
// takes back when this window has closed.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    TForm3(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
           vastrel::MessageService &messages, QWidget *parent = nullptr);

private:
    void showRecord();  // Button3 "показать "
    void store();       // Button1 "сохранить изменения"

    vastrel::NewEstimateForm readForm() const;
    void writeForm(const vastrel::NewEstimateForm &form);

    const vastrel::Workspace &m_workspace;
    vastrel::EstimateWindow &m_mainWindow;
    vastrel::MessageService &m_messages;
    QLineEdit *m_name;
    QLineEdit *m_notes;
    QComboBox *m_source;
    vastrel::CodeEdit *m_code;
};
