#pragma once

#include "domain/messages.h"
#include "editing/registering.h"
#include "store/workspace.h"
#include "windows/state/estimate_window.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace vastrel {

class CodeEdit;

// The new-estimate window "Ввод данных о новой смете". It reads and changes
// what the main window holds through `mainWindow`, which the main window
// takes back when this window has closed.
class NewEstimateDialog : public QDialog
{
    Q_OBJECT
public:
    NewEstimateDialog(const Workspace &workspace, EstimateWindow &mainWindow, MessageService &messages,
                      QWidget *parent = nullptr);

private:
    void showRecord(); // Button3 "показать "
    void store();      // Button1 "сохранить изменения"

    NewEstimateForm readForm() const;
    void writeForm(const NewEstimateForm &form);

    const Workspace &m_workspace;
    EstimateWindow &m_mainWindow;
    MessageService &m_messages;
    QLineEdit *m_name;
    QLineEdit *m_notes;
    QComboBox *m_source;
    CodeEdit *m_code;
};

} // namespace vastrel
