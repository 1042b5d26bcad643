#include "Rounding.h"

#include "CRound.h"
#include "data/NumberText.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the yen figures need the x87 80-bit long double (64-bit significand)");

namespace {

constexpr double kWholeTolerance = 1e-10;

// Both steps of the estimating rules' directed roundings store their result
// as a double before the ceiling, floor or caller sees it. Doubles live in SSE
// registers on x86-64, so the conversion is that store; nothing carries the
// extended value further.
double StoreAsDouble(long double value)
{
    return static_cast<double>(value);
}

double ProductWithPower(double value, double power)
{
    return StoreAsDouble(static_cast<long double>(value) * static_cast<long double>(power));
}

double QuotientByPower(double value, double power)
{
    return StoreAsDouble(static_cast<long double>(value) / static_cast<long double>(power));
}

// pow(10.0, n), the real power the directed roundings are defined with. The
// usual exponents come from a table filled by pow itself, so the values are
// the same bit for bit.
double PowerOfTen(int n)
{
    constexpr int kLimit = 30;
    static const std::array<double, 2 * kLimit + 1> table = [] {
        std::array<double, 2 * kLimit + 1> t{};
        for (int i = -kLimit; i <= kLimit; ++i)
            t[static_cast<std::size_t>(i + kLimit)] = std::pow(10.0, i);
        return t;
    }();
    if (n < -kLimit || n > kLimit)
        return std::pow(10.0, n);
    return table[static_cast<std::size_t>(n + kLimit)];
}

// The number of decimals that keeps `count` digits of the value's text. The
// first digit of a value below 1 is its leading "0"; `extra` is 1 for the
// downward rounding, which keeps one digit more after a decimal point.
int DecimalsForDigitsOfText(double value, int count, int extra)
{
    const QString text = FloatToStr(value);
    const int point = static_cast<int>(text.indexOf(u'.')) + 1;
    if (point > 0)
        return count + 1 + extra - point + (value < 0 ? 1 : 0);
    return count - static_cast<int>(text.size());
}

// The calculation asks for the same few table prices at every disposal site;
// the number text is what costs, so the answer is kept per exact value.
int DecimalsForDigits(double value, int count, int extra)
{
    struct Entry
    {
        std::uint64_t bits = 0;
        int count = 0;
        int extra = 0;
        int decimals = 0;
        bool used = false;
    };
    thread_local std::array<Entry, 64> cache;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint64_t key = (bits ^ static_cast<std::uint64_t>(count * 2 + extra)) * 0x9E3779B97F4A7C15ULL;
    Entry& entry = cache[key >> 58]; // top six bits: 64 slots
    if (!entry.used || entry.bits != bits || entry.count != count || entry.extra != extra)
        entry = Entry{bits, count, extra, DecimalsForDigitsOfText(value, count, extra), true};
    return entry.decimals;
}

} // namespace

void SplitNumber(double x, double& whole, double& fraction)
{
    double w = 0;
    const double f = std::modf(x, &w);
    const double magnitude = std::fabs(f);
    if (magnitude > kWholeTolerance && 1 - magnitude < kWholeTolerance) {
        // A value such as 2.99999999999997 is a whole number that lost its
        // last bits on the way; the value itself stands for that number.
        whole = x;
        fraction = std::signbit(x) ? -0.0 : 0.0;
        return;
    }
    whole = w;
    fraction = f;
}

double RoundHalfAt(double value, int decimals)
{
    CRound round;
    round.SetRoundKind(CRoundCore::RoundHalfUp);
    round.SetDigits(decimals + 1);
    return round.Round(value);
}

double RoundUpAt(double value, int decimals)
{
    const double power = PowerOfTen(decimals);
    return QuotientByPower(std::ceil(ProductWithPower(value, power)), power);
}

double RoundDownAt(double value, int decimals)
{
    const double power = PowerOfTen(decimals);
    return QuotientByPower(std::floor(ProductWithPower(value, power)), power);
}

double RoundUpSignificant(double value, int count)
{
    return RoundUpAt(value, DecimalsForDigits(value, count, 0));
}

double RoundDownSignificant(double value, int count)
{
    return RoundDownAt(value, DecimalsForDigits(value, count, 1));
}

double RadiansToDegrees(double radians)
{
    // 1/π as the estimating rules write it, with 17 digits, held as an
    // extended constant: a bearing on a sector limit depends on its last bits.
    constexpr long double inversePi = 0.31830988618379068L;
    long double degrees = static_cast<long double>(radians) * 180.0L;
    degrees = degrees * inversePi;
    return StoreAsDouble(degrees);
}
