#include "geo/CCoordinatesConvert.h"
#include "geo/MieArea.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kTolerance = 1e-9; // degrees

struct Point
{
    double x;
    double y;
    double latitude;
    double longitude;
};

TEST(CCoordinatesConvert, ReferencePointsOfZoneSix)
{
    const Point points[] = {
        {0, 0, 36.0, 136.0},
        {-100000, 0, 35.098608455, 136.000000000},
        {0, 50000, 35.998718011, 136.554590754},
        {-131000, 20000, 34.818953324, 136.218627709},
    };
    for (const Point& p : points) {
        CCoordinatesConvert convert;
        double lat = 0, lon = 0;
        convert.PlaneToLatLon(p.x, p.y, lat, lon);
        EXPECT_NEAR(lat, p.latitude, kTolerance) << p.x << "," << p.y;
        EXPECT_NEAR(lon, p.longitude, kTolerance) << p.x << "," << p.y;
    }
}

TEST(CCoordinatesConvert, OriginIsExact)
{
    CCoordinatesConvert convert;
    double lat = 1, lon = 1;
    convert.PlaneToLatLon(0, 0, lat, lon);
    EXPECT_EQ(lat, 36.0);
    EXPECT_EQ(lon, 136.0);
}

TEST(CCoordinatesConvert, MirroredEastingMirrorsLongitude)
{
    CCoordinatesConvert convert;
    double latE = 0, lonE = 0, latW = 0, lonW = 0;
    convert.PlaneToLatLon(0, 50000, latE, lonE);
    convert.PlaneToLatLon(0, -50000, latW, lonW);
    EXPECT_NEAR(latW, 35.998718011, kTolerance);
    EXPECT_NEAR(lonW, 135.445409246, kTolerance);
    EXPECT_NEAR(latW, latE, 1e-12);
    EXPECT_NEAR(lonE - 136.0, 136.0 - lonW, 1e-12);
}

TEST(CCoordinatesConvert, ReusedObjectAgreesWithFreshObjects)
{
    CCoordinatesConvert reused;
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    reused.PlaneToLatLon(-131000, 20000, lat1, lon1);
    reused.PlaneToLatLon(12345.6, -7890.1, lat2, lon2);

    double freshLat1 = 0, freshLon1 = 0, freshLat2 = 0, freshLon2 = 0;
    CCoordinatesConvert().PlaneToLatLon(-131000, 20000, freshLat1, freshLon1);
    CCoordinatesConvert().PlaneToLatLon(12345.6, -7890.1, freshLat2, freshLon2);
    EXPECT_EQ(lat1, freshLat1);
    EXPECT_EQ(lon1, freshLon1);
    EXPECT_EQ(lat2, freshLat2);
    EXPECT_EQ(lon2, freshLon2);
}

TEST(CCoordinatesConvert, FootpointIterationStopsByTheStepRule)
{
    CCoordinatesConvert convert;
    double lat = 0, lon = 0;
    // The first step from the origin parallel is about x / 6.36e6 rad; the
    // rule stops below 2^π × 1e-5 ≈ 8.825e-5 rad, i.e. about 560 m (2π × 1e-5
    // would already need a second step at 400 m).
    for (double x : {0.0, 100.0, -300.0, 500.0, -550.0}) {
        convert.PlaneToLatLon(x, 1000, lat, lon);
        EXPECT_EQ(convert.IterationCount(), 1) << x;
    }
    for (double x : {600.0, -600.0, 5000.0, -131000.0, 120000.0}) {
        convert.PlaneToLatLon(x, 1000, lat, lon);
        EXPECT_EQ(convert.IterationCount(), 2) << x;
    }
}

TEST(CCoordinatesConvert, NorthingAloneMovesAlongTheMeridian)
{
    // One metre along the meridian near 36° N is about 9.0e-6 degrees, and
    // latitude grows monotonically with the northing.
    CCoordinatesConvert convert;
    double previous = -90, lat = 0, lon = 0;
    for (double x = -200000; x <= 200000; x += 25000) {
        convert.PlaneToLatLon(x, 0, lat, lon);
        EXPECT_GT(lat, previous);
        EXPECT_NEAR(lon, 136.0, 1e-12);
        previous = lat;
    }
    double lat1 = 0;
    convert.PlaneToLatLon(1, 0, lat1, lon);
    EXPECT_NEAR(lat1 - 36.0, 9.0e-6, 0.1e-6);
}

TEST(CCoordinatesConvert, FarOutsideTheZoneStillConvergesOrStops)
{
    CCoordinatesConvert convert;
    double lat = 0, lon = 0;
    // Thousands of kilometres: meaningless but converged.
    for (double x : {1e6, -1e7, 3e7, 1e9}) {
        convert.PlaneToLatLon(x, 1000, lat, lon);
        EXPECT_LT(convert.IterationCount(), 10) << x;
        EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << x;
    }
    // A mistyped figure or a value that is not a number: the iteration is
    // cut off instead of running for ever.
    for (double x : {1e15, -1e300, std::nan(""), HUGE_VAL}) {
        convert.PlaneToLatLon(x, 1000, lat, lon);
        EXPECT_LE(convert.IterationCount(), CCoordinatesConvert::MaxIterations) << x;
    }
    convert.PlaneToLatLon(1e15, 0, lat, lon);
    EXPECT_EQ(convert.IterationCount(), CCoordinatesConvert::MaxIterations);
    // And the next ordinary conversion is unaffected.
    convert.PlaneToLatLon(-131000, 20000, lat, lon);
    EXPECT_NEAR(lat, 34.818953324, kTolerance);
    EXPECT_EQ(convert.IterationCount(), 2);
}

// Job sites in the prefecture pass; the rest of zone VI does not.
TEST(MieArea, PrefectureInsideRestOfTheZoneOutside)
{
    using velmora::geo::IsJobSiteWithinMie;
    EXPECT_TRUE(IsJobSiteWithinMie(-140000, 50000));  // Tsu
    EXPECT_TRUE(IsJobSiteWithinMie(-250000, 0));      // Kumano coast, the south end
    EXPECT_TRUE(IsJobSiteWithinMie(-80000, 45000));   // Inabe, the north end
    EXPECT_FALSE(IsJobSiteWithinMie(-145000, -46000)); // Osaka
    EXPECT_FALSE(IsJobSiteWithinMie(-110000, -25000)); // Kyoto
    EXPECT_FALSE(IsJobSiteWithinMie(57000, -110000));  // X and Y swapped: Fukui
}

} // namespace
