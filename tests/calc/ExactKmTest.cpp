#include "calc/ExactKm.h"
#include "calc/ShownDistance.h"
#include "data/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using velmora::data::Decimal;
using velmora::calc::ExactKm;

namespace {

Decimal D(const char* text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}

int Sign(int c) { return (c > 0) - (c < 0); }

} // namespace

// The quick form must order every distance against every limit exactly as
// the shown distance read through its text does.
TEST(ExactKmTest, ShownDistanceComparesAsItsText)
{
    std::vector<double> distances = {0.0, -0.0, 0.1, 3 * 0.1, 0.3, 59.99999999999999, 60.00000000000001,
                                     60.0000000000001, 1e-9, 1e-12, 2.5e-7, 123456789.123, 1e15, 1e20,
                                     -12.3, 45.6789012345678, 0.1 + 0.2, std::nextafter(60.0, 61.0), 1e-30};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> anyKm(-1, 70);
    for (int i = 0; i < 2000; ++i) {
        const double km = anyKm(rng);
        distances.push_back(km);
        distances.push_back(std::round(km * 10) / 10);
        distances.push_back(std::round(km * 1000) * 0.001);
        distances.push_back(std::nextafter(std::round(km * 10) / 10, 100.0));
    }
    const std::vector<Decimal> limits = {D("0"), D("0.3"), D("0.30000000000000004"), D("60"), D("59.9"),
                                         D("60.0000000000001"), D("-12.3"), D("0.000000001"),
                                         D("12345678901234567890.5"), D("0.0000000000000000000001")};
    for (const Decimal& limit : limits) {
        const ExactKm exactLimit(limit);
        EXPECT_EQ(exactLimit.toDecimal(), limit);
        for (double km : distances) {
            const Decimal shown = velmora::calc::ShownDistance(km);
            const ExactKm quick = ExactKm::shown(km);
            ASSERT_EQ(Sign(quick.compare(exactLimit)), Sign(shown.compare(limit)))
                << km << " against " << limit.toString().toStdString();
            ASSERT_EQ(quick.toDecimal(), shown) << km;
        }
    }
}

TEST(ExactKmTest, NotANumberIsRefused)
{
    EXPECT_THROW(ExactKm::shown(std::nan("")), velmora::Error);
    EXPECT_THROW(ExactKm::shown(-std::numeric_limits<double>::infinity()), velmora::Error);
}
