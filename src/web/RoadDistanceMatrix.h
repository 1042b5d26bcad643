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

// Why the route page gave no road distance, as the page names it
// ("routeErrorKind", and "kind" in the matrix answer). What the estimator or
// the program can do differs: a key or billing needs the office, the quota
// passes after a wait, a network or server error may pass at once, no road
// is final for that site.
enum class RouteFailureKind
{
    None,
    Key,
    Billing,
    Quota,
    Network,
    Server,
    NoRoute,
    Load,
    Request,
    Unknown,
};

// The kind named by the page's text; Unknown for anything else, None for "".
RouteFailureKind RouteFailureKindOf(const QString& text);
// A failure that may pass if the same request is made again (now or, for
// the quota, after a wait).
bool IsPassing(RouteFailureKind kind);

struct MatrixAnswer
{
    // False when the whole request failed; `error` then says why, `kind`
    // names the cause and `code` the service's status code when it gave one
    // ("RESOURCE_EXHAUSTED").
    bool ok = false;
    QString error;
    RouteFailureKind kind = RouteFailureKind::None;
    QString code;
    // One entry per destination, in request order: kilometres, or empty
    // when that site got none: its status code in `siteErrors`
    // ("ROUTE_NOT_FOUND", "UNAVAILABLE"), the cause in `siteKinds` and the
    // Japanese reason in `siteReasons` (all empty for a site with a distance).
    QList<std::optional<double>> km;
    QStringList siteErrors;
    QList<RouteFailureKind> siteKinds;
    QStringList siteReasons;
};

// Reads the page's answer to a request for `destinations` sites. An answer
// that is not of that shape (another count, a negative or non-finite
// distance) is a failed request, never partly taken.
MatrixAnswer ParseMatrixAnswer(const QString& text, int destinations);

// For the search's completion message: one line "・site：reason" per site of
// `siteNames` (in request order) that got no road distance, so that a site
// left out for an error is never left out silently.
QString SiteFailureLines(const QStringList& siteNames, const MatrixAnswer& answer);

} // namespace velmora::web
