#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

namespace vastrel {

// The decimal separator of the user's locale (a comma under ru_RU): typed
// amounts and the amounts shown follow it.
QChar localeDecimalSeparator();

// Files carry amounts with the comma every Russian installation reads,
// whatever the locale of the machine that wrote them.
inline constexpr QChar FileDecimalSeparator = QLatin1Char(',');

// Text to number: optional surrounding blanks (spaces only), an optional sign,
// digits with the given decimal separator, an optional exponent; nothing else.
// Throws Error "'%s' is not a valid floating point value" with the text as given;
// also on overflow, while a number below the smallest double converts to 0.
double parseAmount(const QString &text, QChar decimalSeparator);
double parseAmount(const QString &text);
// The same for the bytes of a Windows-1251 text, without decoding it first.
double parseAmount(QByteArrayView windows1251, QChar decimalSeparator);

// An amount read from a file: either a comma or a point separates the
// decimals (no grouping is ever allowed, so the two cannot be confused).
double parseStoredAmount(const QString &text);
double parseStoredAmount(QByteArrayView windows1251);

// A typed amount as a file stores it: the locale's separator becomes the comma.
QString storedAmountText(const QString &typed);
// An amount from a file as the window shows it: either separator becomes the locale's.
QString shownAmountText(const QString &stored);

// The total itself when it is a number. A sum beyond the largest double
// becomes INF (or NAN), which no file or document may hold: that throws an
// Error with a Russian message instead.
double finiteTotal(double total);

// Number to text in the general format: at most 15 significant digits,
// trailing zeros dropped, fixed notation for 0.0001 <= |x| < 1E15 after
// rounding, otherwise "1,5E-6" style; zero (also minus zero) is "0".
QString formatAmount(double value, QChar decimalSeparator);
QString formatAmount(double value);

// A running sum: each addition is carried out in extended precision and
// stored back as a double, so every sum of the system rounds the same way.
class AmountSum
{
public:
    void add(double amount) { m_value = static_cast<double>(static_cast<long double>(m_value) + amount); }
    double value() const { return m_value; }

private:
    double m_value = 0.0;
};

} // namespace vastrel
