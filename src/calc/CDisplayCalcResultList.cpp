#include "CDisplayCalcResultList.h"

#include "data/Error.h"

#include <algorithm>

namespace {

using RowPtr = std::unique_ptr<CDisplayCalcResultData>;

bool closerThan(const RowPtr& a, const RowPtr& b)
{
    return a->GetConfirmedDistance() < b->GetConfirmedDistance();
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
    std::stable_sort(rows.begin(), rows.end(), closerThan);
}

void CDisplayCalcResultList::RankByTotal()
{
    std::vector<RowPtr> priced;
    std::vector<RowPtr> unpriced;
    for (RowPtr& row : rows)
        (row->GetTotal() != 0 ? priced : unpriced).push_back(std::move(row));

    std::stable_sort(priced.begin(), priced.end(), [](const RowPtr& a, const RowPtr& b) {
        if (a->GetTotal() != b->GetTotal())
            return a->GetTotal() < b->GetTotal();
        return closerThan(a, b);
    });
    std::stable_sort(unpriced.begin(), unpriced.end(), closerThan);

    int rank = 0;
    for (RowPtr& row : priced)
        row->SetRank(++rank);

    rows = std::move(priced);
    for (RowPtr& row : unpriced)
        rows.push_back(std::move(row));
    cursor = rows.size();
}
