#include "data/Decimal.h"
#include "calc/Rounding.h"
#include "data/NumberText.h"

#include <gtest/gtest.h>

// The two cost methods' rounding chains, step by step with the library's
// pieces, on the figures the estimating rules give as worked examples.

namespace {

double ReducedTo(double value, int precision, int scale)
{
    return ReduceToDecimal(value, precision, scale).toDouble();
}

TEST(LabourRateChain, ReductionBeforeRoundingDecidesTheHundredth)
{
    volatile double quantity = 6.5;
    volatile double coefficient = 1.37;
    const double product = static_cast<double>(static_cast<long double>(quantity) * coefficient);
    EXPECT_EQ(product, 8.905000000000001);
    EXPECT_EQ(ReduceToDecimal(product, 10, 6).toString().toStdString(), "8.905");
    const double reduced = ReducedTo(product, 10, 6);
    EXPECT_EQ(reduced, 8.905);
    EXPECT_LT(reduced, 8.905L); // held as 8.90499999999999936
    EXPECT_EQ(FloatToStr(RoundHalfAt(reduced, 2)).toStdString(), "8.9");
    // What skipping the reduction would give.
    EXPECT_EQ(FloatToStr(RoundHalfAt(product, 2)).toStdString(), "8.91");
}

TEST(LabourRateChain, ReductionLiftsAProductJustBelowTheHalf)
{
    volatile double quantity = 0.35;
    volatile double coefficient = 1.3;
    const double product = static_cast<double>(static_cast<long double>(quantity) * coefficient);
    EXPECT_EQ(product, 0.45499999999999996);
    const double reduced = ReducedTo(product, 10, 6);
    EXPECT_EQ(reduced, 0.455);
    EXPECT_EQ(FloatToStr(RoundHalfAt(reduced, 2)).toStdString(), "0.46");
    EXPECT_EQ(FloatToStr(RoundHalfAt(product, 2)).toStdString(), "0.45");
}

TEST(LabourRateChain, ExtendedProductTruncatesBelowTheDoubleOne)
{
    volatile int price = 45000;
    volatile double rate = 1.69;
    const long double extended = static_cast<long double>(price) * static_cast<long double>(rate);
    const double plain = static_cast<double>(price) * rate;
    EXPECT_EQ(static_cast<long long>(extended), 76049);
    EXPECT_EQ(static_cast<long long>(plain), 76050);
    const int perHundred = static_cast<int>(RoundUpAt(static_cast<double>(static_cast<long long>(extended)), -2));
    EXPECT_EQ(perHundred, 76100);
    EXPECT_EQ(perHundred / 100, 761);
}

TEST(LabourRateChain, WholeExampleFromQuantity)
{
    volatile double quantity = 1.23;
    volatile double coefficient = 1.37;
    const double p = ReducedTo(static_cast<double>(static_cast<long double>(quantity) * coefficient), 10, 6);
    EXPECT_EQ(ReduceToDecimal(p, 10, 6).toString().toStdString(), "1.6851");
    const double r = RoundHalfAt(p, 2);
    EXPECT_EQ(r, 1.69);
    const auto c = static_cast<long long>(45000 * static_cast<long double>(r));
    EXPECT_EQ(c, 76049);
}

} // namespace
