#include "data/CDistrictUnitPrice.h"
#include "data/Error.h"
#include "support/TempDeployment.h"
#include "RecordingNotifier.h"

#include "TestTexts.h"

#include "data/TableFindings.h"

#include <gtest/gtest.h>

using velmora::test::TempDeployment;

using velmora::test::crlfLines;

namespace {

// Each section carries its own DR01 quantity so a test can tell which was read.
const QString Quantities = QStringLiteral(
    "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n1\r\n50\r\n1.13\r\n1.13\r\n"
    "[ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量]\r\n2\r\n0\r\n0\r\n0\r\n"
    "[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\r\n3\r\n0\r\n0\r\n0\r\n"
    "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)]\r\n4\r\n0\r\n0.5\r\n0\r\n");

class DistrictUnitPriceTest : public ::testing::Test
{
protected:
    TempDeployment dep;
    velmora::test::RecordingNotifier notes;

    void writePrices()
    {
        dep.writeWorking(QStringLiteral("DR01"), crlfLines({QStringLiteral("単価"), QStringLiteral("20000"), QStringLiteral("ignored")}));
        dep.writeWorking(QStringLiteral("DT02"), crlfLines({QStringLiteral("地区単価"), QStringLiteral("100"), QStringLiteral("150")}));
        dep.writeWorking(QStringLiteral("DS24"), crlfLines({QStringLiteral("h"), QStringLiteral("12345"), QStringLiteral("8000"), QStringLiteral("6000")}));
        dep.writeWorking(QStringLiteral("DS22"), crlfLines({QStringLiteral("h"), QStringLiteral("678"), QStringLiteral("500"), QStringLiteral("400")}));
        dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), Quantities);
    }
};

TEST_F(DistrictUnitPriceTest, DumpTruckCostRoundsEachFractionalProductDownOnItsOwn)
{
    writePrices();
    CDistrictUnitPrice prices;
    EXPECT_TRUE(notes.warnings.empty());
    EXPECT_EQ(prices.GetPriceR01(), 20000);
    EXPECT_EQ(prices.GetPriceT02(1), 150);
    EXPECT_EQ(prices.GetPriceS24(2), 6000);
    EXPECT_EQ(prices.GetPriceS22(0), 678);
    // 20000 + 7500 + floor(13949.85) + floor(766.14)
    EXPECT_EQ(prices.GetDumpTruckCost(1, 0, 0), 42215);
    // Cutting debris uses the class-0 prices with its own quantities.
    EXPECT_EQ(prices.GetDumpTruckCost(0, 2, 4), 4 * 20000 + 6172);
}

// The sample deployment's prices: each product is a whole number of yen that
// the nearest double of 1.13 puts just below it.
TEST_F(DistrictUnitPriceTest, FractionalProductsAreTheExactDecimalsRoundedDown)
{
    writePrices();
    dep.writeWorking(QStringLiteral("DS24"), crlfLines({QStringLiteral("h"), QStringLiteral("11000"), QStringLiteral("6400"), QStringLiteral("4300")}));
    dep.writeWorking(QStringLiteral("DS22"), crlfLines({QStringLiteral("h"), QStringLiteral("731"), QStringLiteral("256"), QStringLiteral("178")}));
    dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"),
                 QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n0\r\n0\r\n1.13\r\n1.13\r\n"
                                "[ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量]\r\n0\r\n0\r\n1.13\r\n0\r\n"
                                "[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\r\n0\r\n0\r\n0\r\n1.13\r\n"
                                "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)]\r\n1\r\n0\r\n1.130\r\n0.013\r\n"));
    CDistrictUnitPrice prices;
    EXPECT_EQ(prices.GetDumpTruckCost(0, 0, 0), 12430 + 826); // 731 × 1.13 = 826.03
    EXPECT_EQ(prices.GetDumpTruckCost(0, 0, 1), 7232);
    EXPECT_EQ(prices.GetDumpTruckCost(0, 0, 2), 201); // 178 × 1.13 = 201.14
    // Trailing zeros read as the same decimal.
    EXPECT_EQ(prices.GetDumpTruckCost(0, 2, 4), 20000 + 12430 + 9); // 731 × 0.013 = 9.503
}

TEST_F(DistrictUnitPriceTest, SectionAndClassFollowCostItemAndTransportType)
{
    writePrices();
    CDistrictUnitPrice prices;
    struct Case
    {
        int costItem, transport, truckClass;
        const char* firstQuantity;
    };
    const Case cases[] = {
        {0, 0, 0, "1"}, {1, 1, 1, "2"}, {0, 2, 2, "3"}, {1, 3, 2, "3"},
        {2, 0, 0, "1"}, {2, 1, 1, "2"}, {2, 2, 2, "3"}, {2, 3, 0, "1"}, {2, 4, 0, "4"},
        {-1, 4, 0, "4"}, {7, 1, 1, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.costItem << "/" << c.transport);
        EXPECT_EQ(prices.ReadQuantities(c.costItem, c.transport), c.truckClass);
        ASSERT_EQ(prices.Quantities().size(), 4);
        EXPECT_EQ(prices.Quantities().first(), QString::fromLatin1(c.firstQuantity));
    }
    // Consecutive computations each read their own section.
    EXPECT_EQ(prices.GetDumpTruckCost(0, 0, 1), 40000);
    EXPECT_EQ(prices.GetDumpTruckCost(0, 0, 2), 60000);
}

