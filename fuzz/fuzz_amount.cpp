// The amount conversion against its grammar: blanks, a sign, digits with the
// decimal separator, an exponent, blanks; a text of that form converts unless
// it is beyond the largest double, and every other text is refused.
#include "domain/amount.h"
#include "domain/error.h"

#include <QRegularExpression>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vastrel;

namespace {

void check(const QString &text, QChar separator)
{
    static const auto grammarOf = [](QChar sep) {
        return QRegularExpression(QStringLiteral("^ *([+-]?)([0-9]+(%1[0-9]*)?|%1[0-9]+)([eE][+-]?[0-9]+)? *\\z")
                                      .arg(QRegularExpression::escape(QString(sep))));
    };
    static const QRegularExpression comma = grammarOf(QLatin1Char(','));
    static const QRegularExpression point = grammarOf(QLatin1Char('.'));
    const QRegularExpressionMatch match = (separator == QLatin1Char(',') ? comma : point).match(text);

    double value = 0;
    bool accepted = true;
    try {
        value = parseAmount(text, separator);
    } catch (const Error &error) {
        accepted = false;
        // The platform's text comes first; the advice in Russian follows it.
        const QString platform = QStringLiteral("'%1' is not a valid floating point value").arg(text);
        if (error.text() != platform && !error.text().startsWith(platform + QLatin1Char('\n')))
            std::abort();
    }
    if (!match.hasMatch()) {
        if (accepted)
            std::abort();
        return;
    }
    // The C library in the "C" locale as the reference, in its wider type.
    std::string plain = text.trimmed().toStdString();
    for (char &c : plain) {
        if (c == char(separator.unicode()))
            c = '.';
    }
    const long double reference = std::strtold(plain.c_str(), nullptr);
    const long double magnitude = std::fabs(reference);
    if (magnitude > 1.7976931348623159e308L) {
        if (accepted)
            std::abort();
        return;
    }
    if (magnitude < 1.7976931348623157e308L && !accepted)
        std::abort();
    if (!accepted)
        return;
    if (!std::isfinite(value))
        std::abort();
    if (magnitude < 1e-300L ? std::fabs(value) >= 1e-300 : std::fabs(value - reference) > magnitude * 1e-15L)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    check(text, QLatin1Char(','));
    check(text, QLatin1Char('.'));
    return 0;
}
