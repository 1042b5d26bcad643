#include "calc/CaseFile.h"
#include "calc/PackageConditions.h"

#include <gtest/gtest.h>

using namespace velmora::calc;

namespace {

CaseData EveryChoice(int transportType)
{
    CaseData d;
    d.transportType = QStringLiteral("種別%1").arg(transportType);
    d.debrisWork = QStringLiteral("構造物取壊し");
    d.loading = QStringLiteral("機械積込");
    d.refuseKind = RefuseKinds().first();
    d.loadClass = LoadClasses().first();
    d.dumpTruckCarry = false;
    d.did = true;
    return d;
}

} // namespace

TEST(PackageConditions, EachTransportTypeSelectsWithTheDetailsItReads)
{
    const QString type1 = QStringLiteral("種別1");
    EXPECT_EQ(PackageConditionTexts(EveryChoice(0), 0),
              (QStringList{QStringLiteral("種別0"), QStringLiteral("構造物取壊し"), QStringLiteral("機械積込"), QStringLiteral("有り")}));
    EXPECT_EQ(PackageConditionTexts(EveryChoice(1), 1),
              (QStringList{type1, QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物"), QStringLiteral("貸与"), QStringLiteral("有り")}));
    CaseData carried = EveryChoice(1);
    carried.dumpTruckCarry = true;
    carried.did = false;
    EXPECT_EQ(PackageConditionTexts(carried, 1).mid(2), (QStringList{QStringLiteral("持込"), QStringLiteral("無し")}));
    EXPECT_EQ(PackageConditionTexts(EveryChoice(2), 2), (QStringList{QStringLiteral("種別2"), QStringLiteral("有り")}));
    EXPECT_EQ(PackageConditionTexts(EveryChoice(3), 3),
              (QStringList{QStringLiteral("種別3"), QStringLiteral("ｱｽﾌｧﾙﾄ塊"), QStringLiteral("有り")}));
    EXPECT_TRUE(PackageConditionTexts(EveryChoice(4), 4).isEmpty());
    EXPECT_TRUE(PackageConditionTexts(EveryChoice(-1), -1).isEmpty());
}

// A saved case keeps only the details its type reads; it must still select
// the same group, or a reopened case would be priced with other figures.
TEST(PackageConditions, ACaseKeepsWhatPricedItAndNothingElse)
{
    for (int t = -1; t <= 4; ++t) {
        CaseData kept = EveryChoice(t);
        KeepDetailsRead(kept, t);
        EXPECT_EQ(PackageConditionTexts(kept, t), PackageConditionTexts(EveryChoice(t), t)) << t;
        const QStringList texts = PackageConditionTexts(EveryChoice(t), t);
        for (const QString& detail : {kept.debrisWork, kept.loading, kept.refuseKind, kept.loadClass}) {
            if (!detail.isEmpty()) {
                EXPECT_TRUE(texts.contains(detail)) << t << ": " << detail.toStdString();
            }
        }
        EXPECT_FALSE(kept.dumpTruckCarry) << t;
    }

    CaseData labour = EveryChoice(0);
    labour.packageMethod = false;
    KeepDetailsRead(labour, 0);
    EXPECT_TRUE(labour.debrisWork.isEmpty() && labour.loading.isEmpty() && labour.refuseKind.isEmpty()
                && labour.loadClass.isEmpty());
    EXPECT_TRUE(labour.dumpTruckCarry);
    EXPECT_TRUE(labour.did);
}
