#pragma once

#include "domain/messages.h"

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
    // Questions are kept and answered in turn from `answers`, "нет" once they run out.
    bool ask(const QString &question) override
    {
        questions.append(question);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QStringList questions;
    QList<bool> answers;

    const QList<Message> &all() const { return m_messages; }
    QStringList texts() const;
    // Each message's first line: the platform's English text of an error without its Russian advice.
    QStringList firstLines() const;
    QString last() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    QString lastFirstLine() const { return last().section(QLatin1Char('\n'), 0, 0); }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
};

} // namespace vastrel::test
