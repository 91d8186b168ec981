// The start-up floor: the least a command on Qt Core does before its own work,
// the library loaded, its arguments decoded, a line printed.
#include <QString>

#include <clocale>
#include <cstdio>

int main(int argc, char *argv[])
{
    std::setlocale(LC_ALL, "");
    QString text;
    for (int i = 1; i < argc; ++i)
        text += QString::fromLocal8Bit(argv[i]);
    std::puts(text.toUtf8().constData());
    return 0;
}