TEST_F(DistrictUnitPriceTest, UnlistedCombinationRaisesAndForgetsEarlierQuantities)
{
    writePrices();
    CDistrictUnitPrice prices;
    ASSERT_EQ(prices.GetDumpTruckCost(0, 0, 0), 20000 + 5000 + 13949 + 766);
    for (const auto& [costItem, transport] : {std::pair{0, 4}, std::pair{1, 5}, std::pair{2, 5}, std::pair{2, -1}, std::pair{0, -1}}) {
        EXPECT_THROW(prices.GetDumpTruckCost(0, costItem, transport), velmora::Error);
        EXPECT_TRUE(prices.Quantities().isEmpty());
    }
}

TEST_F(DistrictUnitPriceTest, BrokenQuantitiesAndOutOfRangeLookupsRaise)
{
    writePrices();
    CDistrictUnitPrice prices;
    EXPECT_THROW(prices.GetPriceT02(2), velmora::Error);
    EXPECT_THROW(prices.GetPriceS24(-1), velmora::Error);
    EXPECT_THROW(prices.GetDumpTruckCost(5, 0, 0), velmora::Error);

    dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n1\r\n2\r\n3\r\n"));
    EXPECT_THROW(prices.GetDumpTruckCost(0, 0, 0), velmora::Error);
    dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n1\r\n2\r\n1,5\r\n3\r\n"));
    EXPECT_THROW(prices.GetDumpTruckCost(0, 0, 0), velmora::data::TableDamage);
    dep.remove(QStringLiteral("dat/DTTankaSuryo.ini"));
    EXPECT_THROW(prices.GetDumpTruckCost(0, 0, 0), velmora::Error);
}

TEST_F(DistrictUnitPriceTest, AMissingOrEmptyPriceFileIsLeftOutWholeAndTheOthersStay)
{
    // Start-up names a missing file; the rows that need it name it again.
    dep.writeWorking(QStringLiteral("DT02"), crlfLines({QStringLiteral("h"), QStringLiteral("1")}));
    dep.writeWorking(QStringLiteral("DS22"), QString());
    velmora::data::takeFindings();
    CDistrictUnitPrice prices;
    EXPECT_TRUE(notes.warnings.empty());
    EXPECT_EQ(prices.GetPriceT02(0), 1);
    const auto leftOut = [&](auto lookup, const QString& file, const QString& why) {
        try {
            lookup();
            ADD_FAILURE() << file.toStdString() << " priced";
        } catch (const velmora::data::TableDamage& e) {
            EXPECT_EQ(e.finding().file, file);
            EXPECT_TRUE(e.finding().problem.startsWith(why)) << e.finding().problem.toStdString();
        }
    };
    leftOut([&] { return prices.GetPriceR01(); }, QStringLiteral("ER01.dat"), QStringLiteral("ファイルがありません。"));
    leftOut([&] { return prices.GetPriceS24(0); }, QStringLiteral("ES24.dat"), QStringLiteral("ファイルがありません。"));
    leftOut([&] { return prices.GetPriceS22(0); }, QStringLiteral("ES22"), QStringLiteral("ファイルが空です。"));
    // Only the emptied file is a finding of its own; missing ones are told with the other missing files.
    const std::vector<velmora::data::TableFinding> findings = velmora::data::takeFindings();
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(velmora::data::FindingText(findings.front()),
              QStringLiteral("誤り: ES22: ファイルが空です。この表の単価を使う計算は運搬費を出しません。"));
}

