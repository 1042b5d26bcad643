#include "CalcTestTables.h"

#include "data/Error.h"
#include "data/TableFindings.h"

#include <QList>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using calctest::SiteSpec;

namespace {

constexpr double JobX = -140000;
constexpr double JobY = 40000;
// Rounded distances are whole tenths times 0.1 as a double: 1.4 km is held as
// 1.4000000000000001, one bit above the text "1.4".
const double Km1_4 = 14 * 0.1;

// Plain-concrete sites around the job site. Costs by the labour-rate method
// (10 t, coefficient 1.3, 45,000 yen, per 100 m³):
//   0–0.3 km: 1.23 × 1.3 = 1.599 → 1.6 → 72,000 → 720
//   0.501–46 km: 0.35 × 1.3 → 0.46 → 20,700 → 207
//   46.001–60 km: 9.96 × 1.3 → 12.95 → 582,749 → 582,800 → 5,828
QList<SiteSpec> plainConcreteSites()
{
    return {
        {QStringLiteral("南1km"), JobX - 1000, JobY, 3400},
        {QStringLiteral("北1km"), JobX + 1000, JobY, 3000},
        {QStringLiteral("東1km"), JobX, JobY + 1000, 3500},
        {QStringLiteral("西1km"), JobX, JobY - 1000, 3600},
        {QStringLiteral("南西"), JobX - 1000, JobY - 1000, 3100},
        {QStringLiteral("同じ場所"), JobX, JobY, 2600},
        {QStringLiteral("60.04km"), JobX - 60040, JobY, 2000},
        {QStringLiteral("60.05km"), JobX - 60050, JobY, 1000},
        {QStringLiteral("無料"), JobX, JobY + 2000, 0},
    };
}

struct RowView
{
    QString name;
    double distance;
    QString direction;
    int cost;
    int total;
    int rank;
};

QList<RowView> view(CDisplayCalcResultList& list)
{
    QList<RowView> rows;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext()) {
        const CDisplayCalcResultData& r = list.Current();
        rows << RowView{r.GetSiteName(), r.GetConfirmedDistance(), r.GetDirection(), r.GetTransportCost(),
                        r.GetTotal(), r.GetRank()};
    }
    return rows;
}

class Driver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        calctest::writeQuantities(deployment);
        driver = build(plainConcreteSites(), plainConcreteSites(), plainConcreteSites());
    }

    static std::unique_ptr<COutputDataManager> build(const QList<SiteSpec>& reg0, const QList<SiteSpec>& reg1,
                                                     const QList<SiteSpec>& reg2,
                                                     const QString& truckTableText = calctest::truckTableText())
    {
        COutputDataManager::Parts parts;
        parts.truckClasses = std::make_unique<CBugakariList>(calctest::truckTable(truckTableText));
        parts.unitPrices = calctest::unitPrices();
        parts.registers = {calctest::siteRegister(reg0), calctest::siteRegister(reg1), calctest::siteRegister(reg2)};
        parts.packageTable = std::make_unique<CSekouPackageData>(calctest::packageLines());
        return std::make_unique<COutputDataManager>(std::move(parts));
    }

    CDisplayCalcResultList& calculatePlainConcrete(bool costItemChanged = false)
    {
        driver->SetLabourRateConditions(0, false, 1, 0);
        driver->SetJobSite(34.7, 136.5, JobX, JobY);
        return driver->Calculate(costItemChanged);
    }

    velmora::test::TempDeployment deployment;
    std::unique_ptr<COutputDataManager> driver;
};

} // namespace

