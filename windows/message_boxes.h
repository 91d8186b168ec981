#pragma once

#include "base/messages.h"

#include <QPointer>
#include <QWidget>

namespace vastrel {

// The program's message service: one modal message box per message.
class MessageBoxes : public MessageService
{
public:
    explicit MessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(MessageKind kind, const QString &text) override;
    bool ask(const QString &question) override;

private:
    QPointer<QWidget> m_parent;
};

// The caption of the program's windows and message boxes.
QString programCaption();

} // namespace vastrel
