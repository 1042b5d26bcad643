#include "ExactKm.h"

#include "ShownDistance.h"

#include <cmath>
#include <cstring>
#include <iterator>

namespace {

// The bits of a double: for doubles of one sign, neighbours differ by one.
std::int64_t BitsOf(double x)
{
    std::int64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

} // namespace

using velmora::data::Decimal;

namespace velmora::calc {

ExactKm::ExactKm(const Decimal& exact)
{
    const Decimal::Integer& m = exact.mantissa();
    if (exact.scale() <= kMaxSmallScale && m <= kTens[kMaxSmallScale] && m >= -kTens[kMaxSmallScale]) {
        m_mantissa = m.convert_to<std::int64_t>();
        m_scale = exact.scale();
        toFixedScale();
    } else {
        m_small = false;
        m_exact = exact;
    }
}

ExactKm ExactKm::shown(double km)
{
    if (!std::isfinite(km))
        return ExactKm(ShownDistance(km)); // ShownDistance reports it
    if (km == 0)
        return ExactKm(0, 0);
    // FloatToStr keeps 15 significant digits. Let d = n / 10^s be a decimal of
    // at most 15 significant digits and q the double nearest to it (n / 10^s
    // with both operands exact is correctly rounded). A km equal to q or next
    // to it lies within 1.5 units in the last place of d, less than half a
    // unit of d's 15th digit: FloatToStr writes d. This covers the straight
    // distances, n × 0.1, which are often the double after or before n / 10.
    static constexpr double tens[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const std::int64_t kmBits = BitsOf(km);
    for (int s = 0; s < static_cast<int>(std::size(tens)); ++s) {
        const double scaled = km * tens[s];
        if (!(std::fabs(scaled) <= 1e15))
            break;
        const double n = std::nearbyint(scaled);
        if (n == 0)
            continue;
        const std::int64_t apart = kmBits - BitsOf(n / tens[s]);
        if (apart >= -1 && apart <= 1)
            return ExactKm(static_cast<std::int64_t>(n), s);
    }
    return ExactKm(ShownDistance(km));
}

void ExactKm::toFixedScale()
{
    if (m_scale >= FixedScale)
        return;
    const std::int64_t factor = kTens[FixedScale - m_scale];
    if (m_mantissa > kTens[kMaxSmallScale] / factor || m_mantissa < -kTens[kMaxSmallScale] / factor)
        return;
    m_mantissa *= factor;
    m_scale = FixedScale;
}

int ExactKm::compareExactly(const ExactKm& other) const
{
    return toDecimal().compare(other.toDecimal());
}

Decimal ExactKm::toDecimal() const
{
    return m_small ? Decimal(Decimal::Integer(m_mantissa), m_scale) : m_exact;
}

} // namespace velmora::calc