TEST_F(Driver, FreshCalculationListsRanksAndOrdersEverySiteWithinReach)
{
    CDisplayCalcResultList& list = calculatePlainConcrete();
    EXPECT_EQ(&list, &driver->Results());
    // 60,050 m rounds to 60.1 km and is left out; 60,040 m stays at 60.0 km.
    // Ranked by total, then ordered by distance (ties keep the amount order).
    const QList<RowView> rows = view(list);
    ASSERT_EQ(rows.size(), 8);
    const RowView expected[] = {
        {QStringLiteral("同じ場所"), 0.0, QStringLiteral("西"), 720, 3320, 3},
        {QStringLiteral("北1km"), 1.0, QStringLiteral("北"), 207, 3207, 1},
        {QStringLiteral("南1km"), 1.0, QStringLiteral("南"), 207, 3607, 4},
        {QStringLiteral("東1km"), 1.0, QStringLiteral("東"), 207, 3707, 5},
        {QStringLiteral("西1km"), 1.0, QStringLiteral("西"), 207, 3807, 6},
        {QStringLiteral("南西"), Km1_4, QStringLiteral("南西"), 207, 3307, 2},
        {QStringLiteral("無料"), 2.0, QStringLiteral("東"), 207, 0, 0},
        {QStringLiteral("60.04km"), 60.0, QStringLiteral("南"), 5828, 7828, 7},
    };
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name.toStdString());
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].distance, expected[i].distance);
        EXPECT_EQ(rows[i].direction, expected[i].direction);
        EXPECT_EQ(rows[i].cost, expected[i].cost);
        EXPECT_EQ(rows[i].total, expected[i].total);
        EXPECT_EQ(rows[i].rank, expected[i].rank);
    }
    const CDisplayCalcResultData* far = list.FindByName(QStringLiteral("60.04km"));
    EXPECT_EQ(far->GetBandText(), QStringLiteral("60km以下"));
    EXPECT_EQ(far->GetFeeUnit(), QStringLiteral("m3"));
    EXPECT_EQ(far->GetPriceSource(), QStringLiteral("見積"));
    EXPECT_EQ(far->GetSiteX(), JobX - 60040);

    // By amount: the same ranks in rank order, the unpriced row last.
    driver->SetSortMode(0);
    driver->Calculate(false);
    EXPECT_EQ(calctest::rowNames(list), (QStringList{QStringLiteral("北1km"), QStringLiteral("南西"), QStringLiteral("同じ場所"),
                                        QStringLiteral("南1km"), QStringLiteral("東1km"), QStringLiteral("西1km"),
                                        QStringLiteral("60.04km"), QStringLiteral("無料")}));
}

