#pragma once

#include "domain/messages.h"
#include "store/workspace.h"

#include <QWidget>

class QTimer;

namespace vastrel {

class DocumentDelivery;

// The splash window; it is the application's main window, so closing it ends
// the program. Its one-shot timer opens the main window modally.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    SplashWindow(const Workspace &workspace, MessageService &messages, DocumentDelivery &delivery,
                 QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void openMainWindow();

    const Workspace &m_workspace;
    MessageService &m_messages;
    DocumentDelivery &m_delivery;
    QTimer *m_timer;
};

} // namespace vastrel
