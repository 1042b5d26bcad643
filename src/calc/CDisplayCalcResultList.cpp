#include "CDisplayCalcResultList.h"

#include "data/Error.h"

#include <algorithm>

namespace {

using RowPtr = std::unique_ptr<CDisplayCalcResultData>;

// Sorting the row pointers made every comparison fetch two rows from all
// over memory; with thousands of sites that was a good part of a
// calculation. The keys are copied out in list order and sorted in one
// piece (stably, with the same comparisons), and the rows follow.
struct SortKey
{
    int total;
    double distance;
    std::size_t index;
};

bool closerThan(const SortKey& a, const SortKey& b)
{
    return a.distance < b.distance;
}

bool cheaperThan(const SortKey& a, const SortKey& b)
{
    if (a.total != b.total)
        return a.total < b.total;
    return closerThan(a, b);
}

SortKey keyOf(const RowPtr& row, std::size_t index)
{
    return {row->GetTotal(), row->GetConfirmedDistance(), index};
}

void appendInKeyOrder(std::vector<RowPtr>& from, const std::vector<SortKey>& keys, std::vector<RowPtr>& to)
{
    for (const SortKey& key : keys)
        to.push_back(std::move(from[key.index]));
}

} // namespace

void CDisplayCalcResultList::Clear()
{
    rows.clear();
    cursor = 0;
}

void CDisplayCalcResultList::Add(std::unique_ptr<CDisplayCalcResultData> row)
{
    rows.push_back(std::move(row));
}

void CDisplayCalcResultList::Assign(std::vector<std::unique_ptr<CDisplayCalcResultData>> newRows)
{
    rows = std::move(newRows);
    cursor = rows.size();
}

void CDisplayCalcResultList::MoveFirst()
{
    cursor = 0;
}

bool CDisplayCalcResultList::IsEnd() const
{
    return cursor >= rows.size();
}

bool CDisplayCalcResultList::MoveNext()
{
    if (IsEnd())
        return false;
    ++cursor;
    return true;
}

CDisplayCalcResultData& CDisplayCalcResultList::Current()
{
    if (IsEnd())
        throw velmora::Error(QStringLiteral("計算結果の行がありません。"));
    return *rows[cursor];
}

CDisplayCalcResultData* CDisplayCalcResultList::FindByName(const QString& name)
{
    for (MoveFirst(); !IsEnd(); MoveNext()) {
        if (rows[cursor]->GetSiteName() == name)
            return rows[cursor].get();
    }
    return nullptr;
}

CDisplayCalcResultData* CDisplayCalcResultList::RowAt(int n)
{
    if (n < 1 || n > Count()) {
        cursor = rows.size();
        return nullptr;
    }
    cursor = static_cast<std::size_t>(n - 1);
    return rows[cursor].get();
}

void CDisplayCalcResultList::SortByDistance()
{
    std::vector<SortKey> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys.push_back(keyOf(rows[i], i));
    std::stable_sort(keys.begin(), keys.end(), closerThan);
    std::vector<RowPtr> ordered;
    ordered.reserve(rows.size());
    appendInKeyOrder(rows, keys, ordered);
    rows = std::move(ordered);
}

void CDisplayCalcResultList::RankByTotal()
{
    std::vector<SortKey> priced;
    std::vector<SortKey> unpriced;
    for (std::size_t i = 0; i < rows.size(); ++i)
        (rows[i]->GetTotal() != 0 ? priced : unpriced).push_back(keyOf(rows[i], i));

    std::stable_sort(priced.begin(), priced.end(), cheaperThan);
    std::stable_sort(unpriced.begin(), unpriced.end(), closerThan);

    int rank = 0;
    for (const SortKey& key : priced)
        rows[key.index]->SetRank(++rank);

    std::vector<RowPtr> ordered;
    ordered.reserve(rows.size());
    appendInKeyOrder(rows, priced, ordered);
    appendInKeyOrder(rows, unpriced, ordered);
    rows = std::move(ordered);
    cursor = rows.size();
}
