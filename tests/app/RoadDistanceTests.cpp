#include "app/WebWindowFixture.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "ui/ResultGrid.h"
#include "web/browser/CBrowserInterfaceOperate.h"


using namespace velmora::test;
using velmora::platform::MessageAnswer;
using velmora::ui::ResultGrid;

namespace {

// Road distances that belong to the right job site and disposal site, from
// either route page, one site at a time or all at once.
class RoadDistance : public WebWindow
{
protected:
    // Definitions that also name the route page's matrix call.
    static QString WithMatrixCall(QString text)
    {
        text.replace(QStringLiteral("calcRoute=javascript:calcRoute()\n"),
                     QStringLiteral("calcRoute=javascript:calcRoute()\ncalcMatrix=javascript:calcMatrix()\n"));
        return text;
    }

    // Definitions for the Google route page on the stand-in of the API.
    static QString GooglePage(const QString& stubQuery)
    {
        QString text = StandInWebDataDefText(server->host(), QString());
        text.replace(QStringLiteral("/maps/route.html"), QStringLiteral("/test/route-google.html?key=TESTKEY&") + stubQuery);
        return text;
    }

    TMainForm& startCalculatedWith(const QString& definitions)
    {
        writeDefinitions(definitions);
        TMainForm& f = startShown();
        EXPECT_TRUE(WaitUntil([&] { return route()->ReadyState() == 4 && !route()->Busy(); }, 15000));
        calculateAt(tsuX(), tsuY());
        EXPECT_GT(f.StringGrid->RowCount(), 4);
        boxes.records.clear();
        return f;
    }

    static QString latitudeOf(const QString& x, const QString& y)
    {
        double lat = 0, lon = 0;
        CCoordinatesConvert().PlaneToLatLon(StrToFloat(x), StrToFloat(y), lat, lon);
        return FloatToStr(lat);
    }

    // Runs the cheapest-site search for the top `n` and answers Yes.
    void search(TMainForm& f, int n)
    {
        f.EditGetLowest->setText(QString::number(n));
        boxes.answers.push_back(MessageAnswer::Yes);
        f.BitBtnGetLowestClick();
    }

    QString text(size_t i) const { return i < boxes.records.size() ? boxes.records[i].text : QString(); }
};

} // namespace

// The route starts where the shown calculation was made; a new calculation
// forgets what was sent for the one before.
TEST_F(RoadDistance, TheRouteBelongsToTheShownCalculation)
{
    TMainForm& f = startCalculated(QStringLiteral("km=9.5&delay=50"));
    ASSERT_TRUE(f.ShownJobSite().has_value());
    EXPECT_EQ(f.ShownJobSite()->x(), StrToFloat(tsuX()));
    f.StringGrid->SetCurrentCell(1, 2);
    const QString site = f.StringGrid->Cell(1, 2);

    // The estimator types another X but does not calculate again.
    f.EditX->setText(QStringLiteral("-120000"));
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    EXPECT_EQ(CBrowserInterfaceOperate(route()).GetInputValue(QStringLiteral("stLat")), latitudeOf(tsuX(), tsuY()));
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_EQ(distanceOf(site), 9.5);
    EXPECT_EQ(f.StringGrid->DistanceMark(f.selectedRow), QStringLiteral("＊"));

    // A new calculation between the send and the fetch: nothing is stored.
    f.StringGrid->SetCurrentCell(1, 3);
    const QString other = f.StringGrid->Cell(1, 3);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    calculateAt(tsuX(), tsuY());
    boxes.records.clear();
    EXPECT_FALSE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("距離の取得に失敗"));
    EXPECT_EQ(distanceOf(other), 0);
}

// A length no road in reach can have, and a length in another unit that
// would be read as kilometres: both are refused and said so.
TEST_F(RoadDistance, AnImpossibleLengthOrOneNotInKmIsRefused)
{
    const QList<std::pair<QString, QString>> answers = {
        {QStringLiteral("1000.1km"), QStringLiteral("1000kmを超える")},
        {QStringLiteral("850m"), QStringLiteral("km 単位ではない")},
        {QStringLiteral("5"), QStringLiteral("km 単位ではない")},
    };
    for (const auto& [answer, reason] : answers) {
        TMainForm& f = startCalculated(QStringLiteral("answer=") + answer + QStringLiteral("&delay=50"));
        f.StringGrid->SetCurrentCell(1, 2);
        const QString site = f.StringGrid->Cell(1, 2);
        ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
        EXPECT_FALSE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
        ASSERT_EQ(boxes.records.size(), 1u) << answer.toStdString();
        EXPECT_EQ(caption(0), QStringLiteral("距離の取得に失敗"));
        EXPECT_TRUE(text(0).contains(reason)) << text(0).toStdString();
        EXPECT_EQ(distanceOf(site), 0) << answer.toStdString();
        EXPECT_EQ(f.StringGrid->Cell(ResultGrid::DistanceColumn, f.selectedRow), QStringLiteral("0"));
    }
}

