#pragma once

#include <QList>
#include <QString>

#include <optional>

// The exchange with the route page's matrix call: one job site, many
// disposal sites, the road distance to each of them or why there is none.
// Both directions are JSON texts in input elements of the page, so no value
// ever becomes script text.
namespace velmora::web {

// The most destinations one request may name (one origin times 625).
constexpr int MaxMatrixDestinations = 625;

struct LatLon
{
    double latitude = 0;
    double longitude = 0;
};

// {"origin": {"lat":…, "lng":…}, "destinations": [{"lat":…, "lng":…}, …]}
QString MatrixRequestText(const LatLon& origin, const QList<LatLon>& destinations);

struct MatrixAnswer
{
    // False when the whole request failed; `error` then says why.
    bool ok = false;
    QString error;
    // One entry per destination, in request order: kilometres, or empty
    // when that site has no route (its reason in `siteErrors`).
    QList<std::optional<double>> km;
    QStringList siteErrors;
};

// Reads the page's answer to a request for `destinations` sites. An answer
// that is not of that shape (another count, a negative or non-finite
// distance) is a failed request, never partly taken.
MatrixAnswer ParseMatrixAnswer(const QString& text, int destinations);

} // namespace velmora::web
