#include "base/workspace.h"
#include "windows/document_delivery.h"
#include "windows/message_boxes.h"
#include "windows/splash_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(vastrel::programCaption());
    // The splash window ends the program when it closes, even while it is hidden.
    app.setQuitOnLastWindowClosed(false);

    // Qt's own dialog buttons speak Russian.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

#ifdef Q_OS_WIN
    // Started from the menu, not from a workspace: the user's own one under
    // Documents, made on first start, as the starter does on Linux.
    if (!QFileInfo::exists(vastrel::Workspace().tocPath())) {
        const QString root = qEnvironmentVariableIsSet("VASTREL_WORKSPACE")
                                 ? qEnvironmentVariable("VASTREL_WORKSPACE")
                                 : QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                       .filePath(QStringLiteral("Вастрель-Тавер"));
        QString reason;
        const QString program = vastrel::ensureUserWorkspace(root, &reason);
        if (program.isEmpty() || !QDir::setCurrent(program)) {
            vastrel::MessageBoxes().refuse(reason.isEmpty() ? QStringLiteral("Нет каталога %1.").arg(program) : reason);
            return 1;
        }
    }
#endif
    const vastrel::Workspace workspace;
    vastrel::MessageBoxes messages;
    vastrel::DesktopDelivery delivery;
    vastrel::SplashWindow splash(workspace, messages, delivery);
    splash.show();
    return app.exec();
}
