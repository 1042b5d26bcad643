#include "calc/CRound.h"
#include "calc/Rounding.h"
#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// The estimating rules are written against the x87 80-bit long double; a
// platform where long double is plain double (or quad) gives other yen.
static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended precision required");

namespace {

TEST(RoundingPlatform, LongDoubleIsX87Extended)
{
    EXPECT_EQ(std::numeric_limits<long double>::digits, 64);
    EXPECT_EQ(std::numeric_limits<double>::digits, 53);
    // 1 + 2^-60 survives in extended precision and is lost in double.
    volatile long double tiny = std::ldexp(1.0L, -60);
    EXPECT_NE(1.0L + tiny, 1.0L);
}

TEST(RoundingPlatform, ProductsAreNotContractedIntoFusedMultiplyAdd)
{
    // With a fused multiply-add a*b-c keeps the low bits of the product and
    // gives 2^-104 here instead of 0.
    volatile double a = 1.0 + std::ldexp(1.0, -52);
    volatile double c = 1.0 + std::ldexp(1.0, -51);
    const double r = a * a - c;
    EXPECT_EQ(r, 0.0);
}

TEST(SplitNumber, FractionJustBelowOneCountsAsWhole)
{
    double w = 0, f = 1;
    SplitNumber(2.99999999999997, w, f);
    EXPECT_EQ(w, 2.99999999999997);
    EXPECT_EQ(f, 0.0);

    SplitNumber(-2.99999999999997, w, f);
    EXPECT_EQ(w, -2.99999999999997);
    EXPECT_EQ(f, 0.0);
    EXPECT_TRUE(std::signbit(f));
}

TEST(SplitNumber, OrdinaryAndTinyFractionsAreKept)
{
    double w = 0, f = 0;
    SplitNumber(3.00000000001, w, f);
    EXPECT_EQ(w, 3.0);
    EXPECT_GT(f, 0.0);
    EXPECT_LT(f, 1e-10);

    // 1 - f = 2e-10 is outside the tolerance.
    SplitNumber(2.9999999998, w, f);
    EXPECT_EQ(w, 2.0);
    EXPECT_NEAR(f, 0.9999999998, 1e-15);

    SplitNumber(-1.25, w, f);
    EXPECT_EQ(w, -1.0);
    EXPECT_EQ(f, -0.25);

    SplitNumber(7.0, w, f);
    EXPECT_EQ(w, 7.0);
    EXPECT_EQ(f, 0.0);
}

TEST(RoundHalfAt, HalvesGoAwayFromZero)
{
    EXPECT_EQ(FloatToStr(RoundHalfAt(2.25, 1)).toStdString(), "2.3");
    EXPECT_EQ(FloatToStr(RoundHalfAt(2.35, 1)).toStdString(), "2.4");
    EXPECT_EQ(FloatToStr(RoundHalfAt(-2.25, 1)).toStdString(), "-2.3");
    EXPECT_EQ(RoundHalfAt(-0.7, 0), -1.0);
    EXPECT_EQ(RoundHalfAt(0.5, 0), 1.0);
    EXPECT_EQ(RoundHalfAt(-0.5, 0), -1.0);
    EXPECT_EQ(RoundHalfAt(0.49, 0), 0.0);
}

TEST(RoundHalfAt, ResultIsWholeTimesPowerNotQuotient)
{
    // 23 × 0.1 is 2.3000000000000003 as a double; 23 / 10 would be 2.3.
    EXPECT_EQ(RoundHalfAt(2.25, 1), 2.3000000000000003);
    EXPECT_NE(RoundHalfAt(2.25, 1), 2.3);
    EXPECT_EQ(RoundHalfAt(-2.25, 1), -2.3000000000000003);
    EXPECT_EQ(RoundHalfAt(2.35, 1), 24 * 0.1);
}

TEST(RoundHalfAt, ScaledFractionHasNoTolerance)
{
    // 1.005 × 100 is stored as 100.49999999999999.
    EXPECT_EQ(RoundHalfAt(1.005, 2), 1.0);
    EXPECT_EQ(RoundHalfAt(2.99999999999997, 0), 2.99999999999997);
    EXPECT_EQ(RoundHalfAt(3.00000000001, 0), 3.0);
    EXPECT_EQ(RoundHalfAt(2.9999999998, 0), 3.0);
}

TEST(RoundHalfAt, DistancesToTenthOfKilometre)
{
    EXPECT_EQ(FloatToStr(RoundHalfAt(60.04, 1)).toStdString(), "60");
    EXPECT_EQ(FloatToStr(RoundHalfAt(60.05, 1)).toStdString(), "60.1");
    EXPECT_GT(RoundHalfAt(60.05, 1), 60.0);
    EXPECT_EQ(FloatToStr(RoundHalfAt(12.345, 1)).toStdString(), "12.3");
}

TEST(CRound, FreshComponentRoundsNothing)
{
    CRound round;
    EXPECT_EQ(round.Rule().GetRoundKind(), CRoundCore::RoundNone);
    EXPECT_EQ(round.Rule().GetDigits(), 1);
    EXPECT_EQ(round.Round(2.5), 2.5);
    EXPECT_EQ(round.Round(-1.23456), -1.23456);
    round.SetDigits(3);
    EXPECT_EQ(round.Round(1.23456), 1.23456);
}

TEST(CRound, DigitsAreCappedAtNineAndZeroActsLikeOne)
{
    CRound round;
    round.SetDigits(12);
    EXPECT_EQ(round.Rule().GetDigits(), 9);
    round.SetRoundKind(CRoundCore::RoundHalfUp);
    // Nine digits: eight decimals kept.
    EXPECT_EQ(FloatToStr(round.Round(0.123456785)).toStdString(), "0.12345679");

    round.SetDigits(0);
    EXPECT_EQ(round.Round(2.5), 3.0);
    round.SetDigits(-4);
    EXPECT_EQ(round.Round(2.4), 2.0);

    round.SetRoundKind(CRoundCore::RoundNone);
    EXPECT_EQ(round.Round(2.4), 2.4);
}

TEST(RoundUpAt, TensAndHundreds)
{
    EXPECT_EQ(RoundUpAt(1231, -1), 1240.0);
    EXPECT_EQ(RoundUpAt(1230, -1), 1230.0);
    EXPECT_EQ(RoundUpAt(1201, -2), 1300.0);
    EXPECT_EQ(RoundUpAt(1200, -2), 1200.0);
    // The callers truncate; the quotient must already be the stored double
    // (124 / 0.1 is 1239.99999999999993 in extended precision).
    EXPECT_EQ(static_cast<int>(RoundUpAt(1231, -1)), 1240);
    EXPECT_EQ(static_cast<int>(RoundUpAt(76049, -2)), 76100);
    EXPECT_EQ(RoundUpAt(1.231, 2), 1.24);
    EXPECT_EQ(RoundUpAt(-1.5, 0), -1.0);
}

TEST(RoundDownAt, FloorsTowardMinusInfinity)
{
    EXPECT_EQ(RoundDownAt(0.56, 0), 0.0);
    EXPECT_EQ(RoundDownAt(-0.56, 0), -1.0);
    EXPECT_EQ(RoundDownAt(1999.99, 0), 1999.0);
    EXPECT_EQ(RoundDownAt(1299, -2), 1200.0);
    EXPECT_EQ(RoundDownAt(0.129, 2), 0.12);
}

TEST(RoundSignificant, UpKeepsDigitsCountingLeadingZero)
{
    EXPECT_EQ(RoundUpSignificant(1234.5, 4), 1235.0);
    EXPECT_EQ(RoundUpSignificant(12345.6, 4), 12350.0);
    EXPECT_EQ(RoundUpSignificant(123456, 4), 123500.0);
    EXPECT_EQ(RoundUpSignificant(0.012345, 4), 0.013);
    EXPECT_EQ(RoundUpSignificant(1234, 4), 1234.0);
    EXPECT_EQ(RoundUpSignificant(999.91, 4), 1000.0);
    // The minus sign is skipped: -1234.5 keeps four digits too.
    EXPECT_EQ(RoundUpSignificant(-1234.5, 4), -1234.0);
}

TEST(RoundSignificant, DownKeepsOneDigitMoreAfterPoint)
{
    EXPECT_EQ(RoundDownSignificant(0.56, 1), 0.5);
    EXPECT_EQ(RoundDownSignificant(-0.56, 1), -0.6);
    EXPECT_EQ(RoundDownSignificant(1234, 1), 1000.0);
    EXPECT_EQ(RoundDownSignificant(1234.5, 1), 1200.0);
    EXPECT_EQ(RoundDownSignificant(0.99, 1), 0.9);
}

TEST(RadiansToDegrees, QuarterTurnsAreExact)
{
    EXPECT_EQ(RadiansToDegrees(0.0), 0.0);
    EXPECT_EQ(RadiansToDegrees(std::atan2(1.0, 1.0)), 45.0);
    EXPECT_EQ(RadiansToDegrees(std::atan2(1.0, 0.0)), 90.0);
    EXPECT_EQ(RadiansToDegrees(std::atan2(-1.0, 0.0)), -90.0);
    EXPECT_EQ(RadiansToDegrees(std::atan2(0.0, -1.0)), 180.0);
    EXPECT_NEAR(RadiansToDegrees(1.0), 57.29577951308232, 1e-13);
}

} // namespace
