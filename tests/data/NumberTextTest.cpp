#include "data/Decimal.h"
#include "data/Error.h"
#include "data/NumberText.h"
#include "support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(NumberText, IntegersAllowLeadingBlanksAndSignOnly)
{
    EXPECT_EQ(StrToInt(QStringLiteral("  42")), 42);
    EXPECT_EQ(StrToInt(QStringLiteral("+7")), 7);
    EXPECT_EQ(StrToInt(QStringLiteral("-0")), 0);
    EXPECT_EQ(StrToInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), std::numeric_limits<int>::min());
    for (const QString& bad : {QString(), QStringLiteral("-"), QStringLiteral("42 "), QStringLiteral("1.0"), QStringLiteral("2147483648"),
                               QStringLiteral("-2147483649"), QStringLiteral("１２"), QStringLiteral("99999999999999999999")}) {
        EXPECT_THROW(StrToInt(bad), velmora::ConvertError) << bad.toStdString();
        EXPECT_EQ(StrToIntDefault(bad, -5), -5) << bad.toStdString();
    }
}

TEST(NumberText, FloatsAreCLocaleDecimalsWithOptionalExponent)
{
    EXPECT_EQ(StrToFloat(QStringLiteral(" 2.5 ")), 2.5);
    EXPECT_EQ(StrToFloat(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(StrToFloat(QStringLiteral("-1e3")), -1000.0);
    EXPECT_EQ(StrToFloat(QStringLiteral("1.13")), 1.13);
    for (const QString& bad : {QString(), QStringLiteral("1,5"), QStringLiteral("inf"), QStringLiteral("nan"), QStringLiteral("0x10"),
                               QStringLiteral("1e999"), QStringLiteral("."), QStringLiteral("1.2.3")}) {
        EXPECT_THROW(StrToFloat(bad), velmora::ConvertError) << bad.toStdString();
        EXPECT_EQ(StrToFloatDefault(bad, 9.5), 9.5) << bad.toStdString();
    }
}

TEST(NumberText, FloatToStrGivesTheShortestFormWithFifteenDigits)
{
    EXPECT_EQ(FloatToStr(12.3), QStringLiteral("12.3"));
    EXPECT_EQ(FloatToStr(5), QStringLiteral("5"));
    EXPECT_EQ(FloatToStr(-0.25), QStringLiteral("-0.25"));
    EXPECT_EQ(FloatToStr(-0.0), QStringLiteral("0"));
    EXPECT_EQ(FloatToStr(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(FloatToStr(2.0 / 3.0), QStringLiteral("0.666666666666667"));
    EXPECT_EQ(FloatToStr(136.50812345678912), QStringLiteral("136.508123456789"));
    EXPECT_EQ(FloatToStr(-152345.678), QStringLiteral("-152345.678"));
    EXPECT_EQ(FloatToStr(999999999999999.0), QStringLiteral("999999999999999"));
    EXPECT_EQ(FloatToStr(1e15), QStringLiteral("1E15"));
    EXPECT_EQ(FloatToStr(0.00001), QStringLiteral("0.00001"));
    EXPECT_EQ(FloatToStr(-0.0000015), QStringLiteral("-1.5E-6"));
    EXPECT_EQ(IntToStr(-42), QStringLiteral("-42"));
    // What is written can be read back.
    for (double v : {12.3, 34.7213456789012, -0.000123, 60.0, 1e20})
        EXPECT_EQ(StrToFloat(FloatToStr(v)), v) << v;
}

// Texts below the normal range of a double are numbers too (close to or
// equal to zero); the figures written for such values must read back.
TEST(NumberText, TinyNumbersReadBackOnlyOverflowIsRejected)
{
    const double subnormal = 1.59593084919639e-319;
    const QString written = FloatToStr(subnormal);
    EXPECT_EQ(written, QStringLiteral("1.59593084919639E-319"));
    EXPECT_NEAR(StrToFloat(written), subnormal, 1e-330);
    EXPECT_EQ(StrToFloat(QStringLiteral("1e-400")), 0.0);
    EXPECT_EQ(StrToFloat(QStringLiteral("-2.5E-310")), -2.5e-310);
    EXPECT_THROW(StrToFloat(QStringLiteral("-1e400")), velmora::ConvertError);
}

// The application object takes the number format from the desktop's locale;
// the number texts of tables, fields and pages keep "." all the same.
TEST(NumberText, DecimalCommaLocaleChangesNoNumberText)
{
    velmora::test::ScopedDecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no decimal-comma locale installed (scripts/install-deps generates de_DE.UTF-8)";
    // Texts no other test converts, so none is remembered from before.
    EXPECT_EQ(StrToFloat(QStringLiteral("4711.0625")), 4711.0625);
    EXPECT_EQ(StrToFloatDefault(QStringLiteral("-0.0078125"), 1), -0.0078125);
    EXPECT_THROW(StrToFloat(QStringLiteral("4711,03125")), velmora::ConvertError);
    EXPECT_EQ(FloatToStr(4711.0625), QStringLiteral("4711.0625"));
    EXPECT_EQ(FloatToStr(-0.0000015), QStringLiteral("-1.5E-6"));
    // A decimal too long for the quick conversion goes through text as well.
    EXPECT_EQ(velmora::data::Decimal::fromString(QStringLiteral("0.12345678901234567890123456")).toDouble(),
              0.12345678901234567890123456);
}

} // namespace
