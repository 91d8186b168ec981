#include "base/messages.h"

#include "base/error.h"

namespace vastrel {

bool runAction(MessageService &messages, const std::function<bool()> &action)
{
    try {
        return action();
    } catch (const Error &error) {
        messages.show(MessageKind::Error, error.text());
        return false;
    }
}

} // namespace vastrel
