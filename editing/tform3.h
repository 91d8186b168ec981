#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDialog>

// The new-estimate window "Ввод данных о новой смете". It reads and changes
// what the main window holds through `mainWindow`.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    TForm3(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
           vastrel::MessageService &messages, QWidget *parent = nullptr);

private:
    const vastrel::Workspace &m_workspace;
    vastrel::EstimateWindow &m_mainWindow;
    vastrel::MessageService &m_messages;
};
