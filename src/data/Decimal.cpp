#include "Decimal.h"

#include "data/Error.h"
#include "data/NumberText.h"

#include <QByteArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

using velmora::data::Decimal;
using Integer = Decimal::Integer;

namespace {

// Powers that the conversions need again and again; built once, read-only
// afterwards (thread-safe static initialisation). Beyond the tables the power
// is computed on the spot.
constexpr unsigned kTableSize = 400;

std::vector<Integer> MakePowers(unsigned base)
{
    std::vector<Integer> t(kTableSize);
    t[0] = 1;
    for (unsigned i = 1; i < kTableSize; ++i)
        t[i] = t[i - 1] * base;
    return t;
}

const std::vector<Integer>& TableOf(unsigned base)
{
    static const std::vector<Integer> tens = MakePowers(10);
    static const std::vector<Integer> fives = MakePowers(5);
    return base == 10 ? tens : fives;
}

Integer Power(unsigned base, unsigned n)
{
    if (n < kTableSize)
        return TableOf(base)[n];
    return boost::multiprecision::pow(Integer(base), n);
}

const Integer& PowerOfTenRef(unsigned n, Integer& scratch)
{
    if (n < kTableSize)
        return TableOf(10)[n];
    scratch = Power(10, n);
    return scratch;
}

// Decimal digits of a non-negative integer (0 has one digit).
int DigitCount(const Integer& n)
{
    if (n == 0)
        return 1;
    const auto bits = static_cast<int>(boost::multiprecision::msb(n)) + 1;
    int digits = std::max(1, static_cast<int>(std::floor((bits - 1) * 0.30102999566398120)) + 1);
    Integer scratch;
    while (digits > 1 && n < PowerOfTenRef(static_cast<unsigned>(digits - 1), scratch))
        --digits;
    while (n >= PowerOfTenRef(static_cast<unsigned>(digits), scratch))
        ++digits;
    return digits;
}

// n / 10^count rounded half away from zero, for a non-negative n.
Integer DivideHalfUp(const Integer& n, unsigned count)
{
    Integer scratch;
    const Integer& divisor = PowerOfTenRef(count, scratch);
    Integer quotient;
    Integer remainder;
    boost::multiprecision::divide_qr(n, divisor, quotient, remainder);
    remainder <<= 1;
    if (remainder >= divisor)
        ++quotient;
    return quotient;
}

Integer ScaledUp(const Integer& n, int count)
{
    if (count <= 0)
        return n;
    Integer scratch;
    return n * PowerOfTenRef(static_cast<unsigned>(count), scratch);
}

QString NumberForMessage(double x)
{
    return FloatToStr(x);
}

// ---------------------------------------------------------------------------
// The same reduction on 128-bit integers for the magnitudes the estimating
// tables produce (1e-10 ≤ |x| < 1e18, precision ≤ 38). It gives exactly the
// result of the general path below; it exists because the calculation reduces
// several values for every disposal site.

__extension__ typedef unsigned __int128 Wide;

constexpr int kFastMaxFive = 27;   // 2^53 × 5^27 < 2^116
constexpr int kFastMaxTen = 38;    // 10^38 < 2^128

constexpr Wide WidePower(unsigned base, int n)
{
    Wide r = 1;
    for (int i = 0; i < n; ++i)
        r *= base;
    return r;
}

struct WideTables
{
    Wide five[kFastMaxFive + 1];
    Wide ten[kFastMaxTen + 1];
};

constexpr WideTables MakeWideTables()
{
    WideTables t{};
    for (int i = 0; i <= kFastMaxFive; ++i)
        t.five[i] = WidePower(5, i);
    for (int i = 0; i <= kFastMaxTen; ++i)
        t.ten[i] = WidePower(10, i);
    return t;
}

constexpr WideTables kWide = MakeWideTables();

Integer FromWide(Wide v)
{
    const auto high = static_cast<std::uint64_t>(v >> 64);
    const auto low = static_cast<std::uint64_t>(v);
    if (high == 0)
        return Integer(low);
    Integer r(high);
    r <<= 64;
    r += low;
    return r;
}

enum class FastResult { Done, Overflow, NotHandled };

// |x| = bits × 2^exponent with bits < 2^53.
FastResult ReduceFast(std::uint64_t bits, int exponent, int precision, int scale, Wide& mantissa)
{
    if (precision > kFastMaxTen)
        return FastResult::NotHandled;
    // First digit's power of ten, estimated from the binary exponent
    // (2^(b-1) ≤ |x| < 2^b); it may be one too small, which the digit count
    // of q below corrects.
    const int binaryExponent = exponent + 53;
    int lead = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398120));
    Wide n18 = 0;
    int decimals = 0;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 3)
            return FastResult::NotHandled;
        decimals = 17 - lead; // 18 significant digits
        if (decimals < 0 || decimals > kFastMaxFive)
            return FastResult::NotHandled;
        // |x| × 10^decimals = bits × 5^decimals × 2^(decimals + exponent)
        const Wide product = static_cast<Wide>(bits) * kWide.five[decimals];
        const int shift = decimals + exponent;
        Wide q = 0;
        bool roundUp = false;
        if (shift >= 0) {
            if (shift > 10)
                return FastResult::NotHandled;
            q = product << shift;
        } else {
            const int right = -shift;
            if (right > 127)
                return FastResult::NotHandled;
            q = product >> right;
            roundUp = ((product >> (right - 1)) & 1) != 0; // remainder ≥ half: away from zero
        }
        if (q >= kWide.ten[18]) {
            ++lead;
            continue;
        }
        if (q < kWide.ten[17]) {
            --lead;
            continue;
        }
        n18 = q + (roundUp ? 1 : 0);
        break;
    }
    if (n18 == kWide.ten[18])
        ++lead; // 999…9.5 carried into a new digit

    const int keep = std::min(scale, std::min(precision, 18) - 1 - lead);
    Wide n = n18;
    if (decimals > keep) {
        const int drop = decimals - keep;
        if (drop > 19) {
            n = 0; // n18 ≤ 10^18 is below half of 10^20
        } else {
            const Wide divisor = kWide.ten[drop];
            const Wide remainder = n % divisor;
            n /= divisor;
            if (remainder * 2 >= divisor)
                ++n;
        }
        decimals = keep;
    }
    const int up = scale - decimals;
    if (n != 0) {
        if (up > kFastMaxTen || n >= kWide.ten[kFastMaxTen - up])
            return FastResult::Overflow; // at least 10^38 ≥ 10^precision
        n *= kWide.ten[up];
        if (n >= kWide.ten[precision])
            return FastResult::Overflow;
    }
    mantissa = n;
    return FastResult::Done;
}

} // namespace

