#pragma once

#include "domain/messages.h"
#include "store/workspace.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace vastrel {

class CodeEdit;

// The settings window "Ввод основных параметров системы".
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SettingsDialog(const Workspace &workspace, MessageService &messages, QWidget *parent = nullptr);

private:
    void showSettings();  // "показать настройки "
    void storeSettings(); // "загрузить настройки"

    const Workspace &m_workspace;
    MessageService &m_messages;
    QLineEdit *m_name;
    QLineEdit *m_headPosition;
    QLineEdit *m_headName;
    CodeEdit *m_code;
    QButtonGroup *m_status;
    QLineEdit *m_responsiblePosition;
    QLineEdit *m_responsibleName;
    QLabel *m_statusStrip;
};

} // namespace vastrel
