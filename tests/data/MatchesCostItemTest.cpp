#include "data/MatchesCostItem.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchesCostItem, KanaAndFullWidthFormsMatchTheirHalfWidthForms)
{
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊(有筋含む)"), QStringLiteral("無筋コンクリート")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("無筋コンクリート塊"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ｱｽｺﾝ塊"), QStringLiteral("あすこん")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ﾀﾞﾝﾌﾟ・ﾊﾟｲﾌﾟ"), QStringLiteral("ダンプ･パイプ")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("Ａｓ　殻"), QStringLiteral("As 殻")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ｳﾞｨ"), QStringLiteral("ヴィ")));
}

TEST(MatchesCostItem, OtherDifferencesStillCount)
{
    EXPECT_FALSE(MatchesCostItem(QStringLiteral("AS殻"), QStringLiteral("As殻"))); // Latin case
    EXPECT_FALSE(MatchesCostItem(QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ")));
    EXPECT_FALSE(MatchesCostItem(QStringLiteral("ｶﾞﾗ"), QStringLiteral("カラ"))); // voiced mark stays
    EXPECT_FALSE(MatchesCostItem(QStringLiteral("anything"), QString()));
    EXPECT_FALSE(MatchesCostItem(QString(), QStringLiteral("a")));
}

// Where ICU's stock transliterators and Windows' LCMapStringW disagree, the
// matching answers as on Windows.
TEST(MatchesCostItem, FollowsTheWindowsMappingWhereStockIcuDiffers)
{
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ｶﾞﾗ"), QStringLiteral("カ゛ラ")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ﾊﾟｲﾌﾟ"), QStringLiteral("ハ゜イフ゜")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ヵ所"), QStringLiteral("ゕ所")));
    EXPECT_TRUE(MatchesCostItem(QStringLiteral("ヰﾞ"), QStringLiteral("ヸ")));
    EXPECT_FALSE(MatchesCostItem(QStringLiteral("C:\\dat"), QStringLiteral("C:＼dat")));
    EXPECT_EQ(ToHalfWidth(QStringLiteral("゛＼ヹ")), QStringLiteral("ﾞ＼ヱﾞ"));
}

TEST(MatchesCostItem, HalfWidthHelpers)
{
    EXPECT_EQ(ToHalfWidth(QStringLiteral("ＡＢＣ１２３　（）")), QStringLiteral("ABC123 ()"));
    EXPECT_EQ(ToHalfWidth(QStringLiteral("漢字")), QStringLiteral("漢字"));
    EXPECT_EQ(velmora::data::ToHalfWidthKatakana(QStringLiteral("がぱー")), QStringLiteral("ｶﾞﾊﾟｰ"));
}

} // namespace
