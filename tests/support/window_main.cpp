#include "domain/platform_noise.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

// Every test program runs headless with a Russian locale, whatever the machine has.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANG", "ru_RU.UTF-8");
    vastrel::silencePlatformNoise();
    QApplication app(argc, argv);
    // What the windows remember for the user goes to a folder of the test's own.
    QTemporaryDir userSettings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings.path());
#ifdef Q_OS_WIN
    // Qt leaves the C library in "C" on Windows; a Russian desktop's programs
    // see the regional settings (comma decimals), as on Linux.
    std::setlocale(LC_ALL, "Russian_Russia.1251");
#endif
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
