#pragma once

#include <QString>
#include <functional>

namespace vastrel {

enum class MessageKind {
    Information, // success and other news; the action went on
    Refusal,     // a check failed; nothing was written
    Error,       // the default handler's report of an Error
};

// The one way the logic speaks to the user: a message box in the program,
// a recording in tests, standard output or error in the command-line tool.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual void show(MessageKind kind, const QString &text) = 0;

    // A yes/no question whose default answer is "нет"; a service that has no
    // one to ask gives that answer.
    virtual bool ask(const QString &question)
    {
        Q_UNUSED(question);
        return false;
    }

    void inform(const QString &text) { show(MessageKind::Information, text); }
    void refuse(const QString &text) { show(MessageKind::Refusal, text); }
};

} // namespace vastrel
