#include "calc/ShorterThanStraight.h"

#include <gtest/gtest.h>

namespace {

TEST(ShorterThanStraight, MoreThanATenthBelowTheStraightLineAsShown)
{
    EXPECT_FALSE(velmora::calc::ShorterThanStraight(8.2, 8.3));
    // 8.3 - 0.1 is 8.200000000000001 as a double, shown as 8.2.
    EXPECT_FALSE(velmora::calc::ShorterThanStraight(8.3 - 0.1, 8.3));
    EXPECT_TRUE(velmora::calc::ShorterThanStraight(8.19, 8.3));
    EXPECT_TRUE(velmora::calc::ShorterThanStraight(5, 8.3));
    EXPECT_FALSE(velmora::calc::ShorterThanStraight(9, 8.3));
    // 0 is no distance at all: the straight line applies.
    EXPECT_FALSE(velmora::calc::ShorterThanStraight(0, 8.3));

    CDisplayCalcResultData row;
    row.SetStraightDistance(8.3);
    row.SetTransportDistance(5, CDisplayCalcResultData::DistanceSource::RoutePage);
    EXPECT_TRUE(velmora::calc::ShorterThanStraight(row));
    EXPECT_TRUE(velmora::calc::ShorterThanStraightHint(row).contains(QStringLiteral("運搬距離 5km、直接参考距離 8.3km")));
}

} // namespace
