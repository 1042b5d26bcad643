#pragma once

#include <QString>
#include <boost/multiprecision/cpp_int.hpp>

namespace velmora::data {

// An exact decimal: mantissa × 10^-scale on an arbitrary-size integer, with
// scale ≥ 0. Sums, differences, products and the quotient by 100 are exact;
// a value that needs more than MaxDigits digits (integer digits plus
// decimals up to the last non-zero one) raises OverflowError, the limit of
// the decimal arithmetic the estimating rules were written against.
class Decimal
{
public:
    using Integer = boost::multiprecision::cpp_int;
    static constexpr int MaxDigits = 64;

    Decimal() = default;
    // A negative scale is folded into the mantissa.
    Decimal(Integer mantissa, int scale);
    static Decimal fromInt(long long value);
    // Parses "-123.4500", "+7", "0.5"; ConvertError on anything else
    // (exponents, blanks, empty text).
    static Decimal fromString(const QString& text);
    // The same, and also the exponent forms number text uses ("1.5E-6",
    // "2e3"). ConvertError on anything else, and for an exponent beyond
    // ±1000, which no table figure or distance needs.
    static Decimal fromNumberText(const QString& text);
    // A figure of a table: any text StrToFloat reads (blanks around it
    // included), as the exact decimal it writes; StrToFloat's ConvertError
    // for any other text.
    static Decimal fromTableFigure(const QString& text);

    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal dividedBy100() const;
    // Rounded down to a whole number (toward minus infinity), scale 0.
    Decimal floor() const;

    int compare(const Decimal& other) const;
    bool operator<(const Decimal& o) const { return compare(o) < 0; }
    bool operator>(const Decimal& o) const { return compare(o) > 0; }
    bool operator<=(const Decimal& o) const { return compare(o) <= 0; }
    bool operator>=(const Decimal& o) const { return compare(o) >= 0; }
    bool operator==(const Decimal& o) const { return compare(o) == 0; }
    bool operator!=(const Decimal& o) const { return compare(o) != 0; }

    // The double nearest to the exact value (ties to even).
    double toDouble() const;
    // Plain decimal text without exponent, trailing zeros removed ("1.5", "-3", "0").
    QString toString() const;

    const Integer& mantissa() const { return m_mantissa; }
    int scale() const { return m_scale; }

private:
    void checkDigits() const;
    Integer m_mantissa = 0;
    int m_scale = 0;
};

} // namespace velmora::data

// x as an exact decimal with `scale` decimals and at most `precision` digits
// (0 ≤ scale ≤ precision ≤ Decimal::MaxDigits). x is first cut to 18 significant digits, then
// rounded at its min(precision, 18)-th significant digit or at its scale-th
// decimal, whichever is coarser; both roundings go half away from zero.
// OverflowError (Japanese message) when the integer part then needs more than
// precision - scale digits, or when x is not finite.
velmora::data::Decimal ReduceToDecimal(double x, int precision, int scale);
