#include "help_window.h"

#include "domain/platform_noise.h"
#include "domain/version.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("VastrelTaver_Help" VASTREL_VERSION_LINE_TAIL "\n", stdout);
        return 0;
    }
    vastrel::silencePlatformNoise();
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