TEST_F(DistrictUnitPriceTest, MalformedPricesAreNamedAndCostOnlyTheirOwnPrice)
{
    writePrices();
    velmora::data::takeFindings();
    dep.writeWorking(QStringLiteral("DR01"), crlfLines({QStringLiteral("h"), QStringLiteral("2万")}));
    dep.writeWorking(QStringLiteral("DS24"), crlfLines({QStringLiteral("h"), QStringLiteral("12,345"), QStringLiteral("8000"), QStringLiteral("6000")}));
    dep.writeWorking(QStringLiteral("DS22"), crlfLines({QStringLiteral("h"), QStringLiteral("678"), QStringLiteral("500")}));
    dep.writeWorking(QStringLiteral("DA01"), crlfLines({QStringLiteral("地区"), QStringLiteral("北"), QStringLiteral("南")}));
    dep.writeWorking(QStringLiteral("DT02"), crlfLines({QStringLiteral("h"), QStringLiteral("-100"), QStringLiteral("1500")}));
    {
        CDistrictUnitPrice prices;
        EXPECT_THROW(prices.GetPriceR01(), velmora::data::TableDamage);
        EXPECT_THROW(prices.GetPriceS24(0), velmora::data::TableDamage);
        EXPECT_EQ(prices.GetPriceS24(1), 8000);
        EXPECT_THROW(prices.GetPriceS22(0), velmora::data::TableDamage); // two lines for three classes
        EXPECT_THROW(prices.GetPriceT02(0), velmora::data::TableDamage);
        EXPECT_EQ(prices.GetPriceT02(1), 1500);
        QStringList texts;
        for (const velmora::data::TableFinding& f : velmora::data::takeFindings())
            texts.append(velmora::data::FindingText(f));
        EXPECT_EQ(texts.size(), 4) << texts.join(u'\n').toStdString();
        EXPECT_TRUE(texts.join(u'\n').contains(QStringLiteral("ES24 の 2 行目「12,345」"))) << texts.join(u'\n').toStdString();
    }
    // Only the line after the heading is the price; a file without it leaves the price out.
    dep.writeWorking(QStringLiteral("DR01"), crlfLines({QStringLiteral("単価のみ")}));
    EXPECT_THROW(CDistrictUnitPrice().GetPriceR01(), velmora::data::TableDamage);
    velmora::data::takeFindings();
}

TEST_F(DistrictUnitPriceTest, ALineBreakInsideAPriceCostsOnlyItsOwnDistrictAndADearerSmallerTruckIsWarned)
{
    writePrices();
    dep.writeWorking(QStringLiteral("DA01"), crlfLines({QStringLiteral("地区"), QStringLiteral("北"), QStringLiteral("中"), QStringLiteral("南")}));
    // A line break typed into the first price must not shift 150 onto the
    // wrong district, nor an emptied last price cost the whole list.
    dep.writeWorking(QStringLiteral("DT02"), QStringLiteral("h\r\n1\r00\r\n150\r\n\r\n"));
    dep.writeWorking(QStringLiteral("DS22"), crlfLines({QStringLiteral("h"), QStringLiteral("678"), QStringLiteral("5000"), QStringLiteral("400")}));
    dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), QString(Quantities).replace(QStringLiteral("]\r\n2\r\n0\r\n"), QStringLiteral("]\r\n2\r\n510\r\n")));
    velmora::data::takeFindings();
    CDistrictUnitPrice prices;
    EXPECT_THROW(prices.GetPriceT02(0), velmora::data::TableDamage);
    EXPECT_EQ(prices.GetPriceT02(1), 150);
    EXPECT_THROW(prices.GetPriceT02(2), velmora::data::TableDamage);
    EXPECT_EQ(prices.GetPriceS22(1), 5000);
    QStringList texts;
    for (const velmora::data::TableFinding& f : velmora::data::takeFindings())
        texts.append(velmora::data::FindingText(f));
    const QString all = texts.join(u'\n');
    EXPECT_EQ(texts.size(), 4) << all.toStdString();
    for (const QString& expected : {QStringLiteral("ET02 の 2 行目「1↵00」: 単価が値の中に改行があります"), QStringLiteral("ET02 の 4 行目「」"),
                                    QStringLiteral("ES22 の 3 行目「5000」: 4t の単価が 2 行目の 10t の単価 678 より高く"),
                                    QStringLiteral("DTTankaSuryo.ini の 8 行目「510」: [ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量] の 2 番目の数量（軽油）が [ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量] の 50 より多く")})
        EXPECT_TRUE(all.contains(expected)) << expected.toStdString() << "\n" << all.toStdString();

    // Lines ended by a lone CR throughout are still lines.
    writePrices();
    dep.writeWorking(QStringLiteral("DT02"), QStringLiteral("h\r100\r150\r160\r"));
    EXPECT_EQ(CDistrictUnitPrice().GetPriceT02(2), 160);
    EXPECT_TRUE(velmora::data::takeFindings().empty());
}

TEST(DistrictUnitPriceSynthetic, ReadsNothingAndOverflowIsAnError)
{
    TempDeployment dep;
    velmora::test::RecordingNotifier notes;
    CDistrictUnitPrice prices{CDistrictUnitPrice::NoFiles{}};
    EXPECT_TRUE(notes.warnings.empty());
    prices.SetPrices(2000000000, {QStringLiteral("2000000000")}, {QStringLiteral("0")}, {QStringLiteral("0")});
    dep.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n1\r\n1\r\n0\r\n0\r\n"));
    EXPECT_THROW(prices.GetDumpTruckCost(0, 0, 0), velmora::OverflowError);
}

} // namespace
