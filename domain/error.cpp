#include "domain/error.h"

#include <QLocale>

namespace vastrel {

namespace {

QString quoted(const QString &text)
{
    return QStringLiteral("«") + text + QStringLiteral("»");
}

QString ioAdvice(int code, const QString &where)
{
    const QString place = where.isEmpty() ? QString() : QStringLiteral(" ") + quoted(where);
    switch (code) {
    case IoCode::NotReady:
        return QStringLiteral("Носитель%1 не готов: вставьте дискету или флешку и повторите.").arg(place);
    case IoCode::PathNotFound:
        return where.isEmpty()
                   ? QStringLiteral("Путь не найден: проверьте, что носитель вставлен.")
                   : QStringLiteral("Папка%1 не найдена: вставьте носитель или выберите другую папку.").arg(place);
    case IoCode::AccessDenied:
        return QStringLiteral("Нет доступа к файлу%1: носитель защищён от записи или файл занят.").arg(place);
    case IoCode::DiskWrite:
        return QStringLiteral("Запись%1 не удалась: носитель заполнен или извлечён. "
                              "Освободите место или вставьте другой носитель.")
            .arg(where.isEmpty() ? QString() : QStringLiteral(" на") + place);
    case IoCode::DiskRead:
        return QStringLiteral("Файл%1 не читается: носитель извлечён или повреждён.").arg(place);
    default:
        return QStringLiteral("Ошибка ввода-вывода%1: проверьте носитель и повторите.").arg(place);
    }
}

} // namespace

Error::Error(QString text)
    : m_platform(text)
    , m_text(std::move(text))
    , m_utf8(m_text.toUtf8())
{}

Error::Error(const QString &platformText, const QString &advice)
    : Error(platformText + QLatin1Char('\n') + advice)
{
    m_platform = platformText;
}

Error Error::fileNotFound()
{
    return Error(QStringLiteral("File not found"),
                 QStringLiteral("Файл не найден: проверьте, что он есть в папке, а носитель вставлен."));
}

Error Error::cannotOpen(const QString &fileName, const QString &reason)
{
    return Error(
        QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason),
        QStringLiteral("Не удалось открыть файл %1: проверьте, что он есть и доступен.").arg(quoted(fileName)));
}

Error Error::cannotCreate(const QString &fileName, const QString &reason)
{
    return Error(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason),
                 QStringLiteral("Не удалось создать файл %1: проверьте, что папка есть, доступна для записи "
                                "и на диске есть место.")
                     .arg(quoted(fileName)));
}

Error Error::io(int code, const QString &where)
{
    return Error(QStringLiteral("I/O error %1").arg(code), ioAdvice(code, where));
}

Error Error::notAFloat(const QString &text)
{
    // Which separator this locale wants: a script's author under Debian's
    // default C.UTF-8 needs to hear it as much as an accountant does.
    const QLocale locale = QLocale::system();
    const QString point = locale.decimalPoint();
    QString advice = QStringLiteral("Сумма «%1» — не число в локали %2: дробную часть отделяйте знаком «%3», "
                                    "цифры пишите без пробелов")
                         .arg(text, locale.name(), point);
    if (point != QLatin1String(","))
        advice += QStringLiteral(" (запятая — в локали ru_RU.UTF-8)");
    return Error(QStringLiteral("'%1' is not a valid floating point value").arg(text), advice + QLatin1Char('.'));
}

} // namespace vastrel
