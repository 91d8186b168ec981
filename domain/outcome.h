#pragma once

#include "domain/messages.h"

#include <QString>

#include <functional>

namespace vastrel {

// The field of a form or of the estimate that a failure is about, so that the
// window puts the focus there. Each window knows which of its controls a kind
// stands for; `expense` picks the expense line (catalogue order).
struct Field
{
    enum Kind : unsigned char {
        None,
        // the estimate's entries and the main window's choices
        Remainder,
        Income,
        Expense,
        Source,
        // the new-estimate and settings forms
        Name,
        Code,
        HeadPosition,
        HeadName,
        Status,
        ResponsiblePosition,
        ResponsibleName,
    };

    Kind kind = None;
    int expense = -1;

    Field() = default;
    Field(Kind k)
        : kind(k)
    {} // NOLINT: a kind names its field
    static Field expenseLine(int index);
    bool operator==(const Field &) const = default;
};

// What one operation of the logic came to: done or not, the last message it
// leaves for the caller to show (none when it has nothing to say), where it
// makes one the name of what it made, and on failure the field to fix. The
// logic never shows this message itself, so a window, the command-line tool
// and a test each show it their way.
class Outcome
{
public:
    // Done; an empty message shows nothing.
    static Outcome done(const QString &message = {}, const QString &value = {});
    // Not done: a check refused.
    static Outcome refusal(const QString &message, Field field = {});
    // Not done: an error stopped it.
    static Outcome error(const QString &message, Field field = {});

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    MessageKind kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    const QString &value() const { return m_value; }
    const Field &field() const { return m_field; }

private:
    friend Outcome shownIn(MessageService &, const Outcome &);
    static Outcome failure(MessageKind kind, const QString &message, Field field);

    bool m_ok = true;
    MessageKind m_kind = MessageKind::Information;
    QString m_message;
    QString m_value;
    Field m_field;
};

// Shows the outcome's message, if it has one, and hands the outcome back.
const Outcome &report(MessageService &messages, const Outcome &outcome);

// The outcome once its message has been shown: the same result with nothing
// left to say. For operations that speak on the way and so show every
// message themselves.
Outcome shownIn(MessageService &messages, const Outcome &outcome);

// Runs one user action as the application's default error handler would:
// shows the outcome's message, or the Error that ended the action (an error
// outcome then); the program goes on.
Outcome runAction(MessageService &messages, const std::function<Outcome()> &action);

} // namespace vastrel
