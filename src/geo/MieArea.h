#pragma once

// Whether a job site may lie in Mie prefecture. Zone VI of the plane
// coordinates also covers Kyoto, Osaka, Fukui, Shiga, Nara and Wakayama, so a
// mistyped or swapped coordinate still converts to a plausible place; a site
// outside the prefecture is worth a question before any figure is made.
namespace velmora::geo {

// A generous rectangle around the prefecture in latitude and longitude
// (GRS80 degrees, from CCoordinatesConvert): the prefecture itself spans about
// 33.72 to 35.26 N and 135.85 to 136.99 E; a margin of some 10 km on every
// side (5 km to the west, where Kyoto and Nara come close) keeps sites near
// the border from being questioned.
struct LatLonBox
{
    double south;
    double north;
    double west;
    double east;
};
constexpr LatLonBox MieBox{33.62, 35.36, 135.80, 137.10};

bool IsWithinMie(double latitude, double longitude);
// The same for plane coordinates of zone VI (x northing, y easting, metres).
bool IsJobSiteWithinMie(double x, double y);

} // namespace velmora::geo
