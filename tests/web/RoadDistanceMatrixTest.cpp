#include "web/RoadDistanceMatrix.h"

#include <gtest/gtest.h>

using velmora::web::LatLon;
using velmora::web::MatrixAnswer;
using velmora::web::ParseMatrixAnswer;

TEST(RoadDistanceMatrix, RequestIsJsonAndOnlyAWellFormedAnswerIsTaken)
{
    EXPECT_EQ(velmora::web::MatrixRequestText(LatLon{34.5, 136.25}, {LatLon{35, 136.5}, LatLon{34.75, 136}}),
              QStringLiteral("{\"destinations\":[{\"lat\":35,\"lng\":136.5},{\"lat\":34.75,\"lng\":136}],"
                             "\"origin\":{\"lat\":34.5,\"lng\":136.25}}"));

    const MatrixAnswer good =
        ParseMatrixAnswer(QStringLiteral("{\"ok\":true,\"results\":[{\"km\":12.3},{\"error\":\"ROUTE_NOT_FOUND\"}]}"), 2);
    ASSERT_TRUE(good.ok);
    ASSERT_EQ(good.km.size(), 2);
    EXPECT_EQ(good.km.at(0), 12.3);
    EXPECT_FALSE(good.km.at(1).has_value());
    EXPECT_EQ(good.siteErrors.at(1), QStringLiteral("ROUTE_NOT_FOUND"));

    const MatrixAnswer refused = ParseMatrixAnswer(QStringLiteral("{\"ok\":false,\"error\":\"API キーが拒否されました\"}"), 1);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, QStringLiteral("API キーが拒否されました"));
    // Another count, a negative length or no JSON: the whole answer is refused.
    for (const QString& bad : {QStringLiteral("{\"ok\":true,\"results\":[{\"km\":1}]}"),
                               QStringLiteral("{\"ok\":true,\"results\":[{\"km\":1},{\"km\":-2}]}"), QStringLiteral("12.3km")})
        EXPECT_FALSE(ParseMatrixAnswer(bad, 2).ok) << bad.toStdString();
}

// What the window needs to act on a failure: the quota apart from the rest,
// a passing site error apart from no road, each site's reason for the report.
TEST(RoadDistanceMatrix, FailuresCarryTheirKindCodeAndReason)
{
    using velmora::web::RouteFailureKind;
    const MatrixAnswer quota = ParseMatrixAnswer(
        QStringLiteral("{\"ok\":false,\"error\":\"利用上限\",\"kind\":\"quota\",\"code\":\"RESOURCE_EXHAUSTED\"}"), 1);
    EXPECT_FALSE(quota.ok);
    EXPECT_EQ(quota.kind, RouteFailureKind::Quota);
    EXPECT_EQ(quota.code, QStringLiteral("RESOURCE_EXHAUSTED"));
    EXPECT_TRUE(velmora::web::IsPassing(quota.kind));
    // A failure that names no kind is still a failure of some kind.
    EXPECT_EQ(ParseMatrixAnswer(QStringLiteral("{\"ok\":false}"), 1).kind, RouteFailureKind::Unknown);

    const MatrixAnswer sites = ParseMatrixAnswer(
        QStringLiteral("{\"ok\":true,\"results\":[{\"km\":3},"
                       "{\"error\":\"UNAVAILABLE\",\"kind\":\"server\",\"reason\":\"一時的\"},"
                       "{\"error\":\"ROUTE_NOT_FOUND\",\"kind\":\"noRoute\",\"reason\":\"道路なし\"},"
                       "{\"error\":\"ROUTE_NOT_FOUND\"},{\"error\":\"INVALID_ARGUMENT\",\"kind\":\"odd\"}]}"),
        5);
    ASSERT_TRUE(sites.ok);
    EXPECT_EQ(sites.siteKinds,
              (QList<RouteFailureKind>{RouteFailureKind::None, RouteFailureKind::Server, RouteFailureKind::NoRoute,
                                       RouteFailureKind::NoRoute, RouteFailureKind::Unknown}));
    EXPECT_TRUE(velmora::web::IsPassing(sites.siteKinds.at(1)));
    EXPECT_FALSE(velmora::web::IsPassing(sites.siteKinds.at(2)));
    EXPECT_EQ(velmora::web::SiteFailureLines({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                              QStringLiteral("D"), QStringLiteral("E")},
                                             sites),
              QStringLiteral("・B：一時的\r\n・C：道路なし\r\n・D：ROUTE_NOT_FOUND\r\n・E：INVALID_ARGUMENT\r\n"));
}
