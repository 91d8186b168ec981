#pragma once

#include "base/messages.h"
#include "base/workspace.h"

#include <QWidget>

class QTimer;

// The splash window; it is the application's main window, so closing it ends
// the program. Its one-shot timer opens the main window modally.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    TForm1(const vastrel::Workspace &workspace, vastrel::MessageService &messages, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void openMainWindow();

    const vastrel::Workspace &m_workspace;
    vastrel::MessageService &m_messages;
    QTimer *m_timer;
};
