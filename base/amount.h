#pragma once

#include <QChar>
#include <QString>

namespace vastrel {

// The decimal separator of the user's locale (a comma under ru_RU).
QChar localeDecimalSeparator();

// Text to number: optional surrounding blanks (spaces only), an optional sign,
// digits with the given decimal separator, an optional exponent; nothing else.
// Throws Error "'%s' is not a valid floating point value" with the text as given.
double parseAmount(const QString &text, QChar decimalSeparator);
double parseAmount(const QString &text);

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
