#include "CalcTestTables.h"

#include "calc/PackageTableCheck.h"
#include "data/Error.h"
#include "data/Notifier.h"

#include <gtest/gtest.h>

using calctest::packageLines;

namespace {

const QString Haul = QStringLiteral("殻運搬");
const QString Demolition = QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし");
const QString ByMachine = QStringLiteral("機械積込");
const QString DidNo = QStringLiteral("無し");
const QString DidYes = QStringLiteral("有り");

class PackageMethod : public ::testing::Test
{
protected:
    void SetUp() override
    {
        COutputDataManager::Parts parts;
        parts.unitPrices = calctest::unitPrices();
        parts.packageTable = std::make_unique<CSekouPackageData>(packageLines());
        driver = std::make_unique<COutputDataManager>(std::move(parts));
    }

    std::unique_ptr<COutputDataManager> driver;
};

class RecordingNotifier : public velmora::data::Notifier
{
public:
    void warning(const QString& text, const QString& caption) override { warnings << text + u'|' + caption; }
    QStringList warnings;
};

} // namespace

// Worked by hand with local prices 11,000 (class 0), 45,000 and 150:
//   t1 = 0.275 × 11000/10800 = 0.2800925… → 0.28009
//   t2 = 0.552 × 45000/26200 = 0.9480916… → 0.94809
//   t3 = 0.173 × 150/149     = 0.1741610… → 0.17416
//   shares 100 % → rest 0; factor 1.40234.
TEST_F(PackageMethod, HandWorkedUnitPrices)
{
    driver->SetPackageConditions(Haul, Demolition, ByMachine, DidNo);
    driver->SetPackageDistrict(0);
    EXPECT_EQ(driver->GetCalcMode(), 1);
    const CSekouPackageData& table = driver->PackageTable();
    EXPECT_EQ(table.GetLocalPrice1(), 11000);
    EXPECT_EQ(table.GetLocalPrice2(), 45000);
    EXPECT_EQ(table.GetLocalPrice3(), 150.0);

    EXPECT_EQ(driver->PackageCost(0.2), 942);   // 672.4 × 1.40234 = 942.93…
    EXPECT_EQ(driver->PackageCost(0.3), 942);   // the limit itself belongs to the row
    EXPECT_EQ(driver->PackageCost(0.31), 1973); // 1406.2 → 1407; × 1.40234 = 1973.09…
    EXPECT_EQ(driver->PackageCost(5.0), 1973);
    EXPECT_EQ(driver->PackageCost(5.01), 8611); // 6141 × 1.40234 = 8611.77…
    EXPECT_EQ(driver->PackageCost(60), 8611);
    EXPECT_EQ(driver->PackageCost(60.1), 0);

    // The band text repeats the limit exactly as the table writes it.
    EXPECT_EQ(driver->PackageBandText(0.3), QStringLiteral("0.3km以下"));
    EXPECT_EQ(driver->PackageBandText(2), QStringLiteral("5.0km以下"));
    EXPECT_EQ(driver->PackageBandText(60), QStringLiteral("60km以下"));
    EXPECT_EQ(driver->PackageBandText(60.1), QStringLiteral("上限値を超えています"));

    // District 1 pays the base price for fuel: t3 = 0.17300, factor 1.40118.
    driver->SetPackageDistrict(1);
    EXPECT_EQ(driver->PackageCost(0.2), 942);   // 942.15…
    EXPECT_EQ(driver->PackageCost(1), 1971);    // 1407 × 1.40118 = 1971.46…
    EXPECT_EQ(driver->PackageCost(30), 8604);   // 6141 × 1.40118 = 8604.65…
}

TEST_F(PackageMethod, RemainingShareAndSignificantDigitsOfTheBandPrice)
{
    // Class 1 (6,400 against a base of 10,000), shares 20 + 20 + 10 = 50 %:
    //   t1 = 0.1 × 0.64 × 2 = 0.128, t2 = 0.2, t3 = 0.1; factor 0.428 + 0.5 = 0.928.
    driver->SetPackageConditions(Haul, Demolition, ByMachine, DidYes);
    driver->SetPackageDistrict(0);
    EXPECT_EQ(driver->PackageTable().GetLocalPrice1(), 6400);
    EXPECT_EQ(driver->PackageCost(10), 1146);    // 1234.5 → 1235; × 0.928 = 1146.08
    EXPECT_EQ(driver->PackageCost(10.1), 11460); // 12345.6 → 12350; × 0.928 = 11460.8

    // All shares 0: the band price itself, rounded up to four digits.
    driver->SetPackageConditions(QStringLiteral("塵芥処理"), QStringLiteral("可燃物"), QStringLiteral("持込"), DidNo);
    driver->SetPackageDistrict(0);
    EXPECT_EQ(driver->PackageCost(33.3), 1235);

    // Local prices equal to the base prices: the factor is 1.
    driver->SetPackageConditions(QStringLiteral("殻運搬(電線共同溝)"), ByMachine, DidNo);
    driver->SetPackageDistrict(0);
    EXPECT_EQ(driver->PackageCost(59.9), 6141);
}

