#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

// The logic tests run without a display or Widgets, with a Russian locale
// whatever the machine has.
int main(int argc, char **argv)
{
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANG", "ru_RU.UTF-8");
    QCoreApplication app(argc, argv);
#ifdef Q_OS_WIN
    // Qt leaves the C library in "C" on Windows; a Russian desktop's programs
    // see the regional settings (comma decimals), as on Linux.
    std::setlocale(LC_ALL, "Russian_Russia.1251");
#endif
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
