#pragma once

#include <QString>
#include <QStringList>
#include <array>

class CDisplayCalcResultData;

namespace velmora::calc {

constexpr int ResultColumnCount = 15;

// The headers of the fifteen result columns as the grid stores them, line
// breaks ("\r\n") included; column 0 (the position) has none.
const std::array<QString, ResultColumnCount>& ResultHeaderTexts();

// The fifteen cell texts of one result row, exactly as the grid writes them:
// the position from 1, distances as number text, yen as integer text, and
// the total and rank cells empty when 0. Shared by the grid and the
// command-line calculator so both always show the same figures.
QStringList ResultRowTexts(const CDisplayCalcResultData& row, int position);

} // namespace velmora::calc
