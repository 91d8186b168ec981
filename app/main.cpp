#include "domain/platform_noise.h"
#include "domain/version.h"
#include "store/workspace.h"
#include "windows/document_delivery.h"
#include "windows/message_boxes.h"
#include "windows/splash_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "Вастрель - Тавер: сметы доходов и расходов подразделения университета.\n"
                     "Использование: vastrel-taver [--help | --version]\n"
                     "Программа работает в текущем каталоге: departments.txt, nastroiki.txt и база смет\n"
                     "../Vastrel/smetas/ отсчитываются от него. Из меню программа запускается командой\n"
                     "vastrel-taver-start в каталоге ~/Вастрель-Тавер/program. Операции без окон: vastrel --help.\n";

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the application object, so that they work without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("vastrel-taver" VASTREL_VERSION_LINE_TAIL "\n", stdout);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    vastrel::silencePlatformNoise();
#ifdef Q_OS_WIN
    // FreeType, as vastrel.exe and Linux draw text: a PDF made from the window
    // is then the same file as the command's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
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
