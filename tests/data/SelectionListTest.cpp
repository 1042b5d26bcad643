#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/StringListTarget.h"
#include "support/TempDeployment.h"

#include "TestTexts.h"

#include <gtest/gtest.h>

using velmora::data::IniEncoding;
using velmora::data::StringListTarget;
using velmora::test::TempDeployment;

using velmora::test::L;

namespace {

class SelectionListTest : public ::testing::Test
{
protected:
    TempDeployment dep;

    void writeTransportTypes()
    {
        // Shipped files are CP932 without a mark: the half-width section names
        // must survive that round trip.
        dep.writeIni(QStringLiteral("dat/Syubetsu_RowSource.ini"),
                     QStringLiteral("[鉄筋ｺﾝｸﾘｰﾄ塊]\r\n10t\r\n4t\r\n[無筋ｺﾝｸﾘｰﾄ塊]\r\n無筋10t\r\n[ｱｽｺﾝ塊]\r\nA1\r\nA2\r\nA3\r\n"));
        dep.writeIni(QStringLiteral("dat/SPSyubetsu_RowSource.ini"),
                     QStringLiteral("[ｱｽﾌｧﾙﾄ殻]\r\nSP-A\r\n[鉄筋ｺﾝｸﾘｰﾄ殻]\r\n  SP 鉄筋 1  \r\n; not an entry\r\nSP鉄筋2\r\n"));
    }
};

TEST_F(SelectionListTest, RowSourcesOfferEveryLineWholeAndCopyReplacesWithoutSelecting)
{
    dep.writeIni(QStringLiteral("dat/Himoku_RowSource.ini"),
                 QStringLiteral("[他]\r\nx\r\n[処分費目]\r\n鉄筋ｺﾝｸﾘｰﾄ塊\r\n\r\nk=v\r\nｱｽｺﾝ塊\r\n"), IniEncoding::Utf16LeBom);
    dep.writeIni(QStringLiteral("dat/SPHimoku_RowSource.ini"), QStringLiteral("[処分費目]\r\n殻\r\n"), IniEncoding::Utf8Bom);

    const CHimokuRowSource himoku;
    EXPECT_EQ(himoku.Items(), L({u"鉄筋ｺﾝｸﾘｰﾄ塊", u"k=v", u"ｱｽｺﾝ塊"}));

    StringListTarget target;
    target.appendItem(QStringLiteral("old"));
    target.setCurrentIndex(0);
    himoku.CopyItemsTo(target);
    himoku.CopyItemsTo(target);
    EXPECT_EQ(target.items(), himoku.Items());
    EXPECT_EQ(target.currentIndex(), -1);

    CSPHimokuRowSource().CopyItemsTo(target);
    EXPECT_EQ(target.items(), QStringList{QStringLiteral("殻")});

    dep.remove(QStringLiteral("dat/Himoku_RowSource.ini"));
    CHimokuRowSource().CopyItemsTo(target);
    EXPECT_EQ(target.count(), 0);
}

TEST_F(SelectionListTest, BothTransportModelsFillTheSharedListAtConstructionThePackageOneLast)
{
    writeTransportTypes();
    StringListTarget unpan;
    const CSyubetsuComboBox labour(&unpan);
    EXPECT_EQ(unpan.items(), L({u"10t", u"4t"}));
    const CSPSyubetsuComboBox package(&unpan);
    EXPECT_EQ(unpan.items(), L({u"SP 鉄筋 1", u"SP鉄筋2"}));
    EXPECT_EQ(unpan.currentIndex(), 0);

    EXPECT_EQ(labour.Items(2), L({u"A1", u"A2", u"A3"}));
    EXPECT_EQ(package.Items(2), L({u"SP-A"}));
    EXPECT_TRUE(package.Items(1).isEmpty());
    EXPECT_EQ(labour.ListFor(3), nullptr);
    EXPECT_NE(package.ListFor(1), nullptr);
}

TEST_F(SelectionListTest, FillComboChangesNothingForAnUnknownCostItemAndEmptiesForAMissingSection)
{
    writeTransportTypes();
    StringListTarget unpan;
    CSyubetsuComboBox labour(&unpan);
    labour.FillCombo(2);
    unpan.setCurrentIndex(2);
    labour.FillCombo(3);
    labour.FillCombo(-1);
    EXPECT_EQ(unpan.items(), L({u"A1", u"A2", u"A3"}));
    EXPECT_EQ(unpan.currentIndex(), 2);

    CSPSyubetsuComboBox package(&unpan);
    package.FillCombo(1); // section missing
    EXPECT_EQ(unpan.count(), 0);
    EXPECT_EQ(unpan.currentIndex(), -1);

    // Without any file every list is empty, and an unbound model is harmless.
    CSPGaraHasseiComboBox gara(nullptr);
    gara.FillCombo(0);
    EXPECT_TRUE(gara.Items(0).isEmpty());
}

TEST_F(SelectionListTest, DebrisWorksFollowTheCostItem)
{
    dep.writeIni(QStringLiteral("dat/SPGaraHassei_RowSource.ini"),
                 QStringLiteral("[鉄筋ｺﾝｸﾘｰﾄ殻]\r\nとりこわし\r\n吹付\r\n[無筋ｺﾝｸﾘｰﾄ殻]\r\n無筋\r\n[ｱｽﾌｧﾙﾄ殻]\r\n破砕\r\n電線\r\n"));
    StringListTarget gara;
    CSPGaraHasseiComboBox model(&gara);
    EXPECT_EQ(gara.items(), L({u"とりこわし", u"吹付"}));
    model.FillCombo(2);
    EXPECT_EQ(gara.items(), L({u"破砕", u"電線"}));
    EXPECT_EQ(gara.currentIndex(), 0);
    EXPECT_EQ(model.Items(1), L({u"無筋"}));
}

TEST_F(SelectionListTest, LoadingMethodsDependOnCostItemAndWork)
{
    dep.writeIni(QStringLiteral("dat/SPTsumikomiKubun_RowSource.ini"),
                 QStringLiteral("[舗装版破砕積込み(電線共同溝)]\r\nL3\r\n"
                                "[ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし]\r\nL0a\r\nL0b\r\n"
                                "[吹付法面取壊し(ﾓﾙﾀﾙ)]\r\nL1\r\n"
                                "[舗装版破砕]\r\nL2\r\n"));
    StringListTarget tsumikomi;
    CSPTsumikomiComboBox model(&tsumikomi);
    EXPECT_EQ(tsumikomi.items(), L({u"L0a", u"L0b"}));
    EXPECT_EQ(tsumikomi.currentIndex(), 0);

    struct Case
    {
        int costItem, work;
        const char16_t* first; // nullptr: no list
    };
    const Case cases[] = {{0, 0, u"L0a"}, {1, 0, u"L0a"}, {0, 1, u"L1"}, {1, 1, u"L1"}, {2, 0, u"L2"}, {2, 1, u"L3"},
                          {2, 2, nullptr}, {3, 0, nullptr}, {-1, 0, nullptr}, {0, -1, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.costItem << "/" << c.work);
        const QStringList* list = model.ListFor(c.costItem, c.work);
        if (!c.first) {
            EXPECT_EQ(list, nullptr);
            EXPECT_TRUE(model.Items(c.costItem, c.work).isEmpty());
            continue;
        }
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->first(), QString::fromUtf16(c.first));
    }