TEST_F(Driver, RecalculationKeepsTypedValuesWhileTheJobSiteStays)
{
    CDisplayCalcResultList& list = calculatePlainConcrete();
    list.FindByName(QStringLiteral("南1km"))->SetTransportDistance(50, CDisplayCalcResultData::DistanceSource::Typed);
    list.FindByName(QStringLiteral("北1km"))->SetManualFee(5000);
    list.FindByName(QStringLiteral("無料"))->SetManualFee(1000);

    // The same Calc run again (same texts for X and Y): rows recalculated in place.
    calculatePlainConcrete();
    ASSERT_EQ(list.Count(), 8);
    const CDisplayCalcResultData* south = list.FindByName(QStringLiteral("南1km"));
    EXPECT_EQ(south->GetTransportDistance(), 50);
    EXPECT_EQ(south->GetConfirmedDistance(), 50);
    EXPECT_EQ(south->GetStraightDistance(), 1.0);
    EXPECT_EQ(south->GetTransportCost(), 5828);
    EXPECT_EQ(south->GetTotal(), 9228);
    EXPECT_EQ(south->GetBandText(), QStringLiteral("60km以下"));
    EXPECT_EQ(south->GetDirection(), QStringLiteral("南"));
    const CDisplayCalcResultData* north = list.FindByName(QStringLiteral("北1km"));
    EXPECT_EQ(north->GetConfirmedFee(), 5000);
    EXPECT_EQ(north->GetTotal(), 5207);
    // A typed fee prices the row that had none.
    EXPECT_EQ(list.FindByName(QStringLiteral("無料"))->GetTotal(), 1207);
    // Ordered by the confirmed distance: 50 km comes just before 60 km.
    EXPECT_EQ(calctest::rowNames(list).mid(6), (QStringList{QStringLiteral("南1km"), QStringLiteral("60.04km")}));
    EXPECT_EQ(list.RowAt(1)->GetSiteName(), QStringLiteral("同じ場所"));

    // A typed distance beyond 60 km leaves the row without a price.
    list.FindByName(QStringLiteral("南1km"))->SetTransportDistance(61, CDisplayCalcResultData::DistanceSource::Typed);
    driver->Calculate(false);
    south = list.FindByName(QStringLiteral("南1km"));
    EXPECT_EQ(south->GetTransportCost(), 0);
    EXPECT_EQ(south->GetTotal(), 0);
    EXPECT_EQ(south->GetRank(), 0);
    EXPECT_EQ(south->GetBandText(), QStringLiteral("上限値を超えています"));
    EXPECT_EQ(south->GetTransportDistance(), 61);
    // The other rows close up: ranks 1 to 7 (every row is priced now) without a gap.
    QList<int> ranks;
    for (int n = 1; n <= list.Count(); ++n)
        if (list.RowAt(n)->GetRank() != 0)
            ranks.append(list.RowAt(n)->GetRank());
    std::sort(ranks.begin(), ranks.end());
    EXPECT_EQ(ranks, (QList<int>{1, 2, 3, 4, 5, 6, 7}));

    // A new X starts afresh: the distances measured from the old job site
    // go, the typed fees (each site's own quote) stay on their sites. What
    // goes is known before, for the question.
    driver->SetJobSite(34.7, 136.5, JobX + 0.5, JobY);
    const COutputDataManager::DroppedValues dropped = driver->ValuesDroppedByCalculate(false);
    EXPECT_EQ(dropped.distances, 1);
    EXPECT_EQ(dropped.fees, 0);
    EXPECT_EQ(driver->ValuesDroppedByCalculate(true).fees, 2);
    driver->Calculate(false);
    EXPECT_EQ(list.FindByName(QStringLiteral("南1km"))->GetTransportDistance(), 0);
    EXPECT_EQ(list.FindByName(QStringLiteral("北1km"))->GetManualFee(), 5000);
    EXPECT_EQ(list.FindByName(QStringLiteral("北1km"))->GetConfirmedFee(), 5000);
}

TEST_F(Driver, ChangedCostItemKeepsRowsOnlyWhenTheNewRegisterListsTheSameSites)
{
    // Register 0 holds the same sites with other fees; register 2 lacks one.
    QList<SiteSpec> dearer = plainConcreteSites();
    for (SiteSpec& s : dearer)
        s.fee += 1000;
    QList<SiteSpec> fewer = plainConcreteSites();
    fewer.removeAt(0);
    driver = build(dearer, plainConcreteSites(), fewer);

    CDisplayCalcResultList& list = calculatePlainConcrete();
    list.FindByName(QStringLiteral("南1km"))->SetTransportDistance(3.3, CDisplayCalcResultData::DistanceSource::Typed);
    list.FindByName(QStringLiteral("北1km"))->SetManualFee(5000);

    // Reinforced concrete (coefficient 1.37): 0.35 × 1.37 = 0.4795 → 0.48 → 21,600 → 216.
    driver->SetLabourRateConditions(0, false, 0, 0);
    driver->Calculate(true);
    ASSERT_EQ(list.Count(), 8);
    const CDisplayCalcResultData* south = list.FindByName(QStringLiteral("南1km"));
    EXPECT_EQ(south->GetTransportDistance(), 3.3);
    EXPECT_EQ(south->GetDisposalFee(), 4400);
    EXPECT_EQ(south->GetTransportCost(), 216);
    EXPECT_EQ(south->GetTotal(), 4616);
    const CDisplayCalcResultData* north = list.FindByName(QStringLiteral("北1km"));
    EXPECT_EQ(north->GetManualFee(), 0);
    EXPECT_EQ(north->GetConfirmedFee(), 4000);

    // A listed site missing from the new register: everything afresh.
    list.FindByName(QStringLiteral("東1km"))->SetTransportDistance(7, CDisplayCalcResultData::DistanceSource::Typed);
    driver->SetLabourRateConditions(0, false, 2, 0);
    driver->Calculate(true);
    EXPECT_EQ(list.Count(), 7);
    EXPECT_EQ(list.FindByName(QStringLiteral("南1km")), nullptr);
    EXPECT_EQ(list.FindByName(QStringLiteral("東1km"))->GetTransportDistance(), 0);

    // Back to a register with one site more within reach: it must be listed.
    list.FindByName(QStringLiteral("東1km"))->SetTransportDistance(7, CDisplayCalcResultData::DistanceSource::Typed);
    driver->SetLabourRateConditions(0, false, 1, 0);
    driver->Calculate(true);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_NE(list.FindByName(QStringLiteral("南1km")), nullptr);
}

