#include "CalcTestTables.h"

#include "data/Error.h"

#include "data/TableFindings.h"

#include <gtest/gtest.h>

using calctest::truckTable;

namespace {

// A driver with the synthetic labour-rate table and prices; the quantities
// file lives in a temporary deployment.
class LabourRate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        calctest::writeQuantities(deployment);
        COutputDataManager::Parts parts;
        parts.truckClasses = std::make_unique<CBugakariList>(truckTable());
        parts.unitPrices = calctest::unitPrices();
        driver = std::make_unique<COutputDataManager>(std::move(parts));
    }

    velmora::test::TempDeployment deployment;
    std::unique_ptr<COutputDataManager> driver;
};

} // namespace

// Worked by hand: quantity × coefficient, held to six decimals, rounded half
// up to two; × truck-day price, truncated; rounded up to the basis; ÷ basis.
TEST_F(LabourRate, HandWorkedCostsPerTruckClass)
{
    // 10 t, reinforced concrete: price 45,000, coefficient 1.37, per 100 m³.
    driver->SetLabourRateConditions(0, false, 0, 0);
    EXPECT_EQ(driver->GetTruckUnitPrice(), 45000);
    // 1.23 × 1.37 = 1.6851 → 1.69; 45,000 × 1.69 lies just below 76,050 → 76,049 → 76,100 → 761.
    EXPECT_EQ(driver->LabourRateCost(0.2), 761);
    // 6.5 × 1.37 = 8.905000000000001, held as 8.905 (just below the half) → 8.9;
    // 45,000 × 8.9 = 400,500 → 4,005 (8.91 would give 4,010).
    EXPECT_EQ(driver->LabourRateCost(0.4), 4005);

    // Plain concrete: coefficient 1.3. 0.35 × 1.3 = 0.45499999999999996, held
    // as 0.455 → 0.46; 45,000 × 0.46 = 20,700 → 207 (0.45 would give 203).
    driver->SetLabourRateConditions(0, false, 1, 0);
    EXPECT_EQ(driver->LabourRateCost(0.6), 207);
    // Last band at exactly 60 km: 9.96 × 1.3 = 12.948 → 12.95; 45,000 × 12.95
    // = 582,749.99… → 582,749 → 582,800 → 5,828.
    EXPECT_EQ(driver->LabourRateCost(60.0), 5828);
    EXPECT_EQ(driver->LabourRateBandText(60.0), QStringLiteral("60km以下"));
    EXPECT_EQ(driver->LabourRateCost(60.1), 0);
    EXPECT_EQ(driver->LabourRateBandText(60.1), QStringLiteral("上限値を超えています"));

    // 2 t by hand: price 45,150, coefficient 1.3, per 10 m³ rounded up to tens.
    // 0.79 × 1.3 = 1.027 → 1.03; 45,150 × 1.03 = 46,504.5 → 46,504 → 46,510 → 4,651.
    driver->SetLabourRateConditions(0, false, 1, 3);
    EXPECT_EQ(driver->GetTruckUnitPrice(), 45150);
    EXPECT_EQ(driver->LabourRateCost(0.1), 4651);

    // Milling: price 45,300, coefficient 1.0, per 100 m³.
    // 1.08 → 1.08; 45,300 × 1.08 = 48,924 → 49,000 → 490.
    driver->SetLabourRateConditions(0, false, 2, 4);
    EXPECT_EQ(driver->GetTruckUnitPrice(), 45300);
    EXPECT_EQ(driver->LabourRateCost(0.1), 490);

    // Direct loading, asphalt: 10 t price, coefficient 1.3, per 100 m³.
    // 1.29 × 1.3 = 1.677 → 1.68; 45,000 × 1.68 = 75,599.99… → 75,599 → 75,600 → 756.
    driver->SetLabourRateConditions(0, false, 2, 3);
    EXPECT_EQ(driver->LabourRateCost(0.1), 756);

    // DID on the route picks the DID class: 2.00 × 1.37 = 2.74; 45,000 × 2.74 = 123,300 → 1,233.
    driver->SetLabourRateConditions(0, true, 0, 0);
    EXPECT_EQ(driver->LabourRateCost(0.1), 1233);
}

