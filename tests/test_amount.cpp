#include "domain/amount.h"
#include "domain/error.h"
#include "store/text_file.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <functional>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace vastrel;

namespace {

struct FormatCase
{
    const char *name;
    double value;
    const char *comma; // under a decimal comma
};

class GeneralFormat : public ::testing::TestWithParam<FormatCase>
{};

TEST_P(GeneralFormat, MatchesTheOriginalPlatform)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(formatAmount(c.value, QLatin1Char(',')), QString::fromUtf8(c.comma));
    QString dotted = QString::fromUtf8(c.comma);
    dotted.replace(QLatin1Char(','), QLatin1Char('.'));
    EXPECT_EQ(formatAmount(c.value, QLatin1Char('.')), dotted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralFormat,
    ::testing::Values(
        FormatCase{"smallest_fixed", 0.0001, "0,0001"}, FormatCase{"just_below_fixed", 0.00009999, "9,999E-5"},
        FormatCase{"tiny_whole_mantissa", 0.00001, "1E-5"}, FormatCase{"tiny_with_fraction", 1.5e-6, "1,5E-6"},
        FormatCase{"largest_fixed", 999999999999999.0, "999999999999999"}, FormatCase{"first_scientific", 1e15, "1E15"},
        FormatCase{"sixteen_digits_rounded", 1234567890123456.0, "1,23456789012346E15"},
        FormatCase{"huge", 1e100, "1E100"}, FormatCase{"minus_zero", -0.0, "0"}, FormatCase{"zero", 0.0, "0"},
        FormatCase{"binary_noise_dropped", 0.1 + 0.2, "0,3"}, FormatCase{"negative_fraction", -99.5, "-99,5"},
        FormatCase{"integer", 150.0, "150"}, FormatCase{"rounds_up_to_next_power", 999999999999999.9, "1E15"},
        FormatCase{"trailing_zeros_in_integer", 1200.0, "1200"}, FormatCase{"nan", std::nan(""), "NAN"},
        FormatCase{"infinity", std::numeric_limits<double>::infinity(), "INF"},
        FormatCase{"minus_infinity", -std::numeric_limits<double>::infinity(), "-INF"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ParseCase
{
    const char *name;
    const char *text;
    bool accepted;
    double value;
};

class AmountConversion : public ::testing::TestWithParam<ParseCase>
{};

// The text and the bytes of a file's text convert alike, errors included.
TEST_P(AmountConversion, UnderDecimalComma)
{
    const ParseCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    const QByteArray bytes = toWindows1251(text);
    const std::function<double()> forms[] = {[&] { return parseAmount(text, QLatin1Char(',')); },
                                             [&] { return parseAmount(QByteArrayView(bytes), QLatin1Char(',')); }};
    for (const auto &parse : forms) {
        if (c.accepted) {
            EXPECT_DOUBLE_EQ(parse(), c.value);
            continue;
        }
        try {
            parse();
            FAIL() << "accepted " << c.text;
        } catch (const Error &error) {
            EXPECT_EQ(error.platformText(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }
}

// Texts too long to write out: a thousand zeros before the first digit.
const std::string Zeros(1000, '0');
const std::string TinyDecimal = "0," + Zeros + "1";
const std::string TinyScaledBack = "0," + Zeros + "15e1000";
const std::string LongInteger = Zeros + "15";
const std::string TooManyDigits = "1" + std::string(400, '0');

INSTANTIATE_TEST_SUITE_P(
    Table, AmountConversion,
    ::testing::Values(
        ParseCase{"integer", "100", true, 100}, ParseCase{"decimal_comma", "99,5", true, 99.5},
        ParseCase{"surrounding_spaces", "  12,25 ", true, 12.25}, ParseCase{"plus_sign", "+7", true, 7},
        ParseCase{"minus_sign", "-100", true, -100}, ParseCase{"exponent", "1,5E3", true, 1500},
        ParseCase{"small_exponent", "15e-1", true, 1.5}, ParseCase{"exponent_plus", "2E+2", true, 200},
        ParseCase{"trailing_separator", "5,", true, 5}, ParseCase{"leading_separator", ",5", true, 0.5},
        ParseCase{"zero_fraction", "0,0", true, 0}, ParseCase{"decimal_point_refused", "99.5", false, 0},
        ParseCase{"grouping_refused", "1 000", false, 0},
        ParseCase{"nbsp_grouping_refused",
                  "1\xc2\xa0"
                  "000",
                  false, 0},
        ParseCase{"letters_refused", "12a", false, 0}, ParseCase{"empty_refused", "", false, 0},
        ParseCase{"blanks_only_refused", "   ", false, 0}, ParseCase{"tab_refused", "\t5", false, 0},
        ParseCase{"final_line_feed_refused", "0,2\n", false, 0}, ParseCase{"currency_refused", "5 руб.", false, 0},
        ParseCase{"lonely_sign_refused", "-", false, 0}, ParseCase{"lonely_separator_refused", ",", false, 0},
        ParseCase{"exponent_without_digits_refused", "1E", false, 0}, ParseCase{"double_sign_refused", "--1", false, 0},
        ParseCase{"overflow_refused", "1E400", false, 0}, ParseCase{"negative_overflow_refused", "-1E400", false, 0},
        ParseCase{"overflow_by_digits_refused", TooManyDigits.c_str(), false, 0},
        ParseCase{"overflow_by_huge_exponent_refused", "1e99999999999999999999", false, 0},
        ParseCase{"subnormal_kept", "1e-310", true, 1e-310}, ParseCase{"underflow_is_zero", "1e-400", true, 0},
        ParseCase{"negative_underflow_is_zero", "-1,5E-400", true, 0},
        ParseCase{"underflow_by_huge_exponent_is_zero", "1e-99999999999999999999", true, 0},
        ParseCase{"thousand_leading_zeros_is_zero", TinyDecimal.c_str(), true, 0},
        ParseCase{"thousand_zeros_scaled_back", TinyScaledBack.c_str(), true, 0.15},
        ParseCase{"thousand_zeros_before_integer", LongInteger.c_str(), true, 15},
        ParseCase{"zero_with_huge_exponent", "0e99999999999999999999", true, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(AmountSum, AddsInExtendedPrecisionAndStoresDoubles)
{
    AmountSum sum;
    sum.add(0.1);
    sum.add(0.2);
    EXPECT_EQ(formatAmount(sum.value(), QLatin1Char(',')), QStringLiteral("0,3"));
    AmountSum cancelling;
    cancelling.add(100);
    cancelling.add(-100);
    EXPECT_EQ(cancelling.value(), 0.0);
}

TEST(AmountLocale, FollowsTheUserLocale)
{
    // The test programs run under ru_RU, the C library's numbers included,
    // so the conversion table above also shows that it ignores them.
    EXPECT_EQ(localeDecimalSeparator(), QLatin1Char(','));
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_DOUBLE_EQ(parseAmount(QStringLiteral("2,5")), 2.5);
    EXPECT_EQ(formatAmount(2.5), QStringLiteral("2,5"));
}

// Files travel between machines: whatever the user's locale, an amount read
// from a file takes either separator, and a typed one is stored with the comma.
TEST(AmountLocale, FilesTakeEitherSeparatorAndAlwaysGetTheComma)
{
    for (const QLocale &locale : {QLocale(QLocale::Russian, QLocale::Russia), QLocale::c()}) {
        QLocale::setDefault(locale);
        const QString typed = QStringLiteral("-1") + localeDecimalSeparator() + QStringLiteral("5E2");
        const QString shown = typed;
        SCOPED_TRACE(typed.toStdString());
        for (const char *text : {"-1,5E2", "-1.5E2"}) {
            EXPECT_DOUBLE_EQ(parseStoredAmount(QString::fromLatin1(text)), -150);
            EXPECT_DOUBLE_EQ(parseStoredAmount(QByteArrayView(text)), -150);
            EXPECT_EQ(shownAmountText(QString::fromLatin1(text)), shown);
        }
        for (const char *text : {"1,5.0", "1 000", "1.000,5", "NaN"})
            EXPECT_THROW(parseStoredAmount(QByteArrayView(text)), Error) << text;
        EXPECT_EQ(storedAmountText(typed), QStringLiteral("-1,5E2"));
        EXPECT_DOUBLE_EQ(parseAmount(typed), -150);
    }
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

} // namespace
