#include "operations/tform5.h"

TForm5::TForm5(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
               vastrel::MessageService &messages, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_mainWindow(mainWindow)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Операции со сметами"));
}
