#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDialog>

// The operations window "Операции со сметами". It refills the main window's
// estimate selector through `mainWindow` after changing the table of contents.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    TForm5(const vastrel::Workspace &workspace, vastrel::EstimateWindow &mainWindow,
           vastrel::MessageService &messages, QWidget *parent = nullptr);

private:
    const vastrel::Workspace &m_workspace;
    vastrel::EstimateWindow &m_mainWindow;
    vastrel::MessageService &m_messages;
};
