#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// The logic tests run without a display or Widgets, with a Russian locale
// whatever the machine has.
int main(int argc, char **argv)
{
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANG", "ru_RU.UTF-8");
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