namespace velmora::data {

Decimal::Decimal(Integer mantissa, int scale)
    : m_mantissa(std::move(mantissa))
    , m_scale(scale)
{
    if (m_scale < 0) {
        m_mantissa = ScaledUp(m_mantissa, -m_scale);
        m_scale = 0;
    }
    checkDigits();
}

Decimal Decimal::fromInt(long long value)
{
    return Decimal(Integer(value), 0);
}

Decimal Decimal::fromString(const QString& text)
{
    const auto fail = [&text]() {
        return velmora::ConvertError(QStringLiteral("'%1' は10進数ではありません。").arg(text));
    };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    QByteArray digits;
    int scale = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            digits.append(static_cast<char>(c));
            if (point)
                ++scale;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            throw fail();
        }
    }
    if (digits.isEmpty())
        throw fail();
    // The integer parser reads a leading "0" as an octal prefix.
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits.at(first) == '0')
        ++first;
    Integer mantissa(digits.constData() + first);
    if (negative)
        mantissa = -mantissa;
    return Decimal(std::move(mantissa), scale);
}

Decimal Decimal::fromNumberText(const QString& text)
{
    const qsizetype e = std::max(text.indexOf(u'e'), text.indexOf(u'E'));
    if (e < 0)
        return fromString(text);
    const QString exponentText = text.mid(e + 1);
    bool ok = false;
    const int exponent = exponentText.toInt(&ok);
    const bool plainDigits = !exponentText.isEmpty() && exponentText.back().isDigit()
                             && (exponentText.front().isDigit() || exponentText.front() == u'-' || exponentText.front() == u'+');
    if (!ok || !plainDigits || exponent > 1000 || exponent < -1000)
        throw velmora::ConvertError(QStringLiteral("'%1' は10進数ではありません。").arg(text));
    const Decimal significand = fromString(text.left(e));
    return Decimal(significand.m_mantissa, significand.m_scale - exponent);
}