TEST_F(Driver, ConstructionPackageRunUsesTheDistrictPrices)
{
    driver->SetPackageConditions(QStringLiteral("殻運搬"), QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"),
                                 QStringLiteral("機械積込"), QStringLiteral("無し"));
    driver->SetPackageDistrict(0);
    driver->SelectRegister(1);
    driver->SetJobSite(34.7, 136.5, JobX, JobY);
    CDisplayCalcResultList& list = driver->Calculate(false);
    ASSERT_EQ(list.Count(), 8);
    // Prices worked by hand in the package tests: 942 up to 0.3 km, 1,973 up
    // to 5.0 km, 8,611 up to 60 km.
    EXPECT_EQ(list.FindByName(QStringLiteral("同じ場所"))->GetTransportCost(), 942);
    EXPECT_EQ(list.FindByName(QStringLiteral("南西"))->GetTransportCost(), 1973);
    EXPECT_EQ(list.FindByName(QStringLiteral("南西"))->GetBandText(), QStringLiteral("5.0km以下"));
    EXPECT_EQ(list.FindByName(QStringLiteral("60.04km"))->GetTotal(), 8611 + 2000);
}

// A site 300 m away is listed at 3 × 0.1 = 0.30000000000000004 km and shown
// as 0.3; a distance one bit above 60 is shown as 60. Both are priced as shown.
TEST_F(Driver, DistancesMeetTheLimitsAsTheGridShowsThem)
{
    const double shownAt03 = 3 * 0.1;
    const double shownAt60 = std::nextafter(60.0, 61.0);
    ASSERT_GT(shownAt03, 0.3);
    driver = build({}, {{QStringLiteral("300m"), JobX - 300, JobY, 3000}}, {});
    driver->SetLabourRateConditions(0, false, 1, 0);
    driver->SetJobSite(34.7, 136.5, JobX, JobY);
    const CDisplayCalcResultData* row = driver->Calculate(false).FindByName(QStringLiteral("300m"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetConfirmedDistance(), shownAt03);
    EXPECT_EQ(row->GetTransportCost(), 720);
    EXPECT_EQ(row->GetBandText(), QStringLiteral("0.3km以下"));
    EXPECT_EQ(row->GetRank(), 1);
    EXPECT_EQ(driver->LabourRateCost(shownAt60), 5828);
    EXPECT_EQ(driver->LabourRateBandText(shownAt60), QStringLiteral("60km以下"));

    driver->SetPackageConditions(QStringLiteral("殻運搬"), QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"),
                                 QStringLiteral("機械積込"), QStringLiteral("無し"));
    driver->SetPackageDistrict(0);
    row = driver->Calculate(false).FindByName(QStringLiteral("300m"));
    EXPECT_EQ(row->GetTransportCost(), 942);
    EXPECT_EQ(row->GetBandText(), QStringLiteral("0.3km以下"));
    EXPECT_EQ(driver->PackageCost(shownAt60), 8611);
    EXPECT_EQ(driver->PackageBandText(shownAt60), QStringLiteral("60km以下"));
    // What is shown above a limit stays above it.
    EXPECT_EQ(driver->PackageBandText(0.31), QStringLiteral("5.0km以下"));
    EXPECT_EQ(driver->PackageCost(60.1), 0);
}

TEST_F(Driver, FailedRunsLeaveTheListAndReportClearly)
{
    COutputDataManager::Parts bare;
    bare.unitPrices = calctest::unitPrices();
    COutputDataManager empty(std::move(bare));
    // No register chosen, then no job site.
    EXPECT_THROW(empty.Calculate(false), velmora::Error);
    empty.SelectRegister(0);
    EXPECT_THROW(empty.Calculate(false), velmora::Error);
    // An out-of-range index leaves no register.
    empty.SelectRegister(3);
    EXPECT_EQ(empty.CurrentRegister(), nullptr);

    // The package method is the default, but there is no group yet.
    driver->SelectRegister(1);
    driver->SetJobSite(34.7, 136.5, JobX, JobY);
    EXPECT_THROW(driver->Calculate(false), velmora::Error);
    EXPECT_EQ(driver->Results().Count(), 0);

    // A band whose quantity is not a number leaves its class out when the
    // table is read: every row is listed, unpriced, with the line named.
    QList<SiteSpec> near = plainConcreteSites().mid(0, 6);
    QString table = calctest::truckTableText();
    table.replace(QStringLiteral("46.001,9.96"), QStringLiteral("46.001,x"));
    driver = build(near, near, near, table);
    CDisplayCalcResultList& list = calculatePlainConcrete();
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.FindByName(QStringLiteral("北1km"))->GetTransportCost(), 0);
    EXPECT_EQ(list.FindByName(QStringLiteral("北1km"))->GetTotal(), 0);
    EXPECT_EQ(list.FindByName(QStringLiteral("北1km"))->GetBandText(), QStringLiteral("単価データの誤り（DB01 の 6 行目）"));
    velmora::data::takeFindings();
}

