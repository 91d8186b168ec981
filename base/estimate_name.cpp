#include "base/estimate_name.h"

#include "base/text_file.h"

#include <QStringList>

namespace vastrel {

namespace {

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || c.category() == QChar::Other_Format)
            return true;
    }
    return false;
}

QString separatorProblem(const QString &name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("Имя сметы «%1» содержит знак «/» или «\\». Имя сметы служит именем её "
                              "файла в базе и не может содержать эти знаки.")
            .arg(name);
    if (hasControlCharacter(name))
        return QStringLiteral("Имя сметы не может содержать перевод строки, табуляцию и другие "
                              "управляющие символы.");
    return QString();
}

bool isDeviceName(const QString &name)
{
    // Windows opens these as devices whatever extension follows.
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))
           && stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

} // namespace

QString newEstimateNameProblem(const QString &name)
{
    if (const QString problem = separatorProblem(name); !problem.isEmpty())
        return problem;
    static const QString forbidden = QStringLiteral("<>:\"|?*");
    for (const QChar c : name) {
        if (forbidden.contains(c))
            return QStringLiteral("Имя сметы не может содержать знаки < > : \" | ? * — "
                                  "имя сметы служит именем её файла в базе.");
    }
    if (name.contains(QStringLiteral("..")))
        return QStringLiteral("Имя сметы не может содержать две точки подряд («..»).");
    if (!name.isEmpty() && (name.front().isSpace() || name.back().isSpace()))
        return QStringLiteral("Имя сметы не может начинаться или заканчиваться пробелом.");
    if (isDeviceName(name))
        return QStringLiteral("Имя «%1» занято в Windows за устройством; выберите для сметы другое имя.")
            .arg(name);
    if (!fitsWindows1251(name))
        return QStringLiteral("Имя сметы содержит символы, которые нельзя записать в кодировке Windows-1251.");
    return QString();
}

QString storedEstimateNameProblem(const QString &name)
{
    return separatorProblem(name);
}

} // namespace vastrel
