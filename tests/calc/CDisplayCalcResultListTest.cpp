#include "CalcTestTables.h"

#include "data/Error.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<CDisplayCalcResultData> makeRow(const QString& name, int total, double distance, int rank = 0)
{
    auto row = std::make_unique<CDisplayCalcResultData>();
    row->SetSiteName(name);
    row->SetTotal(total);
    row->SetConfirmedDistance(distance);
    row->SetRank(rank);
    return row;
}

QList<int> ranksInOrder(CDisplayCalcResultList& list)
{
    QList<int> ranks;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext())
        ranks << list.Current().GetRank();
    return ranks;
}

// Totals 5000, 4000 (2.0 km), 4000 (1.0 km) and an unpriced row at 0.5 km.
void fillExample(CDisplayCalcResultList& list)
{
    list.Add(makeRow(QStringLiteral("A5000"), 5000, 3.0));
    list.Add(makeRow(QStringLiteral("B4000far"), 4000, 2.0));
    list.Add(makeRow(QStringLiteral("C4000near"), 4000, 1.0));
    list.Add(makeRow(QStringLiteral("Dzero"), 0, 0.5));
}

} // namespace

TEST(CDisplayCalcResultData, ConfirmedValuesFallBackWhenNothingWasTyped)
{
    CDisplayCalcResultData row;
    row.SetStraightDistance(7.4);
    row.SetDisposalFee(3400);
    row.UpdateConfirmedDistance();
    row.UpdateConfirmedFee();
    EXPECT_EQ(row.GetConfirmedDistance(), 7.4);
    EXPECT_EQ(row.GetConfirmedFee(), 3400);

    // Setting a typed value changes nothing until the next update.
    row.SetTransportDistance(12.3, CDisplayCalcResultData::DistanceSource::Typed);
    row.SetManualFee(2900);
    EXPECT_EQ(row.GetConfirmedDistance(), 7.4);
    EXPECT_EQ(row.GetConfirmedFee(), 3400);
    row.UpdateConfirmedDistance();
    row.UpdateConfirmedFee();
    EXPECT_EQ(row.GetConfirmedDistance(), 12.3);
    EXPECT_EQ(row.GetConfirmedFee(), 2900);

    // 0 means "none typed" again.
    row.SetTransportDistance(0, CDisplayCalcResultData::DistanceSource::Typed);
    row.SetManualFee(0);
    row.UpdateConfirmedDistance();
    row.UpdateConfirmedFee();
    EXPECT_EQ(row.GetConfirmedDistance(), 7.4);
    EXPECT_EQ(row.GetConfirmedFee(), 3400);
}

TEST(CDisplayCalcResultList, RankByTotalOrdersByAmountThenDistanceAndLeavesUnpricedLast)
{
    CDisplayCalcResultList list;
    fillExample(list);
    list.RankByTotal();
    EXPECT_EQ(calctest::rowNames(list),
              (QStringList{QStringLiteral("C4000near"), QStringLiteral("B4000far"), QStringLiteral("A5000"),
                           QStringLiteral("Dzero")}));
    EXPECT_EQ(ranksInOrder(list), (QList<int>{1, 2, 3, 0}));

    // Ordering by distance afterwards keeps the amount ranks.
    list.SortByDistance();
    EXPECT_EQ(calctest::rowNames(list),
              (QStringList{QStringLiteral("Dzero"), QStringLiteral("C4000near"), QStringLiteral("B4000far"),
                           QStringLiteral("A5000")}));
    EXPECT_EQ(ranksInOrder(list), (QList<int>{0, 1, 2, 3}));
}

TEST(CDisplayCalcResultList, EqualKeysKeepTheirOrderAndUnpricedRowsKeepTheirRank)
{
    CDisplayCalcResultList list;
    list.Add(makeRow(QStringLiteral("zero-far"), 0, 9.0, 7));
    list.Add(makeRow(QStringLiteral("first"), 4000, 2.0, 5));
    list.Add(makeRow(QStringLiteral("zero-near"), 0, 1.0, 0));
    list.Add(makeRow(QStringLiteral("second"), 4000, 2.0, 1));
    list.Add(makeRow(QStringLiteral("zero-tie"), 0, 1.0, 0));
    list.RankByTotal();
    EXPECT_EQ(calctest::rowNames(list),
              (QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("zero-near"),
                           QStringLiteral("zero-tie"), QStringLiteral("zero-far")}));
    // Ranks are rewritten for priced rows only.
    EXPECT_EQ(ranksInOrder(list), (QList<int>{1, 2, 0, 0, 7}));

    // Sorting by distance again must not swap the two rows tied at 1.0 km.
    list.SortByDistance();
    EXPECT_EQ(calctest::rowNames(list),
              (QStringList{QStringLiteral("zero-near"), QStringLiteral("zero-tie"), QStringLiteral("first"),
                           QStringLiteral("second"), QStringLiteral("zero-far")}));
}

TEST(CDisplayCalcResultList, CursorFindAndRowAt)
{
    CDisplayCalcResultList list;
    list.MoveFirst();
    EXPECT_TRUE(list.IsEnd());
    EXPECT_FALSE(list.MoveNext());
    EXPECT_THROW(list.Current(), velmora::Error);
    EXPECT_EQ(list.RowAt(1), nullptr);

    list.Add(makeRow(QStringLiteral("twin"), 100, 1.0));
    list.Add(makeRow(QStringLiteral("other"), 200, 2.0));
    list.Add(makeRow(QStringLiteral("twin"), 300, 3.0));

    CDisplayCalcResultData* found = list.FindByName(QStringLiteral("twin"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetTotal(), 100);
    EXPECT_EQ(&list.Current(), found);
    EXPECT_EQ(list.FindByName(QStringLiteral("twi")), nullptr);
    EXPECT_TRUE(list.IsEnd());

    ASSERT_NE(list.RowAt(1), nullptr);
    EXPECT_EQ(list.RowAt(1)->GetTotal(), 100);
    EXPECT_EQ(list.RowAt(3)->GetTotal(), 300);
    EXPECT_EQ(&list.Current(), list.RowAt(3));
    EXPECT_TRUE(list.MoveNext());
    EXPECT_TRUE(list.IsEnd());
    EXPECT_FALSE(list.MoveNext());
    EXPECT_TRUE(list.IsEnd());

    // Stale line numbers from a grid that is out of step with the list.
    EXPECT_EQ(list.RowAt(0), nullptr);
    EXPECT_EQ(list.RowAt(4), nullptr);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.MoveFirst();
    EXPECT_TRUE(list.IsEnd());
}