TEST_F(Driver, FirstJobSiteAtTheOriginIsCalculated)
{
    driver = build({}, {{QStringLiteral("近い"), -1000, 0, 3000}}, {});
    driver->SetLabourRateConditions(0, false, 1, 0);
    driver->SetJobSite(36, 136, 0, 0);
    CDisplayCalcResultList& list = driver->Calculate(false);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.RowAt(1)->GetDirection(), QStringLiteral("南"));
    EXPECT_EQ(list.RowAt(1)->GetTotal(), 3207);
}

TEST(Direction, SixteenPointsWithLimitsBelongingToTheWesternSector)
{
    struct Case
    {
        double theta;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, u"西"},         {-0.0, u"西"},        {11.25, u"西"},       {11.26, u"西南西"},  {-11.25, u"西"},
        {-11.26, u"西北西"}, {33.75, u"西南西"},   {33.76, u"南西"},     {-45, u"北西"},      {56.26, u"南南西"},
        {-60, u"北北西"},    {90, u"南"},          {-90, u"北"},         {101.25, u"南"},     {101.26, u"南南東"},
        {-110, u"北北東"},   {130, u"南東"},       {-130, u"北東"},      {150, u"東南東"},    {-150, u"東北東"},
        {168.75, u"東南東"}, {168.76, u"東"},      {-168.76, u"東"},     {180, u"東"},        {-180, u"東"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theta);
        EXPECT_EQ(COutputDataManager::DirectionForDegrees(c.theta), QString::fromUtf16(c.text));
    }
    // From the differences job − site in metres.
    EXPECT_EQ(COutputDataManager::DirectionFor(1000, 0), QStringLiteral("南"));
    EXPECT_EQ(COutputDataManager::DirectionFor(-1000, 0), QStringLiteral("北"));
    EXPECT_EQ(COutputDataManager::DirectionFor(0, -1000), QStringLiteral("東"));
    EXPECT_EQ(COutputDataManager::DirectionFor(0, 1000), QStringLiteral("西"));
    EXPECT_EQ(COutputDataManager::DirectionFor(1000, 1000), QStringLiteral("南西"));
    EXPECT_EQ(COutputDataManager::DirectionFor(-1000, -1000), QStringLiteral("北東"));
    EXPECT_EQ(COutputDataManager::DirectionFor(0, 0), QStringLiteral("西"));
}

