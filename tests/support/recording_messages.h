#pragma once

#include "base/messages.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vastrel::test {

// Keeps every message instead of showing it.
class RecordingMessages : public MessageService
{
public:
    struct Message
    {
        MessageKind kind;
        QString text;
    };

    void show(MessageKind kind, const QString &text) override { m_messages.append({kind, text}); }

    const QList<Message> &all() const { return m_messages; }
    QStringList texts() const;
    QString last() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
};

} // namespace vastrel::test
