// An estimate file as summing reads it, added twice to a second copy of itself.
#include "fuzz/sandbox.h"

#include "operations/summing.h"

#include <QDateTime>

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.clearBase();
    sandbox.write(Workspace::estimateName(QStringLiteral("e")), fuzz::bytesOf(data, size));
    sandbox.write(Workspace::tocName(), QByteArrayLiteral("001|e|\r\n002|e|\r\n"));
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        return sumEstimates(sandbox.workspace(), {QStringLiteral("e"), QStringLiteral("e")}, messages,
                            QDateTime(QDate(2026, 12, 7), QTime(9, 5, 33)));
    });
    return 0;
}
