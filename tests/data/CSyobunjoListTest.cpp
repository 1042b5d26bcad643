#include "data/CSyobunjoList.h"
#include "data/Error.h"
#include "support/TempDeployment.h"
#include "RecordingNotifier.h"

#include "TestTexts.h"

#include <gtest/gtest.h>

#include <cmath>

using velmora::test::TempDeployment;

using velmora::test::crlfLines;

namespace {

const QString Names = QStringLiteral("[処分費目]\r\n鉄筋ｺﾝｸﾘｰﾄ\r\n無筋ｺﾝｸﾘｰﾄ\r\nｱｽﾌｧﾙﾄ\r\n");

// A site-table line with the read fields in place and filler elsewhere.
QString siteLine(const QString& key, const QString& costItem, const QString& name, const QString& fee,
                 int fieldCount = 22)
{
    QStringList f;
    for (int i = 0; i < fieldCount; ++i)
        f.append(QStringLiteral("f%1").arg(i));
    f[5] = key;
    f[6] = costItem;
    f[7] = name;
    f[10] = fee;
    f[11] = QStringLiteral("円/t");
    if (fieldCount > 21)
        f[21] = QStringLiteral("出典") + key;
    return f.join(u',');
}

QStringList walkNames(CSyobunjoList& list)
{
    QStringList out;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext())
        out.append(list.Current().GetSiteName());
    return out;
}

class SyobunjoListTest : public ::testing::Test
{
protected:
    TempDeployment dep;
    velmora::test::RecordingNotifier notes;

    void writeNames() { dep.writeIni(QStringLiteral("dat/SyobunjoKikakuSource.ini"), Names); }
};

