#pragma once

#include "base/messages.h"

#include <QString>

#include <functional>

namespace vastrel {

// What one operation of the logic came to: done or not, the last message it
// leaves for the caller to show (none when it has nothing to say) and, where
// it makes one, the name of what it made. The logic never shows this message
// itself, so a window, the command-line tool and a test each show it their way.
class Outcome
{
public:
    // Done; an empty message shows nothing.
    static Outcome done(const QString &message = {}, const QString &value = {});
    // Not done: a check refused. `check` numbers the check (from 1) for
    // callers that move the focus by it.
    static Outcome refusal(const QString &message, int check = 0);
    // Not done: an error stopped it.
    static Outcome error(const QString &message);

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    MessageKind kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    const QString &value() const { return m_value; }
    int check() const { return m_check; }

private:
    bool m_ok = true;
    MessageKind m_kind = MessageKind::Information;
    QString m_message;
    QString m_value;
    int m_check = 0;
};

// Shows the outcome's message, if it has one, and hands the outcome back.
const Outcome &report(MessageService &messages, const Outcome &outcome);

// runAction for an operation with an outcome: shows its message, or the
// Error that ended it (an error outcome then).
Outcome runAction(MessageService &messages, const std::function<Outcome()> &action);

} // namespace vastrel
