#include "domain/outcome.h"

#include "domain/error.h"

namespace vastrel {

Outcome Outcome::done(const QString &message, const QString &value)
{
    Outcome outcome;
    outcome.m_message = message;
    outcome.m_value = value;
    return outcome;
}

Field Field::expenseLine(int index)
{
    Field field(Expense);
    field.expense = index;
    return field;
}

Outcome Outcome::failure(MessageKind kind, const QString &message, Field field)
{
    Outcome outcome;
    outcome.m_ok = false;
    outcome.m_kind = kind;
    outcome.m_message = message;
    outcome.m_field = field;
    return outcome;
}

Outcome Outcome::refusal(const QString &message, Field field)
{
    return failure(MessageKind::Refusal, message, field);
}

Outcome Outcome::error(const QString &message, Field field)
{
    return failure(MessageKind::Error, message, field);
}

const Outcome &report(MessageService &messages, const Outcome &outcome)
{
    if (!outcome.message().isEmpty())
        messages.show(outcome.kind(), outcome.message());
    return outcome;
}

Outcome shownIn(MessageService &messages, const Outcome &outcome)
{
    report(messages, outcome);
    Outcome silent = outcome;
    silent.m_message.clear();
    return silent;
}

Outcome runAction(MessageService &messages, const std::function<Outcome()> &action)
{
    try {
        return report(messages, action());
    } catch (const Error &error) {
        return report(messages, Outcome::error(error.text()));
    }
}

} // namespace vastrel
