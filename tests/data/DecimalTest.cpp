#include "data/Decimal.h"
#include "data/Error.h"

#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using velmora::data::Decimal;
using Rational = boost::multiprecision::cpp_rational;
using Integer = Decimal::Integer;

namespace {

Decimal D(const char* text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

Rational AsRational(const Decimal& d)
{
    return Rational(d.mantissa(), boost::multiprecision::pow(Integer(10), static_cast<unsigned>(d.scale())));
}

// ---------------------------------------------------------------------------
// An independent reduction that works on the printed digits: glibc prints the
// exact binary value when asked for enough digits, and every rounding below
// is done by hand on the digit string.

struct DigitText
{
    std::string digits; // no leading zeros; "0" for zero
    int lead = 0;       // power of ten of the first digit
};

DigitText ExactDigits(double x)
{
    // Every double from 1e-20 to 1e20 has fewer than 160 significant digits;
    // the extremes need up to about 770.
    const bool ordinary = std::fabs(x) > 1e-20 && std::fabs(x) < 1e20;
    std::vector<char> buf(1200);
    std::snprintf(buf.data(), buf.size(), ordinary ? "%.160e" : "%.1100e", std::fabs(x));
    const std::string s(buf.data());
    const std::size_t e = s.find('e');
    DigitText t;
    t.digits = s.substr(0, 1) + s.substr(2, e - 2);
    t.lead = std::atoi(s.c_str() + e + 1);
    while (t.digits.size() > 1 && t.digits.back() == '0')
        t.digits.pop_back();
    return t;
}

// Keeps the first `count` digits, half away from zero; count may be 0 or less.
DigitText KeepDigits(DigitText t, int count)
{
    if (count >= static_cast<int>(t.digits.size()))
        return t;
    if (count < 0)
        return {"0", 0};
    const bool up = t.digits[static_cast<std::size_t>(count)] >= '5';
    std::string kept = t.digits.substr(0, static_cast<std::size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
            kept[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            ++t.lead;
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    if (kept.empty() || kept.find_first_not_of('0') == std::string::npos)
        return {"0", 0};
    t.digits = kept;
    while (t.digits.size() > 1 && t.digits.back() == '0')
        t.digits.pop_back();
    return t;
}

// Plain text without trailing zeros, as Decimal::toString writes it.
std::string PlainText(const DigitText& t, bool negative)
{
    if (t.digits == "0")
        return "0";
    std::string out;
    const int n = static_cast<int>(t.digits.size());
    if (t.lead < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-t.lead - 1), '0') + t.digits;
    } else if (n <= t.lead + 1) {
        out = t.digits + std::string(static_cast<std::size_t>(t.lead + 1 - n), '0');
    } else {
        out = t.digits.substr(0, static_cast<std::size_t>(t.lead + 1)) + "." + t.digits.substr(static_cast<std::size_t>(t.lead + 1));
    }
    return negative ? "-" + out : out;
}

struct Expected
{
    bool overflow = false;
    std::string text;
};

Expected ReferenceReduce(double x, int precision, int scale)
{
    Expected r;
    if (x == 0) {
        r.text = "0";
        return r;
    }
    DigitText t = KeepDigits(ExactDigits(x), 18);
    const int keepDecimals = std::min(scale, std::min(precision, 18) - 1 - t.lead);
    t = KeepDigits(t, t.lead + keepDecimals + 1);
    const int integerDigits = t.digits == "0" ? 0 : std::max(0, t.lead + 1);
    r.overflow = integerDigits > precision - scale;
    r.text = PlainText(t, x < 0 && t.digits != "0");
    return r;
}

void ExpectSameAsReference(double x, int precision, int scale)
{
    const Expected e = ReferenceReduce(x, precision, scale);
    char shown[40];
    std::snprintf(shown, sizeof shown, "%.17g", x);
    if (e.overflow) {
        EXPECT_THROW(ReduceToDecimal(x, precision, scale), velmora::OverflowError)
            << shown << " P=" << precision << " S=" << scale;
        return;
    }
    try {
        const Decimal d = ReduceToDecimal(x, precision, scale);
        EXPECT_EQ(d.toString().toStdString(), e.text) << shown << " P=" << precision << " S=" << scale;
        EXPECT_EQ(d.scale(), scale);
    } catch (const velmora::Error& error) {
        ADD_FAILURE() << shown << " P=" << precision << " S=" << scale << ": " << error.what();
    }
}

// ---------------------------------------------------------------------------

TEST(ReduceToDecimal, WorkedExamples)
{
    EXPECT_EQ(ReduceToDecimal(8.905000000000001, 10, 6).toString().toStdString(), "8.905");
    EXPECT_EQ(ReduceToDecimal(0.45499999999999996, 10, 6).toString().toStdString(), "0.455");
    EXPECT_EQ(ReduceToDecimal(0.45499999999999996, 10, 6).toDouble(), 0.45500000000000002);
    EXPECT_EQ(ReduceToDecimal(8.905000000000001, 10, 6).toDouble(), 8.90499999999999936);
    EXPECT_EQ(ReduceToDecimal(1.0, 10, 7).toString().toStdString(), "1");
    // -2^-24 = -0.000000059604644775390625; 5e-8 itself is stored just below the half.
    EXPECT_EQ(ReduceToDecimal(-std::ldexp(1.0, -24), 10, 7).toString().toStdString(), "-0.0000001");
    EXPECT_EQ(ReduceToDecimal(0.00000005, 10, 7).toString().toStdString(), "0");
    EXPECT_EQ(ReduceToDecimal(-0.0, 10, 7).toString().toStdString(), "0");
    EXPECT_EQ(ReduceToDecimal(123.45678915, 32, 8).toString().toStdString(), "123.45678915");
}

TEST(ReduceToDecimal, SignificantDigitLimitWinsForLargeValues)
{
    // 2^40 + 2^-10 = 1099511627776.0009765625: 18 significant digits reach
    // only five decimals, so the eighth decimal is not the rounding position.
    const double big = std::ldexp(1.0, 40) + std::ldexp(1.0, -10);
    EXPECT_EQ(ReduceToDecimal(big, 32, 8).toString().toStdString(), "1099511627776.00098");
    EXPECT_EQ(ReduceToDecimal(big, 32, 8).scale(), 8);
    // The 18-digit cut itself rounds half away from zero: 1 + 2^-18 =
    // 1.000003814697265625 has a 5 as its nineteenth digit.
    EXPECT_EQ(ReduceToDecimal(1e10 + std::ldexp(1.0, -18), 32, 8).toString().toStdString(), "10000000000.0000038");
}

TEST(ReduceToDecimal, TooManyIntegerDigitsOverflow)
{
    EXPECT_EQ(ReduceToDecimal(9999.999999, 10, 6).toString().toStdString(), "9999.999999");
    EXPECT_EQ(ReduceToDecimal(9999.9999994, 10, 6).toString().toStdString(), "9999.999999");
    EXPECT_THROW(ReduceToDecimal(9999.9999996, 10, 6), velmora::OverflowError);
    EXPECT_THROW(ReduceToDecimal(10000, 10, 6), velmora::OverflowError);
    EXPECT_THROW(ReduceToDecimal(-10000, 10, 6), velmora::OverflowError);
    EXPECT_EQ(ReduceToDecimal(999.99999994, 10, 7).toString().toStdString(), "999.9999999");
    EXPECT_THROW(ReduceToDecimal(1000, 10, 7), velmora::OverflowError);
    EXPECT_THROW(ReduceToDecimal(1e30, 32, 8), velmora::OverflowError);
    EXPECT_THROW(ReduceToDecimal(std::nan(""), 10, 7), velmora::OverflowError);
    EXPECT_THROW(ReduceToDecimal(HUGE_VAL, 10, 7), velmora::OverflowError);
    try {
        ReduceToDecimal(12345, 10, 6);
        FAIL() << "no overflow";
    } catch (const velmora::OverflowError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("12345")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("桁あふれ")));
    }
}