TEST_F(PackageMethod, FirstKeyLineHoldingAllTextsWins)
{
    // "殻運搬" and "無し" both stand in the milling group's key line, which
    // comes first; the closer match further down is never reached.
    driver->SetPackageConditions(Haul, DidNo);
    driver->SetPackageDistrict(0);
    EXPECT_EQ(driver->PackageTable().BandLimits(), (QStringList{QStringLiteral("0.3"), QStringLiteral("60")}));
    EXPECT_EQ(driver->PackageCost(0.2), 500);
    EXPECT_EQ(driver->PackageCost(0.4), 900);

    // Full-width katakana finds the half-width key line.
    CSekouPackageData table(packageLines());
    ASSERT_TRUE(table.SelectPackageGroup(Haul, QStringLiteral("コンクリート"), DidYes));
    EXPECT_EQ(table.BandPrices(), (QStringList{QStringLiteral("1234.5"), QStringLiteral("12345.6")}));
    EXPECT_EQ(table.GetTruckClassIndex(), 1);

    // The last line of the file as a group's only row.
    ASSERT_TRUE(table.SelectPackageGroup(QStringLiteral("電線共同溝"), DidNo));
    EXPECT_EQ(table.BandLimits(), QStringList{QStringLiteral("60")});
}

TEST_F(PackageMethod, UnmatchedConditionsAreReportedAndChangeNothing)
{
    // Before any group the method has no prices at all.
    EXPECT_THROW(driver->PackageCost(1), velmora::Error);
    EXPECT_THROW(driver->SetPackageConditions(QStringLiteral("存在しない運搬"), DidNo), velmora::Error);
    EXPECT_FALSE(driver->PackageTable().HasGroup());

    velmora::test::TempDeployment deployment;
    calctest::writeQuantities(deployment);
    driver->SetPackageConditions(Haul, Demolition, ByMachine, DidNo);
    driver->SetPackageDistrict(0);
    driver->SetLabourRateConditions(0, false, 1, 0);
    ASSERT_EQ(driver->GetCalcMode(), 0);

    // No key line holds "貸与": the run is refused, the method stays the
    // labour-rate one and the group chosen before keeps its prices.
    EXPECT_THROW(driver->SetPackageConditions(QStringLiteral("塵芥処理"), QStringLiteral("可燃物"),
                                              QStringLiteral("貸与"), DidNo),
                 velmora::Error);
    EXPECT_EQ(driver->GetCalcMode(), 0);
    EXPECT_EQ(driver->PackageCost(0.2), 942);

    // The table itself just keeps the previous group.
    CSekouPackageData table(packageLines());
    ASSERT_TRUE(table.SelectPackageGroup(Haul, Demolition, ByMachine, DidNo));
    EXPECT_FALSE(table.SelectPackageGroup(Haul, QStringLiteral("DID区間:不明")));
    EXPECT_FALSE(table.SelectPackageGroup(QStringList{}));
    EXPECT_FALSE(table.SelectPackageGroup(QString(), DidNo));
    EXPECT_EQ(table.BandLimits().size(), 3);
}

