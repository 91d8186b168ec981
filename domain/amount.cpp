#include "domain/amount.h"

#include "domain/error.h"
#include "domain/windows1251.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vastrel {

QChar localeDecimalSeparator()
{
    // The default locale is the system's unless a test sets another.
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

namespace {

// For a number that does not fit a double: true when it is below the smallest
// one rather than above the largest. The decimal order of the first nonzero
// digit decides; `plain` is already checked ("-12.5e-3" form).
bool tooSmallForDouble(const std::string &plain)
{
    const std::size_t ePos = plain.find('e');
    const std::string mantissa = plain.substr(0, ePos);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    long long order = 0;
    bool found = false;
    for (std::size_t k = 0; k < mantissa.size() && !found; ++k) {
        if (mantissa[k] >= '1' && mantissa[k] <= '9') {
            order = k < point ? (long long)(point - k) - 1 : -(long long)(k - point);
            found = true;
        }
    }
    if (!found)
        return true;
    long long exponent = 0;
    if (ePos != std::string::npos) {
        std::size_t k = ePos + 1;
        const bool negative = k < plain.size() && plain[k] == '-';
        if (k < plain.size() && (plain[k] == '-' || plain[k] == '+'))
            ++k;
        // Saturated: any exponent beyond a few thousand decides alone.
        for (; k < plain.size(); ++k)
            exponent = std::min(exponent * 10 + (plain[k] - '0'), 1000000000LL);
        if (negative)
            exponent = -exponent;
    }
    return order + exponent < 0;
}

} // namespace

namespace {

// The grammar over any text whose characters are read by `at`; `fail` makes
// the error naming the text as given.
template<typename At, typename Fail>
double parseChars(int n, At at, char16_t decimalSeparator, char16_t otherSeparator, Fail fail)
{
    // Checked by hand and then converted in the C form, because the library
    // converters accept group separators, tabs or other decimal points.
    std::string plain;
    int i = 0;
    auto digit = [&](int k) { return at(k) >= u'0' && at(k) <= u'9'; };
    while (i < n && at(i) == u' ')
        ++i;
    int end = n;
    while (end > i && at(end - 1) == u' ')
        --end;
    if (i < end && at(i) == u'-')
        plain += char(at(i++));
    else if (i < end && at(i) == u'+')
        ++i;
    int digits = 0;
    while (i < end && digit(i)) {
        plain += char(at(i++));
        ++digits;
    }
    if (i < end && (at(i) == decimalSeparator || at(i) == otherSeparator)) {
        plain += '.';
        ++i;
        while (i < end && digit(i)) {
            plain += char(at(i++));
            ++digits;
        }
    }
    if (digits == 0)
        throw fail();
    if (i < end && (at(i) == u'e' || at(i) == u'E')) {
        plain += 'e';
        ++i;
        if (i < end && (at(i) == u'+' || at(i) == u'-'))
            plain += char(at(i++));
        int exponentDigits = 0;
        while (i < end && digit(i)) {
            plain += char(at(i++));
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            throw fail();
    }
    if (i != end)
        throw fail();

    // from_chars ignores the C locale, so a comma locale cannot change the result.
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ptr != plain.data() + plain.size())
        throw fail();
    if (ec == std::errc::result_out_of_range && tooSmallForDouble(plain))
        return 0.0; // the original's wider conversion took these and stored 0
    if (ec != std::errc())
        throw fail();
    return value;
}

} // namespace

namespace {

double parseText(const QString &text, char16_t separator, char16_t other)
{
    return parseChars(
        int(text.size()), [&text](int k) { return text.at(k).unicode(); }, separator, other,
        [&text]() { return Error::notAFloat(text); });
}

double parseBytes(QByteArrayView windows1251, char16_t separator, char16_t other)
{
    return parseChars(
        int(windows1251.size()), [windows1251](int k) { return windows1251Char(windows1251[k]).unicode(); }, separator,
        other, [windows1251]() { return Error::notAFloat(fromWindows1251(windows1251)); });
}

} // namespace

double parseAmount(const QString &text, QChar decimalSeparator)
{
    return parseText(text, decimalSeparator.unicode(), decimalSeparator.unicode());
}

double parseAmount(QByteArrayView windows1251, QChar decimalSeparator)
{
    return parseBytes(windows1251, decimalSeparator.unicode(), decimalSeparator.unicode());
}

double parseStoredAmount(const QString &text)
{
    return parseText(text, u',', u'.');
}

double parseStoredAmount(QByteArrayView windows1251)
{
    return parseBytes(windows1251, u',', u'.');
}

QString storedAmountText(const QString &typed)
{
    QString text = typed;
    text.replace(localeDecimalSeparator(), FileDecimalSeparator);
    return text;
}

QString shownAmountText(const QString &stored)
{
    QString text = stored;
    const QChar separator = localeDecimalSeparator();
    for (QChar &c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            c = separator;
    }
    return text;
}

double parseAmount(const QString &text)
{
    return parseAmount(text, localeDecimalSeparator());
}

double finiteTotal(double total)
{
    if (!std::isfinite(total))
        throw Error(QStringLiteral("Итоговая сумма слишком велика для расчета. Проверьте суммы."));
    return total;
}

QString formatAmount(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // Scientific with 14 decimals rounds to 15 significant digits and tells the exponent after rounding.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string scientific(buffer, written.ptr);
    const bool negative = scientific.front() == '-';
    const std::size_t ePos = scientific.find('e');
    std::string digits;
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k) {
        if (scientific[k] != '.')
            digits += scientific[k];
    }
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString result = negative ? QStringLiteral("-") : QString();
    const int count = int(digits.size());
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            const int integerDigits = exponent + 1;
            result += QString::fromLatin1(digits.substr(0, std::min(count, integerDigits)));
            for (int k = count; k < integerDigits; ++k)
                result += QLatin1Char('0');
            if (count > integerDigits)
                result += decimalSeparator + QString::fromLatin1(digits.substr(integerDigits));
        } else {
            result += QLatin1Char('0');
            result += decimalSeparator;
            result += QString(-exponent - 1, QLatin1Char('0'));
            result += QString::fromLatin1(digits);
        }
    } else {
        result += QLatin1Char(digits[0]);
        if (count > 1)
            result += decimalSeparator + QString::fromLatin1(digits.substr(1));
        result += QLatin1Char('E');
        result += QString::number(exponent);
    }
    return result;
}

QString formatAmount(double value)
{
    return formatAmount(value, localeDecimalSeparator());
}

} // namespace vastrel
