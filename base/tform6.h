#pragma once

#include "base/messages.h"
#include "base/workspace.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace vastrel {
class CodeEdit;
}

// The settings window "Ввод основных параметров системы".
class TForm6 : public QDialog
{
    Q_OBJECT
public:
    TForm6(const vastrel::Workspace &workspace, vastrel::MessageService &messages, QWidget *parent = nullptr);

private:
    void showSettings();  // "показать настройки "
    void storeSettings(); // "загрузить настройки"

    const vastrel::Workspace &m_workspace;
    vastrel::MessageService &m_messages;
    QLineEdit *m_name;
    QLineEdit *m_headPosition;
    QLineEdit *m_headName;
    vastrel::CodeEdit *m_code;
    QButtonGroup *m_status;
    QLineEdit *m_responsiblePosition;
    QLineEdit *m_responsibleName;
    QLabel *m_statusStrip;
};
