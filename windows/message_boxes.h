#pragma once

#include "domain/messages.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QDialog;
class QMessageBox;

namespace vastrel {

// The program's message service: one modal message box per message.
class MessageBoxes : public MessageService
{
public:
    explicit MessageBoxes(QWidget *parent = nullptr)
        : m_parent(parent)
    {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(MessageKind kind, const QString &text) override;
    bool ask(const QString &question) override;

private:
    QWidget *parentForBox() const;

    QPointer<QWidget> m_parent;
};

// The box one message is shown in. However long the message, the box fits
// the screen: a message of more lines than the screen holds keeps its first
// lines and says how many there are, and the whole text is in the box's
// scrollable details.
std::unique_ptr<QMessageBox> messageBox(MessageKind kind, const QString &text, QWidget *parent);

// Runs the dialog modally and then gives the focus back to the window that
// opened it, which the window manager does not always do by itself.
int runModal(QDialog &dialog);

// The caption of the program's windows and message boxes.
QString programCaption();

} // namespace vastrel