TEST(PackageTable, MalformedGroupsRaiseAndKeepThePreviousGroup)
{
    const QString goodKey = QStringLiteral("【良い】");
    const QString goodRow = QStringLiteral("1,60,0,,,1000,10,10,10,10,10,10,100,100,100");
    auto tableWith = [&](const QStringList& bad) { return CSekouPackageData(QStringList{goodKey, goodRow, QString()} + bad); };
    struct Case
    {
        const char* what;
        QStringList lines;
    };
    const Case cases[] = {
        {"key line is the last line", {QStringLiteral("【悪い】")}},
        {"key line followed by an empty line", {QStringLiteral("【悪い】"), QString(), goodRow}},
        {"first row too short", {QStringLiteral("【悪い】"), QStringLiteral("1,60,0,,,1000,10,10,10,10,10,10,100,100")}},
        {"later row too short", {QStringLiteral("【悪い】"), goodRow, QStringLiteral("2,70,,,")}},
        {"class not an integer", {QStringLiteral("【悪い】"), QStringLiteral("1,60,0.5,,,1000,10,10,10,10,10,10,100,100,100")}},
        {"share not a number", {QStringLiteral("【悪い】"), QStringLiteral("1,60,0,,,1000,x,10,10,10,10,10,100,100,100")}},
        {"zero weight", {QStringLiteral("【悪い】"), QStringLiteral("1,60,0,,,1000,0,0,10,10,10,10,100,100,100")}},
        {"zero base price", {QStringLiteral("【悪い】"), QStringLiteral("1,60,0,,,1000,10,10,10,10,10,10,100,0,100")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSekouPackageData table = tableWith(c.lines);
        ASSERT_TRUE(table.SelectPackageGroup(QStringLiteral("良い"), QStringLiteral("【")));
        table.SetLocalPrices(100, 100, 100);
        EXPECT_THROW(table.SelectPackageGroup(QStringLiteral("悪い"), QStringLiteral("【")), velmora::Error);
        EXPECT_EQ(table.BandPrices(), QStringList{QStringLiteral("1000")});
        EXPECT_EQ(table.PackageCost(1), 1000);
    }
}

TEST(PackageTable, ABandFarOffTheBandsBesideItIsWarnedAndStillPriced)
{
    // The group spans 672 to 6140, so a near band written 6720 is within ten
    // times the median; only the bands beside it show the digit too many.
    QStringList lines{QStringLiteral("h"), QStringLiteral("【群】"), QStringLiteral("1,0.3,0,,,6720,10,10,10,10,10,10,100,100,100")};
    const int prices[] = {715, 814, 906, 993, 1073, 1147, 1215, 1282, 1344, 1406, 1467, 1523, 1634, 1732, 1831, 1924, 2059, 2195,
                          2361, 2571, 2817, 3138, 3545, 4124, 4926, 614};
    for (int k = 0; k < 26; ++k)
        lines.append(QStringLiteral("%1,%2,,,,%3").arg(k + 2).arg(k == 25 ? 60 : 0.5 + k).arg(prices[k]));
    velmora::data::takeFindings();
    EXPECT_TRUE(velmora::calc::CheckPackageTable(lines, QStringLiteral("ESP2.dat")).isEmpty());
    QStringList warned;
    for (const velmora::data::TableFinding& f : velmora::data::takeFindings()) {
        EXPECT_EQ(f.level, velmora::data::FindingLevel::Warning);
        EXPECT_TRUE(f.problem.contains(QStringLiteral("隣の帯"))) << f.problem.toStdString();
        warned.append(QString::number(f.line));
    }
    // The first and the last band, each judged by the two next to it; the
    // sound second band beside the damaged first is not.
    EXPECT_EQ(warned, QStringList({QStringLiteral("3"), QStringLiteral("29")}));
}

TEST(PackageTable, LookupFaults)
{
    CSekouPackageData table(QStringList{
        QStringLiteral("【短い】"),
        QStringLiteral("1,10,0,,,1000,10,10,10,10,10,10,1,100,100"),
        QStringLiteral("2,20,,,,abc"),
    });
    ASSERT_TRUE(table.SelectPackageGroup(QStringLiteral("短い"), QStringLiteral("【")));
    table.SetLocalPrices(1, 100, 100);
    // t1 = 0.1 × 1/1 × 1 = 0.1; t2 = t3 = 0.1; rest 0.7 → factor 1.
    EXPECT_EQ(table.PackageCost(10), 1000);
    // A band price that is not a number fails when it is looked up.
    EXPECT_THROW(table.PackageCost(15), velmora::ConvertError);
    // Beyond the group's last limit but within 60 km.
    EXPECT_EQ(table.PackageCost(20.5), 0);
    EXPECT_EQ(table.PackageBandText(20.5), QStringLiteral("上限値を超えています"));
    // A term of 1000 or more cannot be held: 0.1 × 11000 / 1 = 1100.
    table.SetLocalPrices(11000, 100, 100);
    EXPECT_THROW(table.PackageCost(10), velmora::OverflowError);
}

TEST(PackageTable, LoadsTheWorkingFileOrLeavesItOutWhole)
{
    velmora::test::TempDeployment deployment;
    RecordingNotifier recorder;
    velmora::data::Notifier* previous = velmora::data::setNotifier(&recorder);
    {
        // Named with the missing files at start-up; a package calculation
        // then costs its rows their transport cost, naming the table.
        CSekouPackageData missing;
        EXPECT_TRUE(missing.Lines().isEmpty());
        try {
            missing.SelectPackageGroup(QStringList{QStringLiteral("殻運搬")});
            ADD_FAILURE() << "a missing table selected a group";
        } catch (const velmora::data::TableDamage& e) {
            EXPECT_EQ(e.finding().file, QStringLiteral("ESP2.dat"));
        }
    }
    deployment.writeWorking(QStringLiteral("DSP2_R6"), packageLines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    CSekouPackageData loaded;
    velmora::data::setNotifier(previous);
    EXPECT_TRUE(recorder.warnings.isEmpty());
    EXPECT_EQ(loaded.Lines(), packageLines());
}
