// The calculation remembers converted table figures and per-band prices so
// that a register of thousands of sites is priced quickly. These tests hold
// the remembered answers to what converting afresh would give.

#include "CalcTestTables.h"

#include "calc/CBugakariData.h"
#include "calc/CSekouPackageData.h"
#include "data/Error.h"
#include "data/NumberText.h"

#include "data/TableFindings.h"

#include <gtest/gtest.h>

namespace {

const double kDistances[] = {0.1, 0.3, 0.31, 4.9, 5.0, 5.1, 10, 30, 59.9, 60, 60.1};

const QString kMachineDid = QStringLiteral("有り");
const QString kMachineNoDid = QStringLiteral("無し");

void SelectConcrete(CSekouPackageData& table, const QString& did)
{
    ASSERT_TRUE(table.SelectPackageGroup(QStringLiteral("殻運搬"), QStringLiteral("構造物とりこわし"),
                                         QStringLiteral("機械積込"), did));
}

TEST(RememberedLookups, PackagePricesFollowLocalPricesAndGroups)
{
    CSekouPackageData used(calctest::packageLines());
    SelectConcrete(used, kMachineNoDid);
    used.SetLocalPrices(11000, 45000, 150);
    for (double km : kDistances)
        used.PackageCost(km);

    // New local prices: every band priced again.
    used.SetLocalPrices(6400, 47000, 163.5);
    CSekouPackageData fresh(calctest::packageLines());
    SelectConcrete(fresh, kMachineNoDid);
    fresh.SetLocalPrices(6400, 47000, 163.5);
    for (double km : kDistances) {
        EXPECT_EQ(used.PackageCost(km), fresh.PackageCost(km)) << km;
        EXPECT_EQ(used.PackageBandText(km), fresh.PackageBandText(km)) << km;
    }

    // Another group with other limits: nothing of the first group remains.
    SelectConcrete(used, kMachineDid);
    CSekouPackageData other(calctest::packageLines());
    SelectConcrete(other, kMachineDid);
    other.SetLocalPrices(6400, 47000, 163.5);
    int differing = 0;
    for (double km : kDistances) {
        EXPECT_EQ(used.PackageCost(km), other.PackageCost(km)) << km;
        differing += used.PackageCost(km) != fresh.PackageCost(km);
    }
    EXPECT_GT(differing, 0);

    // The distance asked last is looked up again in the new group.
    for (double km : kDistances) {
        SelectConcrete(used, kMachineNoDid);
        used.PackageBandText(km);
        SelectConcrete(used, kMachineDid);
        EXPECT_EQ(used.PackageBandText(km), other.PackageBandText(km)) << km;
    }
}

TEST(RememberedLookups, PackageFaultsRecurAtEveryLookup)
{
    CSekouPackageData table(QStringList{
        QStringLiteral("【殻運搬／DID区間:無し】"),
        QStringLiteral("1,10,0,,,1000,10,10,10,10,10,10,11000,45000,150"),
        QStringLiteral("2,2O,,,,1200"), // a letter O instead of a zero
        QStringLiteral("3,60,,,,abc"),
    });
    ASSERT_TRUE(table.SelectPackageGroup(QStringLiteral("殻運搬"), QStringLiteral("無し")));
    table.SetLocalPrices(11000, 45000, 150);
    const int nearCost = table.PackageCost(5);
    EXPECT_GT(nearCost, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_THROW(table.PackageCost(15), velmora::ConvertError) << i;
        EXPECT_EQ(table.PackageCost(5), nearCost);
    }
}

TEST(RememberedLookups, LabourBandsAndTextsPerBand)
{
    const velmora::data::IniFile ini = calctest::truckTable();
    const CBugakariData truck(QStringLiteral("10t DID無"), ini);
    ASSERT_EQ(truck.BandCount(), 4);
    // Each band its own text, the same on every call, between bands none.
    EXPECT_EQ(truck.BandTextAt(0.2), QStringLiteral("0.3km以下"));
    EXPECT_EQ(truck.BandTextAt(0.4), QStringLiteral("0.5km以下"));
    EXPECT_EQ(truck.BandTextAt(0.2), QStringLiteral("0.3km以下"));
    EXPECT_EQ(truck.BandTextAt(0.3005), QStringLiteral("km以下"));
    EXPECT_EQ(truck.BandTextAt(50), QStringLiteral("60km以下"));
    EXPECT_EQ(truck.QuantityAt(0.3), 1.23);
    EXPECT_EQ(truck.QuantityAt(0.301), 6.5);
    EXPECT_EQ(truck.QuantityAt(0.3005), 0.0);
    EXPECT_EQ(truck.QuantityAt(60), 9.96);
    EXPECT_EQ(truck.QuantityAt(60.1), CBugakariData::OverLimitQuantity);
}

TEST(RememberedLookups, LabourFirstLowerEndFaultRecurs)
{
    const velmora::data::IniFile ini = calctest::truckTable(QStringLiteral("[10t DID無]\r\nzero,1.0\r\n0.301,2.0\r\n"));
    const CBugakariData truck(QStringLiteral("10t DID無"), ini);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(truck.QuantityAt(1), 0) << i;
        EXPECT_EQ(truck.BandTextAt(1), truck.DamageText()) << i;
    }
    velmora::data::takeFindings();
}

TEST(RememberedLookups, NumberTextGivesTheSameAsAFreshConversion)
{
    EXPECT_EQ(StrToFloat(QStringLiteral("8.905")), 8.905);
    EXPECT_EQ(StrToFloat(QStringLiteral("8.905")), 8.905);
    EXPECT_EQ(StrToFloat(QStringLiteral(" 8.905 ")), 8.905);
    EXPECT_EQ(StrToFloat(QStringLiteral("8.9050")), 8.905);
    EXPECT_THROW(StrToFloat(QStringLiteral("8.905x")), velmora::ConvertError);
    EXPECT_THROW(StrToFloat(QStringLiteral("8.905x")), velmora::ConvertError);
    EXPECT_EQ(StrToFloatDefault(QStringLiteral("8.905x"), -1), -1);
    // Far more texts than are remembered, then the first ones again.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 6000; ++i) {
            const QString text = QString::number(i) + QStringLiteral(".25");
            ASSERT_EQ(StrToFloat(text), i + 0.25) << round << ' ' << i;
        }
    }
}

} // namespace
