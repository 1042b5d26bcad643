#pragma once

#include <QString>
#include <boost/multiprecision/cpp_int.hpp>

namespace velmora::calc {

// An exact decimal: mantissa × 10^-scale on an arbitrary-size integer. Sums,
// differences, products and the quotient by 100 are exact; a result with more
// than MaxDigits significant digits raises OverflowError.
class Decimal
{
public:
    using Integer = boost::multiprecision::cpp_int;
    static constexpr int MaxDigits = 64;

    Decimal() = default;
    Decimal(Integer mantissa, int scale);
    static Decimal fromInt(long long value);
    // Parses "-123.4500"; ConvertError on anything else.
    static Decimal fromString(const QString& text);

    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal dividedBy100() const;

    int compare(const Decimal& other) const;
    bool operator<(const Decimal& o) const { return compare(o) < 0; }
    bool operator>(const Decimal& o) const { return compare(o) > 0; }
    bool operator==(const Decimal& o) const { return compare(o) == 0; }
    bool operator!=(const Decimal& o) const { return compare(o) != 0; }

    // The double nearest to the exact value (round half to even).
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

} // namespace velmora::calc

// x as an exact decimal of at most `precision` digits, `scale` of them
// decimals: x's 18 significant digits, rounded half away from zero at its
// min(precision, 18)-th significant digit or its scale-th decimal, whichever
// comes first. OverflowError when the integer part needs more than
// precision - scale digits.
velmora::calc::Decimal ReduceToDecimal(double x, int precision, int scale);
