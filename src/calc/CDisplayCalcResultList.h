#pragma once

#include "CDisplayCalcResultData.h"

#include <QString>
#include <memory>
#include <vector>

// The rows of one calculation in display order. The driver fills and orders
// it; the grid, the road-distance exchange and the cheapest-site search read
// and edit rows through it. Walking it, FindByName and RowAt share one cursor.
class CDisplayCalcResultList
{
public:
    CDisplayCalcResultList() = default;
    CDisplayCalcResultList(const CDisplayCalcResultList&) = delete;
    CDisplayCalcResultList& operator=(const CDisplayCalcResultList&) = delete;

    void Clear();
    void Add(std::unique_ptr<CDisplayCalcResultData> row);
    int Count() const { return static_cast<int>(rows.size()); }

    void MoveFirst();
    bool IsEnd() const;
    bool MoveNext();
    // Raises velmora::Error at the end rather than reading past the last row.
    CDisplayCalcResultData& Current();

    // The first row with exactly this name, or nullptr (cursor at the end).
    CDisplayCalcResultData* FindByName(const QString& name);
    // The n-th row counted from 1, or nullptr when n is out of range (cursor
    // at the end): a stale grid line number must never reach a freed row.
    CDisplayCalcResultData* RowAt(int n);

    // Stable, ascending by confirmed distance; ranks are left alone.
    void SortByDistance();
    // Rows with a total first, by total then distance, ranked 1, 2, 3 …;
    // then the rows without a total by distance, their ranks untouched.
    void RankByTotal();

    // Replaces every row at once (the driver builds a run's rows aside so a
    // failed run never leaves the table half rebuilt).
    void Assign(std::vector<std::unique_ptr<CDisplayCalcResultData>> newRows);

private:
    std::vector<std::unique_ptr<CDisplayCalcResultData>> rows;
    std::size_t cursor = 0;
};