namespace {

QString siteLine(const QString& key, const QString& costItem, const QString& name, const QString& fee)
{
    QStringList fields(22);
    fields[0] = QStringLiteral("1");
    fields[5] = key;
    fields[6] = costItem;
    fields[7] = name;
    fields[10] = fee;
    fields[11] = QStringLiteral("m3");
    fields[21] = QStringLiteral("県単価");
    return fields.join(u',');
}

} // namespace

TEST(DriverFromFiles, LoadsEveryTableFromTheWorkingFiles)
{
    using velmora::data::IniEncoding;
    velmora::test::TempDeployment deployment;
    calctest::writeQuantities(deployment);
    deployment.writeIni(QStringLiteral("dat/SyobunjoKikakuSource.ini"),
                        QStringLiteral("[処分費目]\r\n鉄筋ｺﾝｸﾘｰﾄ塊\r\n無筋ｺﾝｸﾘｰﾄ塊\r\nｱｽｺﾝ塊\r\n"), IniEncoding::Utf16LeBom);
    const QString plain = QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊");
    deployment.writeWorking(QStringLiteral("DT19"),
                            QStringList{QStringLiteral("見出し"),
                                        siteLine(QStringLiteral("S01"), plain, QStringLiteral("南1km"), QStringLiteral("3400")),
                                        siteLine(QStringLiteral("S02"), QStringLiteral("ｱｽｺﾝ塊"), QStringLiteral("ｱｽｺﾝのみ"), QStringLiteral("2500")),
                                        siteLine(QStringLiteral("S03"), plain, QStringLiteral("南西"), QStringLiteral("3100"))}
                                .join(QStringLiteral("\r\n")));
    deployment.writeWorking(QStringLiteral("DC01"), QStringLiteral("No,key,X,Y\r\n1,S01,-141000,40000\r\n"
                                                                   "2,S02,-140000,41000\r\n3,S03,-141000,39000\r\n"));
    deployment.writeWorking(QStringLiteral("DR01"), QStringLiteral("運転手\r\n45000\r\n"));
    deployment.writeWorking(QStringLiteral("DT02"), QStringLiteral("軽油\r\n150\r\n149\r\n"));
    deployment.writeWorking(QStringLiteral("DS24"), QStringLiteral("損料\r\n11000\r\n6400\r\n4300\r\n"));
    deployment.writeWorking(QStringLiteral("DS22"), QStringLiteral("タイヤ\r\n731\r\n256\r\n178\r\n"));
    deployment.writeWorking(QStringLiteral("DB01"), calctest::truckTableText());
    deployment.writeWorking(QStringLiteral("DSP2"), calctest::packageLines().join(QStringLiteral("\r\n")));

    COutputDataManager driver;
    EXPECT_EQ(driver.Register(1).Count(), 2);
    EXPECT_EQ(driver.Register(2).Count(), 1);

    driver.SetLabourRateConditions(0, false, 1, 0);
    driver.SetJobSite(34.7, 136.5, JobX, JobY);
    driver.SetSortMode(0);
    CDisplayCalcResultList& list = driver.Calculate(false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.RowAt(1)->GetSiteName(), QStringLiteral("南西"));
    EXPECT_EQ(list.RowAt(1)->GetTotal(), 3307);
    EXPECT_EQ(list.RowAt(2)->GetTotal(), 3607);
    EXPECT_EQ(list.RowAt(2)->GetPriceSource(), QStringLiteral("県単価"));

    driver.SetPackageConditions(QStringLiteral("殻運搬"), QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"),
                                QStringLiteral("機械積込"), QStringLiteral("無し"));
    driver.SetPackageDistrict(0);
    driver.Calculate(false);
    EXPECT_EQ(list.RowAt(1)->GetTransportCost(), 1973);
    EXPECT_EQ(list.RowAt(1)->GetTotal(), 3100 + 1973);
}
