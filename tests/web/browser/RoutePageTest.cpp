#include "BrowserTesting.h"
#include "support/LocalWebServer.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/WebBrowser.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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

    // The deployment's page on the stand-in; `stubQuery` holds the stand-in's options.
    void load(const QString& stubQuery = QString(), const QString& key = QStringLiteral("TESTKEY"))
    {
        QString address = server->url(QStringLiteral("test/route-google.html?key=")) + key;
        if (!stubQuery.isEmpty())
            address += QLatin1Char('&') + stubQuery;
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
    QString routeError() { return CBrowserInterfaceOperate(&browser).GetInputValue(QStringLiteral("routeError")); }

    // Hands `request` to the matrix call as the program does and waits for the answer.
    QString matrix(const QString& request)
    {
        CBrowserInterfaceOperate page(&browser);
        page.SetInputValue(QStringLiteral("matrixIn"), request);
        browser.Navigate(QStringLiteral("javascript:calcMatrix()"));
        QString answer;
        EXPECT_TRUE(WaitUntil([&] { return !(answer = page.GetInputValue(QStringLiteral("matrixOut"))).isEmpty(); }));
        return answer;
    }

    static LocalWebServer* server;
    WebBrowser browser;
};

LocalWebServer* RoutePage::server = nullptr;

// The lines of test/route-checks.html's results that are not "ok ...", or a
// line saying why there are none to read.
QStringList FailedChecks(const QString& results)
{
    QStringList lines = results.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() < 10)
        return {QStringLiteral("too few checks reported: ") + results.left(500)};
    lines.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("ok ")); });
    return lines;
}

} // namespace

TEST_F(RoutePage, SentCoordinatesGiveTheRoadDistanceInKilometres)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.key")).toString(), QStringLiteral("TESTKEY"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.callback")).toString(), QStringLiteral("initMap"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.loading")).toString(), QStringLiteral("async"));

    // Tsu to Yokkaichi: 28.15 km as the crow flies, 1.25 times that by road.
    send(QStringLiteral("34.730283"), QStringLiteral("136.508588"), QStringLiteral("34.965"), QStringLiteral("136.624"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    EXPECT_EQ(total(), QStringLiteral("35.2km"));
    EXPECT_EQ(eval(QStringLiteral("JSON.stringify(mapsStub.routeRequests[0].origin)")).toString(),
              QStringLiteral("{\"lat\":34.730283,\"lng\":136.508588}"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.routeRequests[0].travelMode")).toString(), QStringLiteral("DRIVING"));
    // Only what the page uses: the length, and the path it draws.
    EXPECT_EQ(eval(QStringLiteral("JSON.stringify(mapsStub.routeRequests[0].fields)")).toString(),
              QStringLiteral("[\"distanceMeters\",\"path\"]"));
    EXPECT_TRUE(eval(QStringLiteral("mapsStub.polylines.length === 1 && mapsStub.polylines[0].map === mapsStub.map")).toBool());

    // The next route replaces the drawn one on the same map.
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("mapsStub.polylines.length")).toInt() == 2; }));
    EXPECT_TRUE(eval(QStringLiteral("mapsStub.polylines[0].map === null && mapsStub.polylines[1].map === mapsStub.map")).toBool());
    EXPECT_EQ(eval(QStringLiteral("mapsStub.maps")).toInt(), 1);
}

TEST_F(RoutePage, ARouteAskedForWhileTheMapLoadsFollowsOnceItHasLoaded)
{
    load(QStringLiteral("load=600"));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    EXPECT_TRUE(total().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.routeRequests.length")).toInt(), 1);
}

TEST_F(RoutePage, NoRouteLeavesTheDistanceEmptyAndSaysWhy)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("0"), QStringLiteral("136.51"));
    EXPECT_TRUE(total().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return !routeError().isEmpty(); }));
    EXPECT_TRUE(total().isEmpty());
    EXPECT_EQ(routeError(), QStringLiteral("道路なし：ルートが見つかりません"));
    EXPECT_EQ(eval(QStringLiteral("document.getElementById('status').textContent")).toString(), routeError());
}

// Under a refused key, the quota or a broken connection the page names the
// cause and gives no distance, for a route as for the matrix.
TEST_F(RoutePage, KeyQuotaAndNetworkFailuresAreNamed)
{
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("reject=key"), QStringLiteral("API キーが拒否されました")},
        {QStringLiteral("quota=1"), QStringLiteral("利用上限")},
        {QStringLiteral("network=1"), QStringLiteral("接続できません")},
    };
    for (const auto& [query, reason] : cases) {
        load(query);
        ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
        send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
        ASSERT_TRUE(WaitUntil([&] { return !routeError().isEmpty(); })) << query.toStdString();
        EXPECT_TRUE(routeError().contains(reason)) << routeError().toStdString();
        EXPECT_TRUE(total().isEmpty());
        const QString answer = matrix(QStringLiteral("{\"origin\":{\"lat\":34.73,\"lng\":136.51},"
                                                     "\"destinations\":[{\"lat\":34.8,\"lng\":136.51}]}"));
        EXPECT_TRUE(answer.startsWith(QStringLiteral("{\"ok\":false,\"error\":\""))) << answer.toStdString();
        EXPECT_TRUE(answer.contains(reason)) << answer.toStdString();
    }
}