// Beyond 60 km by road the site keeps its road distance, unranked, and the
// search counts it as done: every site is asked once and named at the end.
TEST_F(RoadDistance, ARoadDistanceBeyondSixtyKmIsKeptUnrankedAndTheSearchNamesIt)
{
    TMainForm& f = startCalculated(QStringLiteral("km=61&delay=50"));
    f.StringGrid->SetCurrentCell(1, 1);
    const QString site = f.StringGrid->Cell(1, 1);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].icon, velmora::platform::MessageIcon::Information);
    EXPECT_TRUE(text(0).contains(QStringLiteral("61km は60kmを超える"))) << text(0).toStdString();
    const CDisplayCalcResultData* row = f.resultList->FindByName(site);
    EXPECT_EQ(row->GetTransportDistance(), 61.0);
    EXPECT_EQ(row->GetTotal(), 0);
    EXPECT_EQ(row->GetRank(), 0);
    EXPECT_EQ(row->GetBandText(), QStringLiteral("上限値を超えています"));
    EXPECT_EQ(row->GetDistanceReadOn(), QDate::currentDate());

    // One site after another: each is fetched once, the search ends complete.
    boxes.records.clear();
    const int rows = f.resultList->Count();
    search(f, 1);
    ASSERT_EQ(boxes.records.size(), 2u) << text(1).toStdString();
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    EXPECT_EQ(text(1).count(QStringLiteral("km は60kmを超えるため順位を付けていません")), rows - 1) << text(1).toStdString();
    EXPECT_FALSE(text(1).contains(QStringLiteral("・") + site + QStringLiteral("：")));
    for (int n = 1; n <= rows; ++n)
        EXPECT_EQ(f.resultList->RowAt(n)->GetTransportDistance(), 61.0) << n;
}

TEST_F(RoadDistance, TheMatrixSearchKeepsARoadDistanceBeyondSixtyKmAndAsksNoMore)
{
    TMainForm& f = startCalculatedWith(WithMatrixCall(StandInWebDataDefText(server->host(), QStringLiteral("km=61&delay=50"))));
    const QString first = f.StringGrid->Cell(1, 1);
    search(f, 3);
    ASSERT_EQ(boxes.records.size(), 2u) << text(1).toStdString();
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    EXPECT_TRUE(text(1).contains(QStringLiteral("・") + first + QStringLiteral("：道のり距離 61km は60kmを超えるため順位を付けていません")))
        << text(1).toStdString();
    EXPECT_EQ(eval(route(), QStringLiteral("matrixCount")).toInt(), 1);
    EXPECT_EQ(distanceOf(first), 61.0);
    EXPECT_EQ(f.resultList->FindByName(first)->GetRank(), 0);
}

// No server behind the route page when the window came up: the next send
// loads it again instead of failing on the error page.
TEST_F(RoadDistance, ARoutePageThatFailedToLoadIsLoadedAgainAtTheNextSend)
{
    quint16 port = 0;
    {
        LocalWebServer probe;
        port = probe.port();
    }
    QString definitions = StandInWebDataDefText(server->host(), QStringLiteral("km=8.4&delay=50"));
    definitions.replace(server->host() + QStringLiteral("/maps/"), QStringLiteral("127.0.0.1:%1/maps/").arg(port));
    TMainForm& f = startCalculatedWith(definitions);
    ASSERT_FALSE(CBrowserInterfaceOperate(route()).HasInput(QStringLiteral("hand")));

    LocalWebServer late(LocalWebServer::StandInPagesDir(), port);
    ASSERT_TRUE(late.isListening());
    f.StringGrid->SetCurrentCell(1, 1);
    const QString site = f.StringGrid->Cell(1, 1);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_TRUE(boxes.records.empty()) << caption(0).toStdString();
    EXPECT_EQ(distanceOf(site), 8.4);
}

