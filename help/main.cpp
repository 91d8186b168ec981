#include "help_window.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Вастрель - Тавер: помощь"));
    app.setWindowIcon(QIcon(QStringLiteral(":/guide/icon.svg")));

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    vastrel::help::HelpWindow window;
    window.show();
    return app.exec();
}
