#pragma once

#include "data/Decimal.h"

#include <QString>

namespace velmora::calc {

// A distance as the result grid shows it: its number text (FloatToStr) read
// as an exact decimal. Every comparison of a distance with a limit uses this,
// never the double: a straight distance rounded to 0.3 km is
// 3 × 0.1 = 0.30000000000000004, and it must be priced in the band that ends
// at "0.3", as the estimator reads it in the grid. velmora::Error for a
// distance that is not a finite number.
data::Decimal ShownDistance(double km);

// The longest transport distance taken at all, typed, read from the route
// page or opened from a case file. Beyond the sites' 60 km a distance still
// stands (its row is listed without a price or rank); far beyond any road
// across the prefecture it can only be a slip of the keyboard or a page gone
// wrong.
constexpr int MaxTransportDistanceKm = 1000;
// The estimator's words for that range.
QString TransportDistanceRangeText();

// The distance as shown lies beyond `limitKm`.
bool ShownDistanceBeyond(double km, int limitKm);
// The distance as shown lies from 0 to `limitKm`, both included: what may be
// typed as a transport distance.
bool ShownDistanceWithin(double km, int limitKm);

} // namespace velmora::calc