    model.FillCombo(1, 1);
    EXPECT_EQ(tsumikomi.items(), L({u"L1"}));
    tsumikomi.appendItem(QStringLiteral("extra"));
    tsumikomi.setCurrentIndex(1);
    model.FillCombo(2, 2);
    EXPECT_EQ(tsumikomi.items(), L({u"L1", u"extra"}));
    EXPECT_EQ(tsumikomi.currentIndex(), 1);
}

TEST(StringListTarget, SelectionOutsideTheItemsSelectsNothing)
{
    StringListTarget t;
    t.setCurrentIndex(0);
    EXPECT_EQ(t.currentIndex(), -1);
    t.appendItem(QStringLiteral("a"));
    t.appendItem(QStringLiteral("b"));
    EXPECT_EQ(t.currentIndex(), -1); // appending selects nothing
    t.setCurrentIndex(1);
    EXPECT_EQ(t.currentText(), QStringLiteral("b"));
    t.setCurrentIndex(2);
    EXPECT_EQ(t.currentIndex(), -1);
    EXPECT_TRUE(t.currentText().isEmpty());
    t.setCurrentIndex(0);
    t.clearItems();
    EXPECT_EQ(t.currentIndex(), -1);
    EXPECT_EQ(t.count(), 0);
}

} // namespace
