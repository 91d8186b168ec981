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

Outcome Outcome::refusal(const QString &message, Field field)
{
    Outcome outcome;
    outcome.m_ok = false;
    outcome.m_kind = MessageKind::Refusal;
    outcome.m_message = message;
    outcome.m_field = field;
    return outcome;
}

Outcome Outcome::error(const QString &message, Field field)
{
    Outcome outcome;
    outcome.m_ok = false;
    outcome.m_kind = MessageKind::Error;
    outcome.m_message = message;
    outcome.m_field = field;
    return outcome;
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
