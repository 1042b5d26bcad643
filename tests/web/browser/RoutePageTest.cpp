#include "BrowserTesting.h"
#include "support/LocalWebServer.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/WebBrowser.h"

#include <gtest/gtest.h>

#include <QUrl>

#include <memory>

using velmora::test::LocalWebServer;
using velmora::test::Settle;
using velmora::test::WaitUntil;
using velmora::web::WebBrowser;

namespace {

// The deployment's route page on Google Maps, run against the stand-in of
// the API under deploy/web/test.
class RoutePage : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = new LocalWebServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    // A hidden page has its timers slowed down to a second; the estimator
    // looks at this page anyway.
    void SetUp() override
    {
        browser.resize(800, 600);
        browser.show();
    }

    void load(const QString& stubQuery = QString(), const QString& key = QStringLiteral("TESTKEY"))
    {
        QString api = QStringLiteral("/test/google-maps-stub.js");
        if (!stubQuery.isEmpty())
            api += QLatin1Char('?') + stubQuery;
        QString address = server->url(QStringLiteral("maps/route-google.html?key=")) + key;
        address += QStringLiteral("&api=") + QString::fromUtf8(QUrl::toPercentEncoding(api));
        browser.Navigate(address);
        ASSERT_TRUE(browser.WaitForDocument(15000));
    }

    QVariant eval(const QString& script)
    {
        const auto outcome = browser.EvaluateJavaScript(script, 5000);
        EXPECT_TRUE(outcome.finished) << script.toStdString();
        return outcome.value;
    }

    void send(const QString& stLat, const QString& stLng, const QString& edLat, const QString& edLng)
    {
        CBrowserInterfaceOperate page(&browser);
        page.SetChecked(QStringLiteral("hand"), false);
        page.SetInputValue(QStringLiteral("stLat"), stLat);
        page.SetInputValue(QStringLiteral("stLng"), stLng);
        page.SetInputValue(QStringLiteral("edLat"), edLat);
        page.SetInputValue(QStringLiteral("edLng"), edLng);
        browser.Navigate(QStringLiteral("javascript:calcRoute()"));
    }

    QString total() { return CBrowserInterfaceOperate(&browser).GetInputValue(QStringLiteral("totaldaze")); }

    static LocalWebServer* server;
    WebBrowser browser;
};

LocalWebServer* RoutePage::server = nullptr;

} // namespace

TEST_F(RoutePage, SentCoordinatesGiveTheRoadDistanceInKilometres)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.key")).toString(), QStringLiteral("TESTKEY"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.callback")).toString(), QStringLiteral("initMap"));

    // Tsu to Yokkaichi: 28.15 km as the crow flies, 1.25 times that by road.
    send(QStringLiteral("34.730283"), QStringLiteral("136.508588"), QStringLiteral("34.965"), QStringLiteral("136.624"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    const QString text = total();
    EXPECT_TRUE(text.endsWith(QStringLiteral("km")));
    EXPECT_EQ(text, QStringLiteral("35.2km"));
    EXPECT_EQ(eval(QStringLiteral("JSON.stringify(mapsStub.requests[0].origin)")).toString(),
              QStringLiteral("{\"lat\":34.730283,\"lng\":136.508588}"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.requests[0].travelMode")).toString(), QStringLiteral("DRIVING"));

    // Dragging the route changes the distance that is read.
    eval(QStringLiteral("mapsStub.drag([12000, 300]); true"));
    EXPECT_EQ(total(), QStringLiteral("12.3km"));
    eval(QStringLiteral("mapsStub.drag([7000]); true"));
    EXPECT_EQ(total(), QStringLiteral("7km"));
}

TEST_F(RoutePage, ARouteAskedForWhileTheMapLoadsFollowsOnceItHasLoaded)
{
    load(QStringLiteral("delay=600"));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    Settle(100);
    EXPECT_TRUE(total().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.requests.length")).toInt(), 1);
}

TEST_F(RoutePage, NoRouteLeavesTheDistanceEmptyAndANewSendClearsTheOld)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("0"), QStringLiteral("136.51"));
    EXPECT_TRUE(total().isEmpty());
    Settle(300);
    EXPECT_TRUE(total().isEmpty());
    EXPECT_EQ(eval(QStringLiteral("document.getElementById('status').textContent")).toString(),
              QStringLiteral("ルートが見つかりません（ZERO_RESULTS）"));
}

TEST_F(RoutePage, HandPlacedPointsAreUsedOnlyWhileHandIsTicked)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    CBrowserInterfaceOperate(&browser).SetChecked(QStringLiteral("hand"), true);
    eval(QStringLiteral("mapsStub.click(34.70, 136.50); mapsStub.click(34.71, 136.50); true"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.requests[0].destination.lat")).toDouble(), 34.71);

    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.90"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("mapsStub.requests.length")).toInt() == 2 && !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.requests[1].destination.lat")).toDouble(), 34.9);
}

TEST_F(RoutePage, WithoutAKeyThePageSaysSoAndLoadsNoScript)
{
    browser.Navigate(server->url(QStringLiteral("maps/route-google.html")));
    ASSERT_TRUE(browser.WaitForDocument(15000));
    Settle(200);
    EXPECT_TRUE(eval(QStringLiteral("document.getElementById('status').textContent")).toString().contains(QStringLiteral("API キー")));
    EXPECT_FALSE(eval(QStringLiteral("!!window.google")).toBool());
}
