#pragma once

#include "CDisplayCalcResultData.h"

#include <QString>
#include <QStringList>
#include <array>

namespace velmora::calc {

constexpr int ResultColumnCount = 15;

// The headers of the fifteen result columns as the grid stores them, line
// breaks ("\r\n") included; column 0 (the position) has none.
const std::array<QString, ResultColumnCount>& ResultHeaderTexts();

// Whether a fee unit is the cubic metre the transport cost is priced per
// ("m3", also written "m³", "㎥" or in full-width letters).
bool IsPerCubicMetre(const QString& feeUnit);

// The mark beside a fee unit other than m³: the total adds that fee to a
// transport cost per m³ as it stands.
QString UnitCautionText();

// The unit cell: the unit, followed by the mark when it is not m³.
QString FeeUnitText(const QString& feeUnit);

// The fifteen cell texts of one result row, exactly as the grid writes them:
// the position from 1, distances as number text, yen as integer text, and
// the total and rank cells empty when 0, the unit marked when it is not m³.
// Shared by the grid and the
// command-line calculator so both always show the same figures.
QStringList ResultRowTexts(const CDisplayCalcResultData& row, int position);

// Where a transport distance came from, the same in every output: the mark
// set beside the figure (grid, evidence sheet), the word a table file
// carries in a column of its own, and the legend of the mark. Empty for a
// row without a transport distance.
QString DistanceSourceMark(CDisplayCalcResultData::DistanceSource source);
QString DistanceSourceText(CDisplayCalcResultData::DistanceSource source);
QString DistanceSourceLegend(CDisplayCalcResultData::DistanceSource source);
// The attribution Google asks for wherever a road distance read from its
// route service is shown away from its map.
QString GoogleAttributionText(int year);
// Whether a row's transport distance lies beyond the sites' 60 km: kept,
// but priced by no table, so the row has no total and no rank.
bool BeyondReach(const CDisplayCalcResultData& row);
// What such a row's band text means, for legends and tips.
QString BeyondReachLegend();
// The header of that column in table files.
QString DistanceSourceHeader();

} // namespace velmora::calc