TEST(ReduceToDecimal, AgreesWithDigitStringReferenceOnRandomDoubles)
{
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> power(-12, 12);
    std::uniform_int_distribution<int> coin(0, 1);
    const int layouts[][2] = {{10, 6}, {10, 7}, {32, 8}, {18, 2}, {5, 0}, {20, 10}, {40, 30}};
    for (int i = 0; i < 10000; ++i) {
        double x = mantissa(rng) * std::pow(10.0, power(rng));
        if (coin(rng))
            x = -x;
        for (const auto& l : layouts)
            ExpectSameAsReference(x, l[0], l[1]);
        if (HasFailure())
            return;
    }
}

TEST(ReduceToDecimal, AgreesWithReferenceNearDecimalTies)
{
    // Decimal halves at the scale's position and the doubles next to them:
    // the cases where one wrong rounding step shows.
    std::mt19937_64 rng(77);
    std::uniform_int_distribution<long long> digits(0, 99999999LL);
    const int layouts[][2] = {{10, 6}, {10, 7}, {32, 8}};
    for (int i = 0; i < 3000; ++i) {
        for (const auto& l : layouts) {
            char text[64];
            std::snprintf(text, sizeof text, "%lld.%0*lld5", digits(rng) % 1000, l[1], digits(rng) % static_cast<long long>(std::pow(10, l[1])));
            const double tie = std::strtod(text, nullptr);
            for (double x : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e9), -tie})
                ExpectSameAsReference(x, l[0], l[1]);
        }
        // Dyadic fractions are exact decimals that end in 5.
        const double dyadic = std::ldexp(static_cast<double>(digits(rng)), -static_cast<int>(digits(rng) % 40));
        ExpectSameAsReference(dyadic, 32, 8);
        ExpectSameAsReference(dyadic, 10, 7);
        if (HasFailure())
            return;
    }
}