Decimal Decimal::fromTableFigure(const QString& text)
{
    StrToFloat(text);
    return fromNumberText(text.trimmed());
}

Decimal Decimal::operator+(const Decimal& other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    return Decimal(ScaledUp(m_mantissa, scale - m_scale) + ScaledUp(other.m_mantissa, scale - other.m_scale), scale);
}

Decimal Decimal::operator-(const Decimal& other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    return Decimal(ScaledUp(m_mantissa, scale - m_scale) - ScaledUp(other.m_mantissa, scale - other.m_scale), scale);
}

Decimal Decimal::operator*(const Decimal& other) const
{
    return Decimal(m_mantissa * other.m_mantissa, m_scale + other.m_scale);
}

Decimal Decimal::dividedBy100() const
{
    return Decimal(m_mantissa, m_scale + 2);
}

Decimal Decimal::floor() const
{
    if (m_scale == 0)
        return *this;
    Integer scratch;
    Integer quotient;
    Integer remainder;
    boost::multiprecision::divide_qr(m_mantissa, PowerOfTenRef(static_cast<unsigned>(m_scale), scratch), quotient, remainder);
    // divide_qr truncates toward zero.
    if (remainder < 0)
        --quotient;
    return Decimal(std::move(quotient), 0);
}

int Decimal::compare(const Decimal& other) const
{
    if (m_scale == other.m_scale)
        return m_mantissa.compare(other.m_mantissa);
    // Distances are compared with every band limit of a table: for mantissas
    // of one limb whose scales differ by at most 19 digits, 128 bits hold both
    // sides exactly.
    const auto& left = m_mantissa.backend();
    const auto& right = other.m_mantissa.backend();
    const int gap = m_scale - other.m_scale;
    if (left.size() == 1 && right.size() == 1 && gap >= -19 && gap <= 19) {
        const bool negativeA = left.sign() && left.limbs()[0] != 0;
        const bool negativeB = right.sign() && right.limbs()[0] != 0;
        if (negativeA != negativeB)
            return negativeA ? -1 : 1;
        Wide magnitudeA = left.limbs()[0];
        Wide magnitudeB = right.limbs()[0];
        if (gap > 0)
            magnitudeB *= kWide.ten[gap];
        else
            magnitudeA *= kWide.ten[-gap];
        const int c = magnitudeA < magnitudeB ? -1 : (magnitudeA > magnitudeB ? 1 : 0);
        return negativeA ? -c : c;
    }
    const int scale = std::max(m_scale, other.m_scale);
    const Integer a = ScaledUp(m_mantissa, scale - m_scale);
    const Integer b = ScaledUp(other.m_mantissa, scale - other.m_scale);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

double Decimal::toDouble() const
{
    // Both operands exact and the division correctly rounded: the nearest
    // double without going through text.
    static constexpr double exactTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t exactLimit = std::uint64_t(1) << 53;
    const auto& backend = m_mantissa.backend();
    if (backend.size() <= 2) {
        Wide magnitude = backend.limbs()[0];
        if (backend.size() == 2)
            magnitude |= static_cast<Wide>(backend.limbs()[1]) << 64;
        // Products carry the scales of both factors; trailing zeros of the
        // fraction often bring the mantissa back into the exact range.
        int scale = m_scale;
        while (scale > 0 && magnitude > exactLimit && magnitude % 10 == 0) {
            magnitude /= 10;
            --scale;
        }
        if (scale <= 22 && magnitude <= exactLimit) {
            const double m = static_cast<double>(static_cast<std::uint64_t>(magnitude));
            return (backend.sign() ? -m : m) / exactTens[scale];
        }
    }
    // from_chars rounds correctly from any number of digits, and reads "."
    // whatever the desktop's locale.
    const QByteArray text = toString().toLatin1();
    double value = 0;
    std::from_chars(text.constData(), text.constData() + text.size(), value);
    return value;
}

QString Decimal::toString() const
{
    std::string digits = Integer(boost::multiprecision::abs(m_mantissa)).str();
    const bool negative = m_mantissa < 0;
    if (m_scale > 0) {
        if (static_cast<int>(digits.size()) <= m_scale)
            digits.insert(0, static_cast<std::size_t>(m_scale) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(m_scale), 1, '.');
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
    }
    QString out = QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
    return negative ? u'-' + out : out;
}

void Decimal::checkDigits() const
{
    // 2^212 < 10^64: anything shorter (three limbs or fewer certainly) cannot
    // reach the limit, which spares the common small values the digit count.
    if (m_mantissa.backend().size() <= 3)
        return;
    Integer magnitude = boost::multiprecision::abs(m_mantissa);
    if (boost::multiprecision::msb(magnitude) < 212)
        return;
    int fractionDigits = m_scale;
    while (fractionDigits > 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        --fractionDigits;
    }
    if (DigitCount(magnitude) > MaxDigits)
        throw velmora::OverflowError(
            QStringLiteral("10進数の計算結果が %1 桁を超えました（桁あふれ）。").arg(MaxDigits));
}

} // namespace velmora::data

