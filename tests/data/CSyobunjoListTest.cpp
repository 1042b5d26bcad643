#include "data/CSyobunjoList.h"
#include "data/Error.h"
#include "data/TableFindings.h"
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
    dep.writeWorking(QStringLiteral("DC01.txt"), crlfLines({QStringLiteral("1,K1,-123000.5,456.25"), QStringLiteral("2,K4,-100000,1"),
                                                            QStringLiteral("3,K5,-100000,2")}));

    CSyobunjoList list(1);
    EXPECT_EQ(list.CostItemName(), QStringLiteral("無筋ｺﾝｸﾘｰﾄ"));
    // An empty or negative fee is damage, not a fee of 0 or −20 yen.
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("一号")}));

    list.MoveFirst();
    const CSyobunjoData& first = list.Current();
    EXPECT_EQ(first.GetSiteKey(), QStringLiteral("K1"));
    EXPECT_EQ(first.GetCostItem(), QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊"));
    EXPECT_EQ(first.GetDisposalFee(), 1500);
    EXPECT_EQ(first.GetFeeUnit(), QStringLiteral("円/t"));
    EXPECT_EQ(first.GetPriceSource(), QStringLiteral("出典K1"));
    EXPECT_EQ(first.GetX(), -123000.5);
    EXPECT_EQ(first.GetY(), 456.25);
    EXPECT_TRUE(notes.warnings.empty());
    velmora::data::takeFindings();
}

TEST_F(SyobunjoListTest, HalfWidthNameInTheTableMatchesAFullWidthName)
{
    dep.writeIni(QStringLiteral("dat/SyobunjoKikakuSource.ini"),
                 QStringLiteral("[処分費目]\r\nアスファルト\r\n"), velmora::data::IniEncoding::Utf8Bom);
    dep.writeWorking(QStringLiteral("DT19"), crlfLines({siteLine(QStringLiteral("A"), QStringLiteral("ｱｽﾌｧﾙﾄ殻"), QStringLiteral("x"), QStringLiteral("1")),
                                                    siteLine(QStringLiteral("B"), QStringLiteral("ｱｽﾌｧ"), QStringLiteral("y"), QStringLiteral("1"))}));
    dep.writeWorking(QStringLiteral("DC01"), crlfLines({QStringLiteral("1,A,-120000,20000"), QStringLiteral("2,B,-120000,20000")}));
    CSyobunjoList list(0);
    EXPECT_EQ(walkNames(list), QStringList{QStringLiteral("x")});
}

TEST_F(SyobunjoListTest, CoordinateKeysIgnoreCaseAndAKeyWrittenTwicePlacesNoSite)
{
    writeNames();
    dep.writeWorking(QStringLiteral("DT19"),
                     crlfLines({siteLine(QStringLiteral("ab1"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("p"), QStringLiteral("1")),
                            siteLine(QStringLiteral("zz"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("q"), QStringLiteral("1")),
                            siteLine(QStringLiteral("c 2"), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("r"), QStringLiteral("1"))}));
    dep.writeWorking(QStringLiteral("DC01"),
                     crlfLines({QStringLiteral("no,key,X,Y"), // a header is only matched by a site called "key"
                            QStringLiteral("1,AB1,-100010.5,20.5"),
                            QStringLiteral("2,zZ,-100099,99"),
                            QStringLiteral("3,Zz,-100098,98"),
                            QStringLiteral(" 3 , \"c 2\" , -100000 ,\"-7\"")}));
    CSyobunjoList list(0);
    // A site without a trustworthy coordinate line is left out rather than
    // placed at 0/0 or at the first of two places.
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("p"), QStringLiteral("r")}));
    list.MoveFirst();
    EXPECT_EQ(list.Current().GetX(), -100010.5);
    EXPECT_EQ(list.Current().GetY(), 20.5);
    list.MoveNext();
    EXPECT_EQ(list.Current().GetX(), -100000.0);
    EXPECT_EQ(list.Current().GetY(), -7.0);
    velmora::data::takeFindings();
    // Loading leaves the cursor at the end.
    CSyobunjoList again(0);
    EXPECT_TRUE(again.IsEnd());
}

