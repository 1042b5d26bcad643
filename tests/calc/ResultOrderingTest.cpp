// The result list sorts copied-out keys instead of the rows themselves; the
// order must be exactly what stable sorts of the rows give, ties included.

#include "calc/CDisplayCalcResultList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Plain
{
    int id;
    int total;
    double distance;
    int rank;
};

// Totals and distances from small sets, so that ties of both kinds abound.
std::vector<Plain> RandomRows(std::mt19937& rng, int count)
{
    std::uniform_int_distribution<int> total(0, 6);
    std::uniform_int_distribution<int> tenths(0, 8);
    std::vector<Plain> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({i, total(rng) * 1000, tenths(rng) * 0.1, 100 + i});
    return rows;
}

void Fill(CDisplayCalcResultList& list, const std::vector<Plain>& rows)
{
    list.Clear();
    for (const Plain& p : rows) {
        auto row = std::make_unique<CDisplayCalcResultData>();
        row->SetSiteName(QString::number(p.id));
        row->SetTotal(p.total);
        row->SetConfirmedDistance(p.distance);
        row->SetRank(p.rank);
        list.Add(std::move(row));
    }
}

std::vector<Plain> Read(CDisplayCalcResultList& list)
{
    std::vector<Plain> out;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext()) {
        const CDisplayCalcResultData& r = list.Current();
        out.push_back({r.GetSiteName().toInt(), r.GetTotal(), r.GetConfirmedDistance(), r.GetRank()});
    }
    return out;
}

bool Same(const std::vector<Plain>& a, const std::vector<Plain>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Plain& x, const Plain& y) {
        return x.id == y.id && x.rank == y.rank;
    });
}

TEST(ResultOrdering, RankByTotalMatchesStableSortsOfTheRows)
{
    std::mt19937 rng(5);
    CDisplayCalcResultList list;
    for (int round = 0; round < 200; ++round) {
        std::vector<Plain> rows = RandomRows(rng, 1 + round % 40);
        Fill(list, rows);
        list.RankByTotal();

        std::vector<Plain> priced, unpriced;
        for (const Plain& p : rows)
            (p.total != 0 ? priced : unpriced).push_back(p);
        std::stable_sort(priced.begin(), priced.end(), [](const Plain& a, const Plain& b) {
            return a.total != b.total ? a.total < b.total : a.distance < b.distance;
        });
        std::stable_sort(unpriced.begin(), unpriced.end(), [](const Plain& a, const Plain& b) { return a.distance < b.distance; });
        for (std::size_t i = 0; i < priced.size(); ++i)
            priced[i].rank = static_cast<int>(i + 1);
        priced.insert(priced.end(), unpriced.begin(), unpriced.end());
        ASSERT_TRUE(Same(Read(list), priced)) << round;

        // Then by distance, ranks untouched.
        std::vector<Plain> byDistance = priced;
        std::stable_sort(byDistance.begin(), byDistance.end(), [](const Plain& a, const Plain& b) { return a.distance < b.distance; });
        list.SortByDistance();
        ASSERT_TRUE(Same(Read(list), byDistance)) << round;
    }
}

} // namespace