// The Google route page says why it has no route, and the warning passes it on.
TEST_F(RoadDistance, TheWarningSaysWhyTheGooglePageHasNoRoute)
{
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("reject=key"), QStringLiteral("API キーが拒否されました")},
        {QStringLiteral("quota=1"), QStringLiteral("利用上限")},
        {QStringLiteral("network=1"), QStringLiteral("接続できません")},
    };
    for (const auto& [query, reason] : cases) {
        TMainForm& f = startCalculatedWith(GooglePage(query));
        f.StringGrid->SetCurrentCell(1, 1);
        ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo)) << query.toStdString();
        EXPECT_FALSE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
        ASSERT_EQ(boxes.records.size(), 1u) << query.toStdString();
        EXPECT_EQ(caption(0), QStringLiteral("距離の計算に失敗"));
        EXPECT_TRUE(text(0).startsWith(QStringLiteral("距離の計算に失敗しました。\r\n（"))) << text(0).toStdString();
        EXPECT_TRUE(text(0).contains(reason)) << text(0).toStdString();
        EXPECT_TRUE(CBrowserInterfaceOperate(route()).GetInputValue(QStringLiteral("totaldaze")).isEmpty());
    }
}

// With the matrix call named, the search asks for every site in one request
// and ends with the top rows on road distances from the route page.
TEST_F(RoadDistance, TheSearchAsksForAllSitesAtOnceWhenTheMatrixCallIsNamed)
{
    TMainForm& f = startCalculatedWith(WithMatrixCall(GooglePage(QStringLiteral("delay=50"))));
    search(f, 5);
    ASSERT_EQ(boxes.records.size(), 2u) << caption(1).toStdString();
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    EXPECT_TRUE(text(1).startsWith(QStringLiteral("計算が完了しました。\r\n所要時間：")));
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    int previousTotal = 0;
    for (int n = 1; n <= 5; ++n) {
        const CDisplayCalcResultData* row = f.resultList->RowAt(n);
        EXPECT_GT(row->GetTransportDistance(), 0) << n;
        EXPECT_EQ(row->GetDistanceSource(), CDisplayCalcResultData::DistanceSource::RoutePage) << n;
        EXPECT_GE(row->GetTotal(), previousTotal) << n;
        previousTotal = row->GetTotal();
    }
    // One request for the whole table, no single routes, a field mask sent.
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.matrixRequests.length")).toInt(), 1);
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.matrixRequests[0].destinations.length")).toInt(),
              f.resultList->Count());
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.routeRequests.length")).toInt(), 0);
    EXPECT_NEAR(eval(route(), QStringLiteral("mapsStub.matrixRequests[0].origins[0].lat")).toDouble(),
                StrToFloat(latitudeOf(tsuX(), tsuY())), 1e-12);
}

// A site whose road distance fails for a moment is asked for once more by the
// page, and the search gets its distance like any other.
TEST_F(RoadDistance, ASiteWithAPassingErrorGetsItsDistanceOnTheRetry)
{
    TMainForm& f = startCalculatedWith(WithMatrixCall(GooglePage(QStringLiteral("flaky=1&delay=50"))));
    const QString first = f.StringGrid->Cell(1, 1);
    search(f, 3);
    ASSERT_EQ(boxes.records.size(), 2u) << text(1).toStdString();
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.matrixRequests.map(function (r) { return r.destinations.length; })"
                                           ".slice(1).join()")).toString(),
              QStringLiteral("1"));
    EXPECT_GT(distanceOf(first), 0);
}

// Every route refused: three failed top rows end the search as they do one
// site at a time, after a single request.
TEST_F(RoadDistance, AMatrixSearchWithoutAnyRouteEndsWithTheFailureMessage)
{
    TMainForm& f = startCalculatedWith(WithMatrixCall(StandInWebDataDefText(server->host(), QStringLiteral("fail=all&delay=50"))));
    search(f, 5);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算失敗"));
    EXPECT_EQ(eval(route(), QStringLiteral("matrixCount")).toInt(), 1);
    EXPECT_EQ(eval(route(), QStringLiteral("calcCount")).toInt(), 0);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(f.resultList->RowAt(n)->GetTransportDistance(), 0) << n;
    EXPECT_TRUE(f.isEnabled());
}
