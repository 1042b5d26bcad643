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