TEST_F(SyobunjoListTest, SelectsTheLinesOfItsCostItemInFileOrderWithTheirFields)
{
    writeNames();
    dep.writeWorking(QStringLiteral("DT19.txt"),
                     crlfLines({QStringLiteral("番号,a,b,c,d,コード,処分費目,名称"), // heading: too few fields
                            siteLine(QStringLiteral("K1"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("一号"), QStringLiteral("1500")),
                            siteLine(QStringLiteral("K2"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("鉄筋の場"), QStringLiteral("9")),
                            siteLine(QStringLiteral("K3"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ"), QStringLiteral("短い"), QStringLiteral("1"), 21),
                            // full-width katakana in the table still matches the half-width name
                            siteLine(QStringLiteral("K4"), QStringLiteral("無筋コンクリート"), QStringLiteral("二号"), QString()),
                            siteLine(QStringLiteral("K5"), QStringLiteral("(無筋ｺﾝｸﾘｰﾄ殻)"), QStringLiteral("三号"), QStringLiteral("-20"))}));
    dep.writeWorking(QStringLiteral("DC01.txt"), crlfLines({QStringLiteral("1,K1,-123.5,456.25"), QStringLiteral("2,K4,1,1"),
                                                            QStringLiteral("3,K5,2,2")}));

    CSyobunjoList list(1);
    EXPECT_EQ(list.CostItemName(), QStringLiteral("無筋ｺﾝｸﾘｰﾄ"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("一号"), QStringLiteral("二号"), QStringLiteral("三号")}));

    list.MoveFirst();
    const CSyobunjoData& first = list.Current();
    EXPECT_EQ(first.GetSiteKey(), QStringLiteral("K1"));
    EXPECT_EQ(first.GetCostItem(), QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊"));
    EXPECT_EQ(first.GetDisposalFee(), 1500);
    EXPECT_EQ(first.GetFeeUnit(), QStringLiteral("円/t"));
    EXPECT_EQ(first.GetPriceSource(), QStringLiteral("出典K1"));
    EXPECT_EQ(first.GetX(), -123.5);
    EXPECT_EQ(first.GetY(), 456.25);

    list.MoveNext();
    EXPECT_EQ(list.Current().GetDisposalFee(), 0); // empty fee
    list.MoveNext();
    EXPECT_EQ(list.Current().GetDisposalFee(), -20);
    EXPECT_TRUE(notes.warnings.empty());
}

TEST_F(SyobunjoListTest, HalfWidthNameInTheTableMatchesAFullWidthName)
{
    dep.writeIni(QStringLiteral("dat/SyobunjoKikakuSource.ini"),
                 QStringLiteral("[処分費目]\r\nアスファルト\r\n"), velmora::data::IniEncoding::Utf8Bom);
    dep.writeWorking(QStringLiteral("DT19"), crlfLines({siteLine(QStringLiteral("A"), QStringLiteral("ｱｽﾌｧﾙﾄ殻"), QStringLiteral("x"), QStringLiteral("1")),
                                                    siteLine(QStringLiteral("B"), QStringLiteral("ｱｽﾌｧ"), QStringLiteral("y"), QStringLiteral("1"))}));
    CSyobunjoList list(0);
    EXPECT_EQ(walkNames(list), QStringList{QStringLiteral("x")});
}

TEST_F(SyobunjoListTest, CoordinateKeysIgnoreCaseAndTheFirstLineWins)
{
    writeNames();
    dep.writeWorking(QStringLiteral("DT19"),
                     crlfLines({siteLine(QStringLiteral("ab1"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("p"), QStringLiteral("1")),
                            siteLine(QStringLiteral("zz"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("q"), QStringLiteral("1")),
                            siteLine(QStringLiteral("c 2"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("r"), QStringLiteral("1"))}));
    dep.writeWorking(QStringLiteral("DC01"),
                     crlfLines({QStringLiteral("no,key,X,Y"), // a header is only matched by a site called "key"
                            QStringLiteral("1,AB1,10.5,20.5"),
                            QStringLiteral("2,ab1,99,99"),
                            QStringLiteral(" 3 , \"c 2\" , 1e3 ,\"-7\"")}));
    CSyobunjoList list(0);
    // A site without a coordinate line is left out rather than placed at 0/0.
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("p"), QStringLiteral("r")}));
    list.MoveFirst();
    EXPECT_EQ(list.Current().GetX(), 10.5);
    EXPECT_EQ(list.Current().GetY(), 20.5);
    list.MoveNext();
    EXPECT_EQ(list.Current().GetX(), 1000.0);
    EXPECT_EQ(list.Current().GetY(), -7.0);
    // Loading leaves the cursor at the end.
    CSyobunjoList again(0);
    EXPECT_TRUE(again.IsEnd());
}

// A damaged line costs its own site and nothing else: every other site loads
// with its coordinates, and what was left out is noted with file and line.
TEST_F(SyobunjoListTest, ADamagedLineLeavesOutItsSiteAloneAndIsNoted)
{
    writeNames();
    const QString item = QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ");
    dep.writeWorking(QStringLiteral("DT19.dat"),
                     crlfLines({siteLine(QStringLiteral("K1"), item, QStringLiteral("before"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K2"), item, QStringLiteral("bad fee"), QStringLiteral("2800円")),
                                QString(),
                                siteLine(QStringLiteral("K3"), item, QStringLiteral("no line"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K4"), item, QStringLiteral("bad x"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K5"), item, QStringLiteral("short"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K6"), item, QStringLiteral("after"), QStringLiteral("6"))}));
    dep.writeWorking(QStringLiteral("DC01.dat"),
                     crlfLines({QStringLiteral("1,K1,1,2"), QString(), QStringLiteral("lonely"), QStringLiteral("4,K4,x2,3"),
                                QStringLiteral("5,K5,1"), QStringLiteral("6,K6,7,8"), QStringLiteral("2,K2,5,5")}));
    CSyobunjoList list(0);
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    EXPECT_TRUE(list.IsEnd());
    list.MoveFirst();
    EXPECT_EQ(list.Current().GetX(), 1.0);
    list.MoveNext();
    EXPECT_EQ(list.Current().GetY(), 8.0);
    EXPECT_EQ(list.Current().GetDisposalFee(), 6);
    EXPECT_TRUE(notes.warnings.empty()); // told once at start-up, not per register

    using velmora::data::SiteLeftOut;
    const std::vector<SiteLeftOut> expected = {
        {QStringLiteral("ET19.dat"), 2, QStringLiteral("K2"), QStringLiteral("bad fee"), QStringLiteral("処分費 '2800円' が整数ではありません")},
        {QStringLiteral("EC01.dat"), 3, QString(), QString(), QStringLiteral("処分場コードがありません")},
        {QStringLiteral("EC01.dat"), 0, QStringLiteral("K3"), QStringLiteral("no line"), QStringLiteral("座標の行がありません")},
        {QStringLiteral("EC01.dat"), 4, QStringLiteral("K4"), QStringLiteral("bad x"), QStringLiteral("座標 'x2', '3' が数値ではありません")},
        {QStringLiteral("EC01.dat"), 5, QStringLiteral("K5"), QStringLiteral("short"), QStringLiteral("座標がありません")},
    };
    EXPECT_TRUE(list.LeftOut() == expected);

    // Two registers reading the same damage give one text, each line once.
    std::vector<SiteLeftOut> twice = list.LeftOut();
    twice.insert(twice.end(), list.LeftOut().begin(), list.LeftOut().end());
    const QString text = velmora::data::SitesLeftOutText(twice);
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 5);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nET19.dat の 2 行目: 処分費 '2800円' が整数ではありません（処分場 K2「bad fee」）")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nEC01.dat: 座標の行がありません（処分場 K3「no line」）")));
    EXPECT_TRUE(velmora::data::SitesLeftOutText({}).isEmpty());
    // A table damaged throughout names twenty and counts the rest.
    std::vector<SiteLeftOut> many;
    for (int i = 1; i <= 25; ++i)
        many.push_back({QStringLiteral("EC01.dat"), i, QString(), QString(), QStringLiteral("処分場コードがありません")});
    const QString capped = velmora::data::SitesLeftOutText(many);
    EXPECT_TRUE(capped.contains(QStringLiteral("の 20 行目")));
    EXPECT_FALSE(capped.contains(QStringLiteral("の 21 行目")));
    EXPECT_TRUE(capped.endsWith(QStringLiteral("\r\nほか 5 件")));
}

TEST_F(SyobunjoListTest, MissingFilesGiveQuietlyIncompleteRegisters)
{
    // No names file at all.
    CSyobunjoList noNames(0);
    EXPECT_EQ(noNames.Count(), 0);

    writeNames();
    // A kind beyond the names, and no site table.
    CSyobunjoList beyond(-1);
    EXPECT_FALSE(beyond.LoadSites(3));
    EXPECT_FALSE(beyond.LoadSites(0));
    EXPECT_EQ(beyond.Count(), 0);

    // Sites without a coordinate table keep 0/0.
    dep.writeWorking(QStringLiteral("DT19"), crlfLines({siteLine(QStringLiteral("K1"), QStringLiteral("ｱｽﾌｧﾙﾄ"), QStringLiteral("n"), QStringLiteral("1"))}));
    CSyobunjoList noCoordinates(-1);
    EXPECT_FALSE(noCoordinates.LoadSites(2));
    ASSERT_EQ(noCoordinates.Count(), 1);
    noCoordinates.MoveFirst();
    EXPECT_EQ(noCoordinates.Current().GetX(), 0.0);
    EXPECT_TRUE(notes.warnings.empty());
}

TEST(SyobunjoListCursor, WalkFindAndEnd)
{
    CSyobunjoList list(-1);
    EXPECT_TRUE(list.IsEnd());
    EXPECT_EQ(list.FindByCoordinates(0, 0), nullptr);
    EXPECT_THROW(list.Current(), velmora::Error);

    for (int i = 0; i < 3; ++i) {
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteName(QString::number(i));
        site->SetXValue(0.1 * i);
        site->SetYValue(i == 2 ? 0.1 : 0.3); // site 2 shares nothing exactly with site 1
        list.AddSite(std::move(site));
    }
    list.AddSite(nullptr);
    EXPECT_EQ(list.Count(), 3);

    CSyobunjoData* found = list.FindByCoordinates(0.1, 0.3);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetSiteName(), QStringLiteral("1"));
    EXPECT_EQ(&list.Current(), found); // the cursor rests on the site found
    EXPECT_EQ(list.FindByCoordinates(std::nextafter(0.1, 1.0), 0.3), nullptr);
    EXPECT_TRUE(list.IsEnd());
    EXPECT_FALSE(list.MoveNext());
    EXPECT_TRUE(list.IsEnd());

    list.MoveFirst();
    EXPECT_TRUE(list.MoveNext());
    EXPECT_TRUE(list.MoveNext());
    EXPECT_TRUE(list.MoveNext()); // onto the end
    EXPECT_FALSE(list.MoveNext());
}

TEST(SyobunjoData, SettersConvertTextsAndRejectNonNumbers)
{
    CSyobunjoData d;
    d.SetDisposalFee(QString());
    d.SetX(QString());
    EXPECT_EQ(d.GetDisposalFee(), 0);
    EXPECT_EQ(d.GetX(), 0.0);
    d.SetDisposalFee(QStringLiteral("2500"));
    d.SetX(QStringLiteral("-12345.678"));
    d.SetY(QStringLiteral("0.5"));
    EXPECT_EQ(d.GetDisposalFee(), 2500);
    EXPECT_EQ(d.GetX(), -12345.678);
    EXPECT_EQ(d.GetY(), 0.5);
    EXPECT_THROW(d.SetDisposalFee(QStringLiteral("12.5")), velmora::ConvertError);
    EXPECT_THROW(d.SetX(QStringLiteral("1,5")), velmora::ConvertError);
    EXPECT_THROW(d.SetY(QStringLiteral(" ")), velmora::ConvertError);
}

} // namespace
