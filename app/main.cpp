#include "base/workspace.h"
#include "windows/document_delivery.h"
#include "windows/message_boxes.h"
#include "windows/splash_window.h"

#include <QApplication>
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

    const vastrel::Workspace workspace;
    vastrel::MessageBoxes messages;
    vastrel::DesktopDelivery delivery;
    vastrel::SplashWindow splash(workspace, messages, delivery);
    splash.show();
    return app.exec();
}
