#include "editing/tform3.h"

TForm3::TForm3(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
               vastrel::MessageService &messages, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_mainWindow(mainWindow)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Ввод данных о новой смете"));
}
