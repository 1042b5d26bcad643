#include "calc/ShorterThanStraight.h"

#include <gtest/gtest.h>

TEST(ShorterThanStraight, MoreThanATenthBelowTheStraightLineAsShown)
{
    using velmora::calc::ShorterThanStraight;
    // 8.3 - 0.1 is 8.200000000000001 as a double, shown as 8.2.
    EXPECT_FALSE(ShorterThanStraight(8.3 - 0.1, 8.3));
    EXPECT_TRUE(ShorterThanStraight(8.19, 8.3));
    // 0 is no distance at all: the straight line applies.
    EXPECT_FALSE(ShorterThanStraight(0, 8.3));
}