// A damaged line costs its own site and nothing else: every other site loads
// with its coordinates, and what was left out is named with file, line and value.
TEST_F(SyobunjoListTest, ADamagedLineLeavesOutItsSiteAloneAndIsNamed)
{
    writeNames();
    velmora::data::takeFindings();
    const QString item = QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ");
    dep.writeWorking(QStringLiteral("DT19.dat"),
                     crlfLines({siteLine(QStringLiteral("K1"), item, QStringLiteral("before"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K2"), item, QStringLiteral("bad fee"), QStringLiteral("２８００")),
                                QString(),
                                siteLine(QStringLiteral("K3"), item, QStringLiteral("no line"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K4"), item, QStringLiteral("bad x"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K5"), item, QStringLiteral("short"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K7"), item, QStringLiteral("twice"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K8"), item, QStringLiteral("swapped"), QStringLiteral("5")),
                                siteLine(QStringLiteral("K6"), item, QStringLiteral("after"), QStringLiteral("6"))}));
    dep.writeWorking(QStringLiteral("DC01.dat"),
                     crlfLines({QStringLiteral("1,K1,-100001,2"), QString(), QStringLiteral("lonely"), QStringLiteral("4,K4,-1000O0,3"),
                                QStringLiteral("5,K5,-100000"), QStringLiteral("6,K6,-100007,8"), QStringLiteral("2,K2,-100005,5"),
                                QStringLiteral("7,K7,-100009,9"), QStringLiteral("8,K7,-100010,9"),
                                QStringLiteral("9,K8,45088,-147212")}));
    CSyobunjoList list(0);
    EXPECT_EQ(walkNames(list), (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    list.MoveFirst();
    EXPECT_EQ(list.Current().GetX(), -100001.0);
    list.MoveNext();
    EXPECT_EQ(list.Current().GetY(), 8.0);
    EXPECT_TRUE(notes.warnings.empty()); // told once at start-up, not per register

    QStringList texts;
    for (const velmora::data::TableFinding& f : velmora::data::takeFindings())
        texts.append(velmora::data::FindingText(f));
    const QString all = texts.join(u'\n');
    for (const QString& expected : {QStringLiteral("ET19.dat の 2 行目「２８００」: 処分費が全角の数字が含まれています"),
                                    QStringLiteral("EC01.dat の 3 行目「lonely」"), QStringLiteral("EC01.dat の 4 行目「-1000O0」"),
                                    QStringLiteral("EC01.dat の 5 行目"), QStringLiteral("EC01.dat の 9 行目「K7」: 処分場コードが 8 行目と重なっています"),
                                    QStringLiteral("EC01.dat の 10 行目「45088,-147212」: 座標が三重県とその周辺の範囲"),
                                    QStringLiteral("EC01.dat「K3」: 処分場「no line」の座標の行がありません")})
        EXPECT_TRUE(all.contains(expected)) << expected.toStdString() << "\n" << all.toStdString();
    EXPECT_EQ(texts.size(), 7) << all.toStdString();

    // Loading the same tables again reports nothing new: each finding is kept once.
    CSyobunjoList again(0);
    EXPECT_EQ(velmora::data::takeFindings().size(), 7u);
}

TEST_F(SyobunjoListTest, ASkippedLineNumberAndAPlaceAwayFromItsLatitudeAreWarnedButCalculated)
{
    writeNames();
    velmora::data::takeFindings();
    QStringList sites;
    for (int n : {1, 2, 4, 5}) {
        QString line = siteLine(QStringLiteral("K%1").arg(n), QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ"), QStringLiteral("site %1").arg(n), QStringLiteral("5"));
        sites.append(line.replace(0, 2, QString::number(n)));
    }
    dep.writeWorking(QStringLiteral("DT19.dat"), crlfLines(sites));
    // K2's Y has lost its minus sign: still near Mie, no longer at its latitude.
    dep.writeWorking(QStringLiteral("DC01.dat"),
                     crlfLines({QStringLiteral("No,ｷｰ,X,Y,緯度,経度"), QStringLiteral("1,K1,-147212.4,45088.0,34.6720,136.4920"),
                                QStringLiteral("2,K2,-147212.4,-45088.0,34.6720,136.4920"), QStringLiteral("3,K4,-147212.4,45088.0,,"),
                                QStringLiteral("4,K5,-147212.4,45088.0,34.6720,136.4920")}));
    CSyobunjoList list(0);
    EXPECT_EQ(walkNames(list).size(), 4);
    QStringList texts;
    for (const velmora::data::TableFinding& f : velmora::data::takeFindings()) {
        EXPECT_EQ(f.level, velmora::data::FindingLevel::Warning);
        texts.append(velmora::data::FindingText(f));
    }
    const QString all = texts.join(u'\n');
    EXPECT_EQ(texts.size(), 2) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("ET19.dat の 3 行目「4」: No が 2 の次に 4 になっています"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("EC01.dat の 3 行目「-147212.4,-45088.0」: 座標が同じ行の緯度・経度（34.6720, 136.4920）から"))) << all.toStdString();
}

TEST_F(SyobunjoListTest, MissingFilesGiveQuietlyEmptyRegisters)
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

    // Without a coordinate table no site can be placed; at 0/0 one would be
    // measured from the origin.
    dep.writeWorking(QStringLiteral("DT19"), crlfLines({siteLine(QStringLiteral("K1"), QStringLiteral("ｱｽﾌｧﾙﾄ"), QStringLiteral("n"), QStringLiteral("1"))}));
    CSyobunjoList noCoordinates(-1);
    EXPECT_FALSE(noCoordinates.LoadSites(2));
    EXPECT_EQ(noCoordinates.Count(), 0);
    EXPECT_TRUE(noCoordinates.IsEnd());
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
