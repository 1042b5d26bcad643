#include "CCoordinatesConvert.h"

#include <cmath>

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

} // namespace

CCoordinatesConvert::CCoordinatesConvert()
    : semiMajorAxis(6378137.0)
    , inverseFlattening(298.257222101)
    , originLatitude(36.0)
    , originLongitude(136.0)
    , scaleFactor(0.9999)
{
}

void CCoordinatesConvert::ComputeConstants()
{
    const long double F = inverseFlattening;
    const long double e = std::sqrt(2 * F - 1) / F;
    const long double ePrime = std::sqrt(2 * F - 1) / (F - 1);
    e2 = e * e;
    ePrime2 = ePrime * ePrime;

    const long double e4 = e2 * e2;
    const long double e6 = e4 * e2;
    const long double e8 = e6 * e2;
    const long double e10 = e8 * e2;
    const long double e12 = e10 * e2;
    const long double e14 = e12 * e2;
    const long double e16 = e14 * e2;

    const long double A = 1 + 3.0L / 4 * e2 + 45.0L / 64 * e4 + 175.0L / 256 * e6 + 11025.0L / 16384 * e8
        + 43659.0L / 65536 * e10 + 693693.0L / 1048576 * e12 + 19324305.0L / 29360128 * e14
        + 4927697775.0L / 7516192768 * e16;
    const long double B = 3.0L / 4 * e2 + 15.0L / 16 * e4 + 525.0L / 512 * e6 + 2205.0L / 2048 * e8
        + 72765.0L / 65536 * e10 + 297297.0L / 262144 * e12 + 135270135.0L / 117440512 * e14
        + 547521975.0L / 469762048 * e16;
    const long double C = 15.0L / 64 * e4 + 105.0L / 256 * e6 + 2205.0L / 4096 * e8 + 10395.0L / 16384 * e10
        + 1486485.0L / 2097152 * e12 + 45090045.0L / 58720256 * e14 + 766530765.0L / 939524096 * e16;
    const long double D = 35.0L / 512 * e6 + 315.0L / 2048 * e8 + 31185.0L / 131072 * e10
        + 165165.0L / 524288 * e12 + 45090045.0L / 117440512 * e14 + 209053845.0L / 469762048 * e16;
    const long double E = 315.0L / 16384 * e8 + 3465.0L / 65536 * e10 + 99099.0L / 1048576 * e12
        + 4099095.0L / 29360128 * e14 + 348423075.0L / 1879048192 * e16;
    const long double Fp = 693.0L / 131072 * e10 + 9009.0L / 524288 * e12 + 4099095.0L / 117440512 * e14
        + 26801775.0L / 469762048 * e16;
    const long double G = 3003.0L / 2097152 * e12 + 315315.0L / 58720256 * e14 + 11486475.0L / 939524096 * e16;
    const long double H = 45045.0L / 117440512 * e14 + 765765.0L / 469762048 * e16;
    const long double I = 765765.0L / 7516192768 * e16;

    const long double k = semiMajorAxis * (1 - e2);
    arcTerms[0] = k * A;
    arcTerms[1] = -k * B / 2;
    arcTerms[2] = k * C / 4;
    arcTerms[3] = -k * D / 6;
    arcTerms[4] = k * E / 8;
    arcTerms[5] = -k * Fp / 10;
    arcTerms[6] = k * G / 12;
    arcTerms[7] = -k * H / 14;
    arcTerms[8] = k * I / 16;
}

long double CCoordinatesConvert::MeridianArc(long double phi) const
{
    long double arc = arcTerms[0] * phi;
    for (int j = 1; j <= 8; ++j)
        arc += arcTerms[j] * std::sin(2 * j * phi);
    return arc;
}

long double CCoordinatesConvert::FootpointLatitude()
{
    // Two to the power π, not 2π: the step size below which the footpoint
    // counts as found.
    const long double threshold = std::pow(2.0L, kPi) * 1e-5L;
    const long double a = semiMajorAxis;
    long double phi = phi0;
    currentArc = MeridianArc(phi0);
    iterations = 0;
    for (;;) {
        // A point anywhere on the earth needs a handful of steps. A mistyped
        // figure (a northing of 1e15 m, say) makes the steps wander for ever;
        // its angles mean nothing either way, but the program must not hang.
        if (iterations == MaxIterations)
            return phi;
        const long double s = std::sin(phi);
        const long double c = std::cos(phi);
        const long double w = std::sqrt(1 - e2 * s * s);
        const long double dm = currentArc - targetArc;
        const long double next = phi + 2 * dm * w * w * w / (3 * e2 * dm * s * c * w - 2 * a * (1 - e2));
        currentArc = MeridianArc(next);
        ++iterations;
        if (std::fabs(next - phi) < threshold)
            return next;
        phi = next;
    }
}

void CCoordinatesConvert::PlaneToLatLon(double xIn, double yIn, double& latitude, double& longitude)
{
    x = xIn;
    y = yIn;
    ComputeConstants();
    phi0 = originLatitude * kPi / 180;
    lambda0 = originLongitude * kPi / 180;
    const long double m0 = scaleFactor;

    targetArc = x / m0 + MeridianArc(phi0);
    footpoint = FootpointLatitude();

    const long double s = std::sin(footpoint);
    const long double c = std::cos(footpoint);
    primeVerticalRadius = semiMajorAxis / std::sqrt(1 - e2 * s * s);
    const long double n = primeVerticalRadius;
    const long double t = std::tan(footpoint);
    const long double t2 = t * t;
    const long double t4 = t2 * t2;
    const long double t6 = t4 * t2;
    const long double eta2 = ePrime2 * c * c;
    const long double eta4 = eta2 * eta2;
    const long double u = y / m0;
    const long double u2 = u * u;
    const long double n2 = n * n;

    const long double phi = footpoint
        - t * (1 + eta2) * u2 / (2 * n2)
        + t * (5 + 3 * t2 + 6 * eta2 - 6 * t2 * eta2 - 3 * eta4 - 9 * t2 * eta4) * u2 * u2 / (24 * n2 * n2)
        - t * (61 + 90 * t2 + 45 * t4 + 107 * eta2 - 162 * t2 * eta2 - 45 * t4 * eta2) * u2 * u2 * u2
            / (720 * n2 * n2 * n2)
        + t * (1385 + 3633 * t2 + 4095 * t4 + 1575 * t6) * u2 * u2 * u2 * u2 / (40320 * n2 * n2 * n2 * n2);

    const long double lambda = lambda0
        + u / (n * c)
        - (1 + 2 * t2 + eta2) * u * u2 / (6 * n * n2 * c)
        + (5 + 28 * t2 + 24 * t4 + 6 * eta2 + 8 * t2 * eta2) * u * u2 * u2 / (120 * n * n2 * n2 * c)
        - (61 + 662 * t2 + 1320 * t4 + 720 * t6) * u * u2 * u2 * u2 / (5040 * n * n2 * n2 * n2 * c);

    latitude = static_cast<double>(phi * 180 / kPi);
    longitude = static_cast<double>(lambda * 180 / kPi);
}
