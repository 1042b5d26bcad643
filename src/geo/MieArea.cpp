#include "MieArea.h"

#include "CCoordinatesConvert.h"

namespace velmora::geo {

bool IsWithinMie(double latitude, double longitude)
{
    return latitude >= MieBox.south && latitude <= MieBox.north && longitude >= MieBox.west && longitude <= MieBox.east;
}

bool IsJobSiteWithinMie(double x, double y)
{
    double latitude = 0;
    double longitude = 0;
    CCoordinatesConvert().PlaneToLatLon(x, y, latitude, longitude);
    return IsWithinMie(latitude, longitude);
}

} // namespace velmora::geo
