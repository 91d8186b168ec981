#include "domain/platform_noise.h"

#include <QString>
#include <QtGlobal>

namespace vastrel {

namespace {

QtMessageHandler qtHandler = nullptr;

bool isPlatformNoise(QtMsgType type, const QString &message)
{
    // Qt makes the runtime folder itself and goes on; the user has nothing to do.
    static const QString runtimeDirUnset = QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to ");
    static const QString sizeHints = QStringLiteral("This plugin does not support propagateSizeHints()");
    return type == QtWarningMsg && (message.startsWith(runtimeDirUnset) || message == sizeHints);
}

void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!isPlatformNoise(type, message))
        qtHandler(type, context, message);
}

} // namespace

void silencePlatformNoise()
{
    if (!qtHandler)
        qtHandler = qInstallMessageHandler(filterMessage);
}

} // namespace vastrel
