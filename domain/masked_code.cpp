#include "domain/masked_code.h"

#include <QRegularExpression>

namespace vastrel {

QString invalidCodeMessage()
{
    return QStringLiteral("Invalid input value.  Use escape key to abandon changes\n"
                          "Код состоит из трёх цифр, например «007»: допечатайте цифры или нажмите Esc, "
                          "чтобы вернуть прежний код.");
}

bool isThreeDigitCode(const QString &text)
{
    static const QRegularExpression threeDigits(QStringLiteral("^[0-9]{3}$"));
    return threeDigits.match(text).hasMatch();
}

bool isPartlyFilledCode(const QString &text)
{
    const qsizetype blanks = text.count(QLatin1Char(' '));
    return blanks == 1 || blanks == 2;
}

} // namespace vastrel