Decimal ReduceToDecimal(double x, int precision, int scale)
{
    if (scale < 0 || precision < scale || precision > Decimal::MaxDigits)
        throw velmora::Error(QStringLiteral("10進数の桁指定が不正です（精度 %1、小数部 %2）。").arg(precision).arg(scale));
    const auto overflow = [&]() {
        return velmora::OverflowError(QStringLiteral("数値 %1 は整数部 %2 桁、小数部 %3 桁の10進数に収まりません（桁あふれ）。")
                                          .arg(NumberForMessage(x))
                                          .arg(precision - scale)
                                          .arg(scale));
    };
    if (!std::isfinite(x))
        throw overflow();
    if (x == 0)
        return Decimal(0, scale);

    // The exact decimal expansion of x: x = m × 2^e = (m × 5^-e) / 10^-e.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(x), &exponent);
    auto bits = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;

    Wide fastMantissa = 0;
    switch (ReduceFast(bits, exponent, precision, scale, fastMantissa)) {
    case FastResult::Done: {
        Integer m = FromWide(fastMantissa);
        if (x < 0)
            m = -m;
        return Decimal(std::move(m), scale);
    }
    case FastResult::Overflow:
        throw overflow();
    case FastResult::NotHandled:
        break;
    }
    while ((bits & 1U) == 0) {
        bits >>= 1;
        ++exponent;
    }
    Integer digits(bits);
    int decimals = 0;
    if (exponent >= 0) {
        digits <<= exponent;
    } else {
        decimals = -exponent;
        digits *= Power(5, static_cast<unsigned>(decimals));
    }

    // 18 significant digits.
    constexpr int kSignificant = 18;
    int count = DigitCount(digits);
    if (count > kSignificant) {
        const int drop = count - kSignificant;
        digits = DivideHalfUp(digits, static_cast<unsigned>(drop));
        decimals -= drop;
        count = DigitCount(digits);
    }

    // Then the coarser of the precision's last significant digit and the
    // scale's last decimal.
    const int leadingPosition = count - 1 - decimals; // power of ten of the first digit
    const int keep = std::min(scale, std::min(precision, kSignificant) - 1 - leadingPosition);
    if (decimals > keep) {
        digits = DivideHalfUp(digits, static_cast<unsigned>(decimals - keep));
        decimals = keep;
    }

    Integer mantissa = ScaledUp(digits, scale - decimals);
    Integer scratch;
    if (mantissa >= PowerOfTenRef(static_cast<unsigned>(precision), scratch))
        throw overflow();
    if (x < 0)
        mantissa = -mantissa;
    return Decimal(std::move(mantissa), scale);
}
