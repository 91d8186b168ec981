#include "app/gui_messages.h"
#include "app/tform1.h"
#include "base/workspace.h"

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
    vastrel::BoxMessages messages;
    TForm1 splash(workspace, messages);
    splash.show();
    return app.exec();
}