TEST_F(LabourRate, BandBoundariesBelongToTheRightBand)
{
    driver->SetLabourRateConditions(0, false, 1, 0);
    // Lower end 0.301 belongs to the second band; 0.3 (its lower end − 0.001)
    // to the first.
    EXPECT_EQ(driver->LabourRateBandText(0.301), QStringLiteral("0.5km以下"));
    EXPECT_EQ(driver->LabourRateBandText(0.3), QStringLiteral("0.3km以下"));
    EXPECT_EQ(driver->LabourRateBandText(0), QStringLiteral("0.3km以下"));
    EXPECT_EQ(driver->LabourRateBandText(46), QStringLiteral("46km以下"));
    EXPECT_EQ(driver->LabourRateBandText(46.001), QStringLiteral("60km以下"));
    // A typed distance between two bands finds none.
    EXPECT_EQ(driver->LabourRateCost(0.3005), 0);
    EXPECT_EQ(driver->LabourRateBandText(0.3005), QStringLiteral("km以下"));
    EXPECT_EQ(driver->LabourRateCost(46.0005), 0);
}

TEST_F(LabourRate, CoefficientsAndQuantityBasisFollowTheConditions)
{
    struct Case
    {
        int costItem;
        int transportType;
        double coefficient;
        int roundDigit;
        int divisor;
    };
    const Case cases[] = {
        {0, 0, 1.37, -2, 100}, {0, 1, 1.37, -1, 10}, {0, 2, 1.37, -1, 10}, {0, 3, 1.37, -1, 10},
        {1, 0, 1.3, -2, 100},  {1, 1, 1.3, -1, 10},  {1, 3, 1.3, -1, 10},  {2, 0, 1.3, -2, 100},
        {2, 1, 1.3, -1, 10},   {2, 2, 1.3, -1, 10},  {2, 3, 1.3, -2, 100}, {2, 4, 1.0, -2, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cost item " << c.costItem << ", transport type " << c.transportType);
        driver->SetLabourRateConditions(0, false, c.costItem, c.transportType);
        EXPECT_EQ(driver->GetCalcMode(), 0);
        EXPECT_EQ(driver->GetLoadCoefficient(), c.coefficient);
        EXPECT_EQ(driver->GetCostRoundDigit(), c.roundDigit);
        EXPECT_EQ(driver->GetCostDivisor(), c.divisor);
        EXPECT_EQ(driver->CurrentRegister(), &driver->Register(c.costItem));
    }

    // An unknown cost item keeps the basis, falls back to 1.3 and leaves no register.
    driver->SetLabourRateConditions(0, false, 1, 2);
    driver->SetLabourRateConditions(0, false, 3, 0);
    EXPECT_EQ(driver->GetLoadCoefficient(), 1.3);
    EXPECT_EQ(driver->GetCostRoundDigit(), -1);
    EXPECT_EQ(driver->GetCostDivisor(), 10);
    EXPECT_EQ(driver->CurrentRegister(), nullptr);
}

TEST_F(LabourRate, FailuresAreReportedNotPricedAsZero)
{
    // Nothing chosen yet: no class, no basis.
    EXPECT_THROW(driver->LabourRateCost(1.0), velmora::Error);
    EXPECT_THROW(driver->LabourRateBandText(1.0), velmora::Error);

    // A pair without dump-truck quantities fails before anything changes.
    driver->SetLabourRateConditions(0, false, 1, 0);
    EXPECT_THROW(driver->SetLabourRateConditions(1, false, 0, 4), velmora::Error);
    EXPECT_EQ(driver->GetTruckUnitPrice(), 45000);
    EXPECT_EQ(driver->LabourRateCost(0.6), 207);

    // A district beyond the price table (the 2 t price uses the district's).
    EXPECT_THROW(driver->SetLabourRateConditions(5, false, 1, 3), velmora::Error);
    EXPECT_EQ(driver->GetCostDivisor(), 100);
}

TEST(LabourRateTable, ProductsOfTenThousandOrMoreOverflow)
{
    velmora::test::TempDeployment deployment;
    calctest::writeQuantities(deployment);
    COutputDataManager::Parts parts;
    parts.truckClasses = std::make_unique<CBugakariList>(
        truckTable(QStringLiteral("[10t DID無]\r\n0,7299\r\n1.001,7300\r\n")));
    parts.unitPrices = calctest::unitPrices();
    COutputDataManager driver(std::move(parts));
    driver.SetLabourRateConditions(0, false, 0, 0);
    // 7299 × 1.37 = 9999.63 still fits; 7300 × 1.37 = 10001 does not, and
    // the class is left out when the table is read rather than when priced.
    EXPECT_EQ(driver.LabourRateCost(0.5), 0);
    EXPECT_EQ(driver.LabourRateCost(2.0), 0);
    EXPECT_EQ(driver.LabourRateBandText(2.0), QStringLiteral("単価データの誤り（DB01 の 3 行目）"));
    velmora::data::takeFindings();
}

TEST(LabourRateTable, ClassSelectionAndNames)
{
    EXPECT_EQ(CBugakariList::TruckClassName(false, 0, 0), QStringLiteral("10t DID無"));
    EXPECT_EQ(CBugakariList::TruckClassName(true, 1, 1), QStringLiteral("4t DID有"));
    EXPECT_EQ(CBugakariList::TruckClassName(false, 1, 2), QStringLiteral("2t DID無 機械"));
    EXPECT_EQ(CBugakariList::TruckClassName(true, 0, 3), QStringLiteral("2t DID有 人力"));
    EXPECT_EQ(CBugakariList::TruckClassName(false, 2, 2), QStringLiteral("2t DID無 機械"));
    EXPECT_EQ(CBugakariList::TruckClassName(true, 2, 3), QStringLiteral("直接掘削積込み10t DID有"));
    EXPECT_EQ(CBugakariList::TruckClassName(false, 2, 4), QStringLiteral("切削10t DID無"));
    EXPECT_EQ(CBugakariList::TruckClassName(false, 0, 4), QString());
    EXPECT_EQ(CBugakariList::TruckClassName(false, 2, 5), QString());
    EXPECT_EQ(CBugakariList::TruckClassName(false, 3, 0), QString());
    EXPECT_EQ(CBugakariList::TruckClassName(false, -1, 0), QString());

    CBugakariList list(truckTable());
    ASSERT_EQ(list.Count(), 12);
    EXPECT_EQ(list.Selected(), nullptr);
    EXPECT_FALSE(list.SelectTruckClass(false, 0, 4));
    EXPECT_EQ(list.Selected(), nullptr);

    ASSERT_TRUE(list.SelectTruckClass(false, 0, 1));
    EXPECT_EQ(list.Selected()->GetName(), QStringLiteral("4t DID無"));
    // A transport type without a class keeps the one chosen before.
    EXPECT_FALSE(list.SelectTruckClass(false, 0, 4));
    EXPECT_EQ(list.Selected()->GetName(), QStringLiteral("4t DID無"));
    EXPECT_EQ(list.QuantityAt(0.1), 0.20);

    // Classes without a section have no bands, and their rows say why.
    ASSERT_TRUE(list.SelectTruckClass(true, 1, 2));
    EXPECT_EQ(list.Selected()->BandCount(), 0);
    EXPECT_EQ(list.QuantityAt(5), 0);
    EXPECT_EQ(list.BandTextAt(5), QStringLiteral("単価データの誤り（DB01）"));
    velmora::data::takeFindings();
    EXPECT_EQ(list.QuantityAt(60.5), CBugakariData::OverLimitQuantity);
    EXPECT_EQ(list.BandTextAt(60.5), QStringLiteral("上限値を超えています"));
}

TEST(LabourRateTable, BandUpperEndsAndFormatErrors)
{
    CBugakariData cls(QStringLiteral("10t DID無"), truckTable());
    EXPECT_EQ(cls.UpperBounds(), (QStringList{QStringLiteral("0.3"), QStringLiteral("0.5"),
                                              QStringLiteral("46"), QStringLiteral("60")}));
    EXPECT_EQ(cls.LowerBounds().first(), QStringLiteral("0"));

    // Fields are comma text: quotes and blanks are handled.
    CBugakariData quoted(QStringLiteral("X"), truckTable(QStringLiteral("[X]\r\n \"0\" , 1.5\r\n")));
    EXPECT_EQ(quoted.QuantityAt(3), 1.5);

    // A damaged band leaves its class out (no quantity, the line named in
    // its rows); it is never read as another number.
    velmora::data::takeFindings();
    for (const char* section : {"0\r\n", "0,1\r\nabc,2\r\n", "abc,1\r\n", "0,x\r\n", "0,1,memo\r\n", "0,1\r\n5,1\r\n4,1\r\n",
                                "0,-1\r\n", "0,1\r\n60,2\r\n", "0,1\r\n0.5,1,5\r\n"}) {
        CBugakariData bad(QStringLiteral("X"), truckTable(QStringLiteral("[X]\r\n") + QString::fromUtf8(section)));
        EXPECT_EQ(bad.QuantityAt(1), 0) << section;
        EXPECT_TRUE(bad.BandTextAt(1).startsWith(QStringLiteral("単価データの誤り（DB01 の "))) << section;
        EXPECT_EQ(velmora::data::takeFindings().size(), 1u) << section;
    }
}

TEST(LabourRateTable, LoadsFromTheWorkingFile)
{
    velmora::test::TempDeployment deployment;
    {
        // Without "DB01" every class is empty, and nothing is reported.
        CBugakariList empty;
        ASSERT_TRUE(empty.SelectTruckClass(false, 0, 0));
        EXPECT_EQ(empty.Selected()->BandCount(), 0);
    }
    deployment.writeWorking(QStringLiteral("DB01_R6"), calctest::truckTableText());
    CBugakariList list;
    ASSERT_TRUE(list.SelectTruckClass(false, 2, 4));
    EXPECT_EQ(list.QuantityAt(10), 1.08);
    ASSERT_TRUE(list.SelectTruckClass(false, 1, 0));
    EXPECT_EQ(list.Selected()->BandCount(), 4);
}

TEST(LabourRateTable, TruckDayProductIsTruncatedInExtendedPrecision)
{
    velmora::test::TempDeployment deployment;
    calctest::writeQuantities(deployment);
    COutputDataManager::Parts parts;
    parts.truckClasses = std::make_unique<CBugakariList>(truckTable(QStringLiteral("[4t DID無]\r\n0,3.154\r\n")));
    parts.unitPrices = calctest::unitPrices();
    parts.unitPrices->SetPrices(40010, {QStringLiteral("150")}, {QStringLiteral("11000"), QStringLiteral("6400")},
                                {QStringLiteral("731"), QStringLiteral("256")});
    COutputDataManager driver(std::move(parts));
    // 4 t, plain concrete: 3.154 × 1.3 = 4.1002 → 4.1. In decimals 40,010 × 4.1
    // is 164,041, but 4.1 is held as 4.0999999999999996447: the extended
    // product 164,040.99999999999858 truncates to 164,040, already whole tens,
    // so 16,404 per m³. A product rounded to double would give 164,041 → 16,405.
    driver.SetLabourRateConditions(0, false, 1, 1);
    EXPECT_EQ(driver.GetTruckUnitPrice(), 40010);
    EXPECT_EQ(driver.LabourRateCost(1), 16404);
}
