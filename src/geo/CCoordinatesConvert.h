#pragma once

// Plane-rectangular coordinates of zone VI (origin 36° N, 136° E, GRS80) to
// latitude and longitude by the inverse transverse Mercator series. One
// object serves one or two conversions; every conversion recomputes all of
// its working values, so no result depends on an earlier one.
class CCoordinatesConvert
{
public:
    CCoordinatesConvert();

    // x: northing, y: easting, in metres; latitude and longitude in degrees.
    void PlaneToLatLon(double x, double y, double& latitude, double& longitude);

    // Footpoint iterations of the last conversion: 1 near the origin's
    // parallel, 2 across the zone; never more than MaxIterations.
    int IterationCount() const { return iterations; }
    static constexpr int MaxIterations = 100;

private:
    void ComputeConstants();
    long double MeridianArc(long double phi) const;
    long double FootpointLatitude();

    // Input of the current conversion, metres.
    double x = 0;
    double y = 0;

    // Fixed parameters.
    double semiMajorAxis;
    double inverseFlattening;
    double originLatitude;  // degrees
    double originLongitude; // degrees
    double scaleFactor;

    // Working values of the last conversion.
    long double phi0 = 0;
    long double lambda0 = 0;
    long double e2 = 0;      // first eccentricity squared
    long double ePrime2 = 0; // second eccentricity squared
    long double arcTerms[9] = {};
    long double targetArc = 0;
    long double footpoint = 0;
    long double primeVerticalRadius = 0;
    long double currentArc = 0;
    int iterations = 0;
};