TEST(ReduceToDecimal, AgreesWithReferenceOnExtremeMagnitudes)
{
    for (double x : {5e-324, 2.2250738585072014e-308, 1e-9, 4.9999999999e-9, 5e-9, 1.7976931348623157e308,
                     1e17, 123456789012345678.0, 99999999999999999.0, 0.1, 0.7, 1e22, 1e23})
        for (const auto& l : {std::pair{10, 6}, {10, 7}, {32, 8}, {60, 20}, {64, 0}})
            ExpectSameAsReference(x, l.first, l.second);
}

TEST(Decimal, ParsesAndPrintsPlainText)
{
    EXPECT_EQ(D("-123.4500").toString().toStdString(), "-123.45");
    EXPECT_EQ(D("-123.4500").scale(), 4);
    EXPECT_EQ(D("+7").toString().toStdString(), "7");
    EXPECT_EQ(D("0.000").toString().toStdString(), "0");
    EXPECT_EQ(D(".5").toString().toStdString(), "0.5");
    EXPECT_EQ(D("-0.05").toString().toStdString(), "-0.05");
    EXPECT_EQ(D("100").toString().toStdString(), "100");
    for (const char* bad : {"", "-", ".", "1e5", " 1", "1 ", "1.2.3", "12a", "--1", "１２"})
        EXPECT_THROW(Decimal::fromString(QString::fromUtf8(bad)), velmora::ConvertError) << bad;
    EXPECT_EQ(Decimal(Integer(12), -2).toString().toStdString(), "1200");
    EXPECT_EQ(Decimal::fromInt(-42).toString().toStdString(), "-42");
}

TEST(Decimal, ArithmeticMatchesExactRationals)
{
    std::mt19937_64 rng(4242);
    std::uniform_int_distribution<long long> mant(-99999999999999LL, 99999999999999LL);
    std::uniform_int_distribution<int> sc(0, 12);
    for (int i = 0; i < 3000; ++i) {
        const Decimal a(Integer(mant(rng)) * Integer(mant(rng)), sc(rng));
        const Decimal b(Integer(mant(rng)), sc(rng));
        const Rational ra = AsRational(a);
        const Rational rb = AsRational(b);
        EXPECT_EQ(AsRational(a + b), ra + rb);
        EXPECT_EQ(AsRational(a - b), ra - rb);
        EXPECT_EQ(AsRational(a * b), ra * rb);
        EXPECT_EQ(AsRational(a.dividedBy100()), ra / 100);
        EXPECT_EQ(a.compare(b), ra < rb ? -1 : (ra > rb ? 1 : 0));
        EXPECT_EQ(a < b, ra < rb);
        EXPECT_EQ(Decimal::fromString(a.toString()), a);
        if (HasFailure())
            return;
    }
}

TEST(Decimal, EqualValuesCompareEqualAcrossScales)
{
    EXPECT_EQ(D("1.50"), D("1.5"));
    EXPECT_EQ(D("0"), D("-0.000"));
    EXPECT_LT(D("-1"), D("-0.999999999999"));
    EXPECT_GT(D("100"), D("99.99999999999999999999999"));
    EXPECT_LT(D("-1").compare(D("0.5")), 0);
}

