#pragma once

#include "data/Decimal.h"

#include <cstdint>

namespace velmora::calc {

// A distance or a distance limit as an exact decimal, for the comparisons made
// for every row of a calculation. Almost every value has a few digits: it is
// held as mantissa × 10^-scale in 64 bits and compared in 128, which spares
// the rows the arbitrary-size Decimal; any other value is held as a Decimal.
// Both forms compare exactly alike.
class ExactKm
{
public:
    ExactKm() = default;
    explicit ExactKm(const data::Decimal& exact);
    static ExactKm fromInt(int km) { return ExactKm(km, 0); }
    // The distance as the result grid shows it: its number text (FloatToStr)
    // read as an exact decimal, as ShownDistance gives it. velmora::Error for
    // a distance that is not a finite number.
    static ExactKm shown(double km);

    int compare(const ExactKm& other) const
    {
        if (!m_small || !other.m_small)
            return compareExactly(other);
        if (m_scale == other.m_scale)
            return (m_mantissa > other.m_mantissa) - (m_mantissa < other.m_mantissa);
        // Both mantissas are at most 10^18 and the scales differ by at most
        // 18: the scaled side stays below 10^36.
        __extension__ typedef __int128 Wide;
        Wide a = m_mantissa;
        Wide b = other.m_mantissa;
        if (m_scale < other.m_scale)
            a *= kTens[other.m_scale - m_scale];
        else
            b *= kTens[m_scale - other.m_scale];
        return (a > b) - (a < b);
    }
    bool operator<(const ExactKm& o) const { return compare(o) < 0; }
    bool operator>(const ExactKm& o) const { return compare(o) > 0; }
    bool operator<=(const ExactKm& o) const { return compare(o) <= 0; }
    bool operator>=(const ExactKm& o) const { return compare(o) >= 0; }
    bool operator==(const ExactKm& o) const { return compare(o) == 0; }
    bool operator!=(const ExactKm& o) const { return compare(o) != 0; }

    data::Decimal toDecimal() const;

    // Small values of up to FixedScale decimals are all held with that many,
    // so that comparing them is comparing two integers.
    static constexpr int FixedScale = 6;
    // The value in units of 10^-FixedScale km, when it is a whole number of them.
    bool fixed(std::int64_t& units) const
    {
        units = m_mantissa;
        return m_small && m_scale == FixedScale;
    }

private:
    static constexpr int kMaxSmallScale = 18;
    static constexpr std::int64_t kTens[kMaxSmallScale + 1] = {
        1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL, 100000000LL, 1000000000LL,
        10000000000LL, 100000000000LL, 1000000000000LL, 10000000000000LL, 100000000000000LL,
        1000000000000000LL, 10000000000000000LL, 100000000000000000LL, 1000000000000000000LL,
    };

    ExactKm(std::int64_t mantissa, int scale)
        : m_mantissa(mantissa)
        , m_scale(scale)
    {
        toFixedScale();
    }
    void toFixedScale();
    int compareExactly(const ExactKm& other) const;

    bool m_small = true;
    std::int64_t m_mantissa = 0;
    int m_scale = 0;
    data::Decimal m_exact; // the value when it is not small
};

} // namespace velmora::calc
