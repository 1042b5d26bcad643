#pragma once

#include "CDisplayCalcResultData.h"

#include <QString>

namespace velmora::calc {

// A road cannot be shorter than the straight line between its ends. Both
// distances are rounded to 0.1 km before they are compared, so a road
// distance up to 0.1 km below the straight one is taken as it is; anything
// shorter is a wrong site, a wrong job site or a typing slip.
bool ShorterThanStraight(double distanceKm, double straightKm);
// The row's transport distance (road or typed) is such a distance.
bool ShorterThanStraight(const CDisplayCalcResultData& row);

// The mark set beside such a distance wherever a row is shown, and its words.
QString ShorterThanStraightMark();
QString ShorterThanStraightLegend();
// The tip of a marked cell, naming both distances of the row.
QString ShorterThanStraightHint(const CDisplayCalcResultData& row);
// The question asked before a typed distance this short is taken.
QString ShorterThanStraightQuestion(const QString& siteName, double distanceKm, double straightKm);

} // namespace velmora::calc