// Mantissas of one limb at scales up to 19 apart take the 128-bit comparison.
TEST(Decimal, CompareFloorAndExponentTextMatchExactRationals)
{
    std::mt19937_64 rng(77);
    std::uniform_int_distribution<long long> mant(-999999999999999999LL, 999999999999999999LL);
    std::uniform_int_distribution<int> sc(0, 20);
    for (int i = 0; i < 3000; ++i) {
        const Decimal a(Integer(mant(rng) / (1LL << (i % 40))), sc(rng));
        const Decimal b(Integer(mant(rng)), sc(rng));
        const Rational ra = AsRational(a);
        const Rational rb = AsRational(b);
        EXPECT_EQ(a.compare(b), ra < rb ? -1 : (ra > rb ? 1 : 0)) << a.toString().toStdString() << " " << b.toString().toStdString();
        const Rational fa = AsRational(a.floor());
        EXPECT_TRUE(fa <= ra && ra < fa + 1 && a.floor().scale() == 0) << a.toString().toStdString();
        if (HasFailure())
            return;
    }
    EXPECT_EQ(Decimal::fromNumberText(QStringLiteral("-1.5E-6")), D("-0.0000015"));
    EXPECT_EQ(Decimal::fromNumberText(QStringLiteral("1E15")), D("1000000000000000"));
    EXPECT_EQ(Decimal::fromNumberText(QStringLiteral("113e-2")), D("1.13"));
    EXPECT_EQ(Decimal::fromTableFigure(QStringLiteral(" +1.13 ")), D("1.13"));
    for (const QString& bad : {QStringLiteral("1E"), QStringLiteral("1E+"), QStringLiteral("1E2000"), QStringLiteral("E5"), QStringLiteral("1e 2")})
        EXPECT_THROW(Decimal::fromNumberText(bad), velmora::ConvertError) << bad.toStdString();
}

TEST(Decimal, NearestDoubleFromBothPaths)
{
    // The short path (exact operands, one division) and the text path must
    // give the same correctly rounded double.
    std::mt19937_64 rng(99);
    std::uniform_int_distribution<long long> mant(-(1LL << 53), 1LL << 53);
    std::uniform_int_distribution<int> sc(0, 22);
    for (int i = 0; i < 20000; ++i) {
        const Decimal d(Integer(mant(rng)), sc(rng));
        const QByteArray text = d.toString().toLatin1();
        ASSERT_EQ(d.toDouble(), std::strtod(text.constData(), nullptr)) << text.constData();
    }
    // Products: wide mantissas, often with trailing zeros in the fraction.
    std::uniform_int_distribution<std::uint64_t> wide(0, ~std::uint64_t(0));
    std::uniform_int_distribution<int> zeros(0, 12);
    for (int i = 0; i < 20000; ++i) {
        Integer m = Integer(wide(rng) >> (i % 64)) * boost::multiprecision::pow(Integer(10), static_cast<unsigned>(zeros(rng)));
        if (i % 3 == 0)
            m = (m << 64) + wide(rng);
        const Decimal d(i % 2 ? m : Integer(-m), sc(rng) + 4);
        const QByteArray text = d.toString().toLatin1();
        ASSERT_EQ(d.toDouble(), std::strtod(text.constData(), nullptr)) << text.constData();
    }
    // Long mantissas go through text; ties go to even.
    EXPECT_EQ(D("9007199254740993").toDouble(), 9007199254740992.0);
    EXPECT_EQ(D("9007199254740995").toDouble(), 9007199254740996.0);
    EXPECT_EQ(D("0.1000000000000000000000000001").toDouble(), 0.1);
    EXPECT_EQ(D("8.905").toDouble(), 8.905);
}

TEST(Decimal, PrecisionLimitRaisesOverflow)
{
    const Decimal big(boost::multiprecision::pow(Integer(10), 40), 0);
    EXPECT_THROW(big * big, velmora::OverflowError);
    // Sixty-four nines fit, sixty-five do not.
    const Decimal nines64(boost::multiprecision::pow(Integer(10), 64) - 1, 10);
    EXPECT_EQ(nines64.scale(), 10);
    EXPECT_THROW(nines64 * Decimal(Integer(11), 0), velmora::OverflowError);
    EXPECT_NO_THROW(nines64 * Decimal(Integer(10), 0));
    EXPECT_THROW(ReduceToDecimal(1.0, 65, 8), velmora::Error);
    // Trailing zeros of the fraction carry no digits.
    const Decimal one(boost::multiprecision::pow(Integer(10), 80), 80);
    EXPECT_EQ(one.toString().toStdString(), "1");
    EXPECT_EQ(one.toDouble(), 1.0);
}

TEST(Decimal, PackageShareExample)
{
    // (100 - ratio sum) / 100 for a ratio sum of 35.1234567
    const Decimal rest = (Decimal::fromInt(100) - ReduceToDecimal(35.1234567, 10, 7)).dividedBy100();
    EXPECT_EQ(rest.toString().toStdString(), "0.648765433");
    const Decimal product = ReduceToDecimal(1235, 32, 8) * (ReduceToDecimal(0.351234567, 32, 8) + rest);
    // 0.351234567 enters at eight decimals as 0.35123457.
    EXPECT_EQ(product.toString().toStdString(), "1235.000003705");
    EXPECT_GT(product, Decimal::fromInt(1235));
    EXPECT_EQ(product.scale(), 17);
}

} // namespace