TEST_F(RoutePage, ClicksAddViaPointsOnlyWhileHandIsTicked)
{
    load();
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("!!window.mapsStub && !!window.mapsStub.map")).toBool(); }));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return !total().isEmpty(); }));
    const QString direct = total();
    eval(QStringLiteral("mapsStub.click(34.75, 136.60); true"));
    Settle(100);
    EXPECT_EQ(eval(QStringLiteral("mapsStub.routeRequests.length")).toInt(), 1);

    CBrowserInterfaceOperate(&browser).SetChecked(QStringLiteral("hand"), true);
    eval(QStringLiteral("mapsStub.click(34.75, 136.60); true"));
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("mapsStub.routeRequests.length")).toInt() == 2 && !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("JSON.stringify(mapsStub.routeRequests[1].intermediates)")).toString(),
              QStringLiteral("[{\"lat\":34.75,\"lng\":136.6}]"));
    EXPECT_NE(total(), direct);

    // A send clears "hand": the route starts afresh without via points.
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("mapsStub.routeRequests.length")).toInt() == 3 && !total().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.routeRequests[2].intermediates.length")).toInt(), 0);
    EXPECT_EQ(total(), direct);
}

// Many sites in one request: the length of every route or why there is none,
// in the order asked; the field mask the real API insists on is sent.
TEST_F(RoutePage, TheMatrixCallAnswersEverySite)
{
    load();
    const QString answer = matrix(QStringLiteral("{\"origin\":{\"lat\":34.730283,\"lng\":136.508588},\"destinations\":["
                                                 "{\"lat\":34.965,\"lng\":136.624},{\"lat\":0,\"lng\":136.5},"
                                                 "{\"lat\":34.80,\"lng\":136.51}]}"));
    EXPECT_EQ(answer, QStringLiteral("{\"ok\":true,\"results\":[{\"km\":35.2},{\"error\":\"ROUTE_NOT_FOUND\",\"kind\":\"noRoute\","
                                     "\"reason\":\"道路なし：ルートが見つかりません\"},{\"km\":9.7}]}"));
    EXPECT_EQ(eval(QStringLiteral("JSON.stringify(mapsStub.matrixRequests[0].fields)")).toString(),
              QStringLiteral("[\"distanceMeters\",\"condition\",\"error\"]"));
    EXPECT_EQ(eval(QStringLiteral("mapsStub.matrixRequests[0].origins.length")).toInt(), 1);

    // Like the real API, the stand-in refuses a request without a field mask.
    eval(QStringLiteral("window.unmasked = ''; google.maps.importLibrary('routes').then(function (l) {"
                        "  return l.RouteMatrix.computeRouteMatrix({origins: [{lat: 34.7, lng: 136.5}],"
                        "                                           destinations: [{lat: 34.8, lng: 136.5}]}); })"
                        ".then(function () { unmasked = 'answered'; }, function () { unmasked = 'refused'; }); true"));
    ASSERT_TRUE(WaitUntil([&] { return !eval(QStringLiteral("unmasked")).toString().isEmpty(); }));
    EXPECT_EQ(eval(QStringLiteral("unmasked")).toString(), QStringLiteral("refused"));
}

TEST_F(RoutePage, WithoutAKeyThePageSaysSoAndLoadsNoScript)
{
    browser.Navigate(server->url(QStringLiteral("maps/route-google.html")));
    ASSERT_TRUE(browser.WaitForDocument(15000));
    EXPECT_TRUE(eval(QStringLiteral("document.getElementById('status').textContent")).toString().contains(QStringLiteral("API キー")));
    send(QStringLiteral("34.73"), QStringLiteral("136.51"), QStringLiteral("34.80"), QStringLiteral("136.51"));
    EXPECT_TRUE(routeError().contains(QStringLiteral("API キー")));
    EXPECT_TRUE(total().isEmpty());
    EXPECT_FALSE(eval(QStringLiteral("!!window.google")).toBool());
}

// The checks the route page shares between browsers (load failures, error
// classes, per-site errors and the retry, via points, foreign scripts, the
// stand-in's strictness), here in the engine the program embeds.
TEST_F(RoutePage, SharedChecksPassInTheEmbeddedEngine)
{
    browser.Navigate(server->url(QStringLiteral("test/route-checks.html")));
    ASSERT_TRUE(browser.WaitForDocument(15000));
    ASSERT_TRUE(WaitUntil([&] { return eval(QStringLiteral("document.body.getAttribute('data-done')")).toString() == u"1"; },
                          30000));
    const QStringList failed = FailedChecks(eval(QStringLiteral("document.getElementById('results').textContent")).toString());
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char('\n')).toStdString();
}

// The same checks in the current Chromium of the system: Google supports only
// the latest browsers, and the page must not rely on the embedded engine's age.
// Headless Chromium runs the page's timers on virtual time, so the run takes
// seconds; its DOM is read once the time budget has passed.
TEST_F(RoutePage, SharedChecksPassInCurrentChromium)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    ASSERT_FALSE(chromium.isEmpty()) << "chromium is missing: scripts/install-deps installs it";
    QTemporaryDir profile;
    ASSERT_TRUE(profile.isValid());
    QProcess process;
    process.setProgram(chromium);
    process.setArguments({QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                          QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profile.path(),
                          QStringLiteral("--virtual-time-budget=60000"), QStringLiteral("--dump-dom"),
                          server->url(QStringLiteral("test/route-checks.html"))});
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    // The server answers on its own thread; this one only waits.
    if (!process.waitForFinished(90000)) {
        process.kill();
        process.waitForFinished(5000);
        FAIL() << "chromium did not finish within 90 s";
    }
    const QString dom = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch results =
        QRegularExpression(QStringLiteral("<body data-done=\"1\">\\s*<pre id=\"results\">([^<]*)</pre>")).match(dom);
    ASSERT_TRUE(results.hasMatch()) << "the checks did not end: " << dom.left(2000).toStdString()
                                    << QString::fromUtf8(process.readAllStandardError()).right(1000).toStdString();
    QString text = results.captured(1);
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    const QStringList failed = FailedChecks(text);
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char('\n')).toStdString();
}
