#include "app/WebWindowFixture.h"
#include "app/PageControl.h"
#include "app/CheapestSiteSearch.h"
#include "app/TWaitCalcDialogForm.h"
#include "calc/CDisplayCalcResultList.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "support/LocalWebServer.h"
#include "support/StandInWebDataDef.h"
#include "web/browser/BrowserTesting.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/TBrowserPopupForm.h"
#include "web/browser/WebBrowser.h"
#include "ui/EvidenceSheet.h"
#include "ui/ResultExport.h"

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>
#include <QSet>
#include <QTabBar>
#include <QTimer>

using namespace velmora::test;
using velmora::platform::MessageAnswer;
using velmora::ui::ResultGrid;
using velmora::web::WebBrowser;


// ---- Capture from the map page ------------------------------------------

TEST_F(WebWindow, CaptureTakesBothValuesOnlyFromAMapPageWithNonZeroValues)
{
    TMainForm& f = startWeb();
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);
    EXPECT_EQ(route()->LocationURL(), url(QStringLiteral("maps/route.html?delay=50")));

    f.ButtonGetCoordClick();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("無効なページ"));

    open(QStringLiteral("mieclickmaps/map.html?x=-139512.35&y=44876.12"));
    f.EditX->clear();
    f.EditY->clear();
    f.ButtonGetCoordClick();
    EXPECT_EQ(f.EditX->text(), QStringLiteral("-139512.35"));
    EXPECT_EQ(f.EditY->text(), QStringLiteral("44876.12"));
    EXPECT_TRUE(f.ButtonCalc->isEnabled());

    // A zero leaves the fields as they were.
    CBrowserInterfaceOperate(bid()).SetInputValue(QStringLiteral("x2"), QStringLiteral("0"));
    f.ButtonGetCoordClick();
    EXPECT_EQ(caption(1), QStringLiteral("座標取得失敗"));
    EXPECT_EQ(f.EditX->text(), QStringLiteral("-139512.35"));
    EXPECT_EQ(f.EditY->text(), QStringLiteral("44876.12"));

    // A text that is no number ends the step with an error.
    CBrowserInterfaceOperate(bid()).SetInputValue(QStringLiteral("y2"), QStringLiteral("北"));
    EXPECT_THROW(f.ButtonGetCoordClick(), velmora::Error);
    EXPECT_EQ(f.EditX->text(), QStringLiteral("-139512.35"));
}

TEST_F(WebWindow, MapLinksOfCasePagesBecomeMieClickMapsPages)
{
    TMainForm& f = startWeb();
    const QString map = url(QStringLiteral("mieclickmaps/map.html"));

    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0101"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(map + QStringLiteral("?lat=34.718440&lon=136.505780")); }, 15000));
    EXPECT_EQ(f.mapKind, 0);
    EXPECT_EQ(f.popupBrowser(), nullptr);
    // The place arrives as plane coordinates of zone VI.
    f.ButtonGetCoordClick();
    EXPECT_EQ(f.EditX->text(), QStringLiteral("-142054.799"));
    EXPECT_EQ(f.EditY->text(), QStringLiteral("46324.91"));

    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0102"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(map + QStringLiteral("?x=-139512.35&y=44876.12")); }, 15000));
    EXPECT_EQ(f.mapKind, 1);

    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0105"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(map + QStringLiteral("?x=-155120.4&y=36290.8")); }, 15000));
    EXPECT_EQ(f.mapKind, 0);
    EXPECT_TRUE(boxes.records.empty());
}

// A job site captured from the map of a case page carries that case into
// the case file and the evidence sheet; a typed one carries none.
TEST_F(WebWindow, CaptureFromACaseMapNamesTheCaseInTheCaseFileAndTheSheet)
{
    TMainForm& f = startWeb();
    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0102"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(url(QStringLiteral("mieclickmaps/map.html?x=-139512.35&y=44876.12"))); }, 15000));
    ASSERT_TRUE(bid()->WaitForDocument(15000));
    QTest::mouseClick(f.ButtonGetCoord, Qt::LeftButton);
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    ASSERT_NE(f.resultList, nullptr);
    EXPECT_EQ(f.CurrentCase().bidCase.number, QStringLiteral("2026-0102"));
    EXPECT_EQ(f.CurrentCase().bidCase.name, QStringLiteral("一級河川 安濃川 護岸工事"));
    const QString sheet = velmora::ui::EvidenceSheet(f.resultExport->SheetData()).Html();
    EXPECT_TRUE(sheet.contains(QStringLiteral("2026-0102")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("一級河川 安濃川 護岸工事")));

    // Typed over, the job site is no longer the case's.
    f.EditY->setText(QStringLiteral("44000"));
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    EXPECT_TRUE(f.CurrentCase().bidCase.isEmpty());
    EXPECT_FALSE(velmora::ui::EvidenceSheet(f.resultExport->SheetData()).Html().contains(QStringLiteral("2026-0102")));
}

TEST_F(WebWindow, MapsWithoutAPositionFallBackWithTheMessageOfTheirKind)
{
    TMainForm& f = startWeb();
    const QString fallback = url(QStringLiteral("mieclickmaps/map.html"));

    // Straight to the fallback page before any map link: the first message.
    open(QStringLiteral("mieclickmaps/map.html"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("VelmoraPro"));
    EXPECT_TRUE(boxes.records[0].text.startsWith(QStringLiteral("有効な座標情報を取得できなかったため、\r\n")));
    EXPECT_TRUE(boxes.records[0].text.endsWith(QStringLiteral("三重県津市\u3000三重県庁に設定されました。")));
    EXPECT_EQ(boxes.records[0].icon, velmora::platform::MessageIcon::Information);

    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0103"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 2 && showsOnly(fallback); }, 15000));
    EXPECT_EQ(f.mapKind, 0);
    EXPECT_TRUE(boxes.records[1].text.startsWith(QStringLiteral("有効な座標情報を取得できなかったため")));

    open(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0104"));
    click(bid(), QStringLiteral("maplink"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 3 && showsOnly(fallback); }, 15000));
    EXPECT_EQ(f.mapKind, 2);
    EXPECT_EQ(boxes.records[2].text,
              QStringLiteral("国土地理院以外の地図が使用されていたため、\r\n工事現場を表示できませんでした。\r\n\r\n"
                             "ブラウザで開かれた地図の情報を元に\r\n手動で工事現場の場所を合わせた後、\r\n"
                             "”座標取得”ボタンをクリックし、座標を取得してください。\r\n\r\n\r\n"
                             "VelmoraProの地図のマーカー位置が、\r\n三重県庁\u3000に設定されました。"));

    // The fallback page is a map page: capture works on it.
    f.ButtonGetCoordClick();
    EXPECT_EQ(f.EditX->text(), QStringLiteral("-140739.805"));
}

// ---- Navigation checks of the bid-information browser -------------------

TEST_F(WebWindow, RefusedPagesAndWhatIsRemembered)
{
    TMainForm& f = startWeb();
    const QString home = url(QStringLiteral("nyusatsu/index.html"));
    EXPECT_EQ(f.lastNavigatedUrl, home);

    click(bid(), QStringLiteral("manual"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 1; }));
    EXPECT_EQ(boxes.records[0].text,
              QStringLiteral("本ツールで閲覧することは出来ません。\r\nInternetExplorer等のブラウザで閲覧してください。"));
    EXPECT_EQ(caption(0), QStringLiteral("警告"));

    click(bid(), QStringLiteral("attachment"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 2; }));
    EXPECT_TRUE(boxes.records[1].text.startsWith(QStringLiteral("本ツールでは添付ファイルを閲覧することは出来ません。")));
    ASSERT_TRUE(bid()->WaitForDocument(15000));
    EXPECT_EQ(bid()->LocationURL(), home);
    EXPECT_EQ(f.lastNavigatedUrl, home);

    // The clear page is also listed as not to be shown: the clear part wins,
    // and the address is not remembered.
    click(bid(), QStringLiteral("clear"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(url(QStringLiteral("nyusatsu/clear/index.html"))); }, 15000));
    EXPECT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(f.lastNavigatedUrl, home);

    open(QStringLiteral("nyusatsu/index.html"));
    // The do-nothing script of a pop-up link is not remembered either.
    click(bid(), QStringLiteral("help"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->Browser->LocationURL().endsWith(QStringLiteral("help.html")); }));
    Settle(200);
    EXPECT_EQ(f.lastNavigatedUrl, home);
    // An address of no allowed kind keeps its pop-up hidden.
    EXPECT_FALSE(f.popupBrowser()->isVisible());
}

TEST_F(WebWindow, ElectronicBiddingAndPrintWindowsAreRefused)
{
    TMainForm& f = startWeb();
    open(QStringLiteral("denshi_nyuusatu/index.html"));
    click(bid(), QStringLiteral("login"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 1; }));
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("本ツールから電子入札を行うことは出来ません。\r\n"
                                                    "InternetExplorer等のブラウザから行ってください。"));
    EXPECT_EQ(f.popupBrowser(), nullptr);

    open(QStringLiteral("nyusatsu/print/index.html"));
    server->clearRequests();
    click(bid(), QStringLiteral("print"));
    Settle(400);
    EXPECT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(f.popupBrowser(), nullptr);
    EXPECT_TRUE(server->requests().filter(QStringLiteral("preview")).isEmpty());

    // Electronic bidding wins over a map link.
    f.lastNavigatedUrl = url(QStringLiteral("denshi_nyuusatu/othermaps/index.html"));
    QWebEnginePage* window = nullptr;
    bool cancel = false;
    f.mapKind = 1;
    f.BrowserNyusatsuInfoNewWindow2(&window, &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(f.mapKind, 1);
    EXPECT_EQ(boxes.records.size(), 2u);
}

TEST_F(WebWindow, ClosingThePageGoesBackAndTheButtonsMoveThroughHistory)
{
    TMainForm& f = startWeb();
    const QString home = url(QStringLiteral("nyusatsu/index.html"));
    const QString closing = url(QStringLiteral("nyusatsu/close.html"));
    open(QStringLiteral("nyusatsu/close.html"));
    click(bid(), QStringLiteral("closeButton"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(home); }, 15000));
    EXPECT_TRUE(bid()->isVisible());

    f.ButtonNext->click();
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(closing); }, 15000));
    f.ButtonPrev->click();
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(home); }, 15000));

    open(QStringLiteral("nyusatsu/koukoku/index.html"));
    f.ButtonNyusatsuInfo->click();
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(home); }, 15000));
}

// ---- Pop-up windows ------------------------------------------------------

TEST_F(WebWindow, APopUpIsShownCentredAndHandsACasePageBack)
{
    TMainForm& f = startWeb();
    click(bid(), QStringLiteral("byCategory"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    QPointer<TBrowserPopupForm> popup = f.popupBrowser();
    EXPECT_EQ(popup->objectName(), QStringLiteral("BrowserPopupForm"));
    EXPECT_EQ(popup->windowTitle(), QStringLiteral("三重県\u3000入札情報サービス"));
    EXPECT_EQ(popup->size(), QSize(471, 514));
    // Centred, give or take the rounding of odd sizes.
    EXPECT_LE((popup->frameGeometry().center() - f.frameGeometry().center()).manhattanLength(), 4);
    EXPECT_EQ(popup->Browser->LocationURL(), url(QStringLiteral("nyusatsu/popup.html?categoryCode=0101")));

    // A pop-up from this pop-up shows at once, where the window system puts it.
    click(popup->Browser, QStringLiteral("child"));
    ASSERT_TRUE(WaitUntil([&] { return popup->childPopup && popup->childPopup->isVisible(); }));
    QPointer<TBrowserPopupForm> child = popup->childPopup;
    EXPECT_EQ(child->objectName(), QStringLiteral("BrowserPopupForm_1"));
    EXPECT_GT((child->frameGeometry().center() - f.frameGeometry().center()).manhattanLength(), 4);

    // A case page goes to the main browser; the pop-up closes and then goes.
    ASSERT_TRUE(WaitUntil([&] { return !popup->Browser->Busy(); }));
    click(popup->Browser, QStringLiteral("case0105"));
    const QString casePage = url(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0105"));
    ASSERT_TRUE(WaitUntil([&] { return showsOnly(casePage); }, 15000));
    ASSERT_TRUE(WaitUntil([&] { return popup.isNull() && child.isNull(); }));
    EXPECT_EQ(f.popupBrowser(), nullptr);
    EXPECT_EQ(f.lastNavigatedUrl, casePage);
}

TEST_F(WebWindow, AWrittenPopUpShowsAt270By300OverHttp)
{
    TMainForm& f = startWeb();
    click(bid(), QStringLiteral("notice"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    TBrowserPopupForm* popup = f.popupBrowser();
    EXPECT_EQ(popup->frameGeometry().size(), QSize(270, 300));
    EXPECT_EQ(popup->Browser->LocationURL(), QStringLiteral("about:blank"));
    Settle(200);
    popup->resize(400, 380);
    Settle(200);
    EXPECT_EQ(eval(popup->Browser, QStringLiteral("document.getElementById('notice').textContent")).toString(),
              QStringLiteral("システム保守のお知らせ"));
}

TEST_F(WebWindow, ANewPopUpOrTheUsersPageChangeDestroysTheOldOne)
{
    TMainForm& f = startWeb();
    click(bid(), QStringLiteral("byCategory"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    QPointer<TBrowserPopupForm> first = f.popupBrowser();

    click(bid(), QStringLiteral("publication"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() != first && f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    QPointer<TBrowserPopupForm> second = f.popupBrowser();
    EXPECT_EQ(second->objectName(), QStringLiteral("BrowserPopupForm_1"));
    ASSERT_TRUE(WaitUntil([&] { return first.isNull(); }));
    EXPECT_EQ(second->Browser->LocationURL(), url(QStringLiteral("nyusatsu/pub?s=C001")));

    // The program's own page change keeps it; the estimator's removes it.
    f.ButtonToMainClick();
    f.SetActivePage(TMainForm::PageCalcResult);
    Settle(100);
    EXPECT_FALSE(second.isNull());
    f.PageControl->pageTabBar()->setCurrentIndex(TMainForm::PageMain);
    Settle(100);
    EXPECT_FALSE(second.isNull());
    QTest::mouseClick(f.PageControl->pageTabBar(), Qt::LeftButton, {},
                      f.PageControl->pageTabBar()->tabRect(TMainForm::PageGoogleMap).center());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageGoogleMap);
    // Without the program's event loop the tests deliver deferred deletions.
    ASSERT_TRUE(WaitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return second.isNull();
    }));
    EXPECT_EQ(f.popupBrowser(), nullptr);
}

TEST_F(WebWindow, APopUpClosedByItsPageStaysClosed)
{
    TMainForm& f = startWeb();
    click(bid(), QStringLiteral("byOrganV"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    QPointer<TBrowserPopupForm> popup = f.popupBrowser();
    click(popup->Browser, QStringLiteral("child"));
    ASSERT_TRUE(WaitUntil([&] { return popup->childPopup && popup->childPopup->isVisible(); }));
    QPointer<TBrowserPopupForm> child = popup->childPopup;

    click(popup->Browser, QStringLiteral("close"));
    ASSERT_TRUE(WaitUntil([&] { return !popup->isVisible(); }));
    EXPECT_TRUE(popup->closing);
    ASSERT_TRUE(WaitUntil([&] { return child.isNull(); }));
    // Later completions of its page no longer show it.
    popup->BrowserNavigateComplete2(url(QStringLiteral("nyusatsu/popup.html?categoryCode=1")));
    EXPECT_FALSE(popup->isVisible());
}

// ---- Road distance -------------------------------------------------------

TEST_F(WebWindow, SendAndFetchStoreTheRoadDistanceAndRecalculate)
{
    TMainForm& f = startCalculated(QStringLiteral("km=12.3&delay=50"));
    ResultGrid* grid = f.StringGrid;
    grid->SetCurrentCell(1, 2);
    const QString site = grid->Cell(1, 2);
    const int totalBefore = f.resultList->FindByName(site)->GetTotal();
    server->clearRequests();

    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageGoogleMap);
    EXPECT_TRUE(f.routeSent);
    EXPECT_TRUE(f.ButtonGetDistance->isEnabled());
    // The first send uses the page loaded on activation.
    EXPECT_TRUE(server->requests().filter(QStringLiteral("/maps/route.html")).isEmpty());
    CBrowserInterfaceOperate page(route());
    double lat = 0, lon = 0;
    CCoordinatesConvert().PlaneToLatLon(StrToFloat(tsuX()), StrToFloat(tsuY()), lat, lon);
    EXPECT_EQ(page.GetInputValue(QStringLiteral("stLat")), FloatToStr(lat));
    EXPECT_EQ(page.GetInputValue(QStringLiteral("stLng")), FloatToStr(lon));

    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_EQ(distanceOf(site), 12.3);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    EXPECT_EQ(grid->Cell(1, f.selectedRow), site);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, f.selectedRow), QStringLiteral("12.3"));
    EXPECT_NE(f.resultList->FindByName(site)->GetTotal(), totalBefore);
    EXPECT_TRUE(boxes.records.empty());

    // The second send starts from a fresh page, and "hand" is cleared first.
    CBrowserInterfaceOperate(route()).SetChecked(QStringLiteral("hand"), true);
    grid->SetCurrentCell(1, 1);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    EXPECT_EQ(server->requests().filter(QStringLiteral("/maps/route.html")).size(), 1);
    EXPECT_FALSE(eval(route(), QStringLiteral("document.getElementById('hand').checked")).toBool());
}

TEST_F(WebWindow, AWholeNumberOfKilometresIsStoredToo)
{
    TMainForm& f = startCalculated(QStringLiteral("km=7&delay=50"));
    f.StringGrid->SetCurrentCell(1, 3);
    const QString site = f.StringGrid->Cell(1, 3);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_EQ(distanceOf(site), 7);
    EXPECT_EQ(f.StringGrid->Cell(ResultGrid::DistanceColumn, f.StringGrid->Row()), QStringLiteral("7"));
}

// Choosing another row between sending and fetching must not move the
// distance to that row.
TEST_F(WebWindow, TheDistanceGoesToTheSiteThatWasSent)
{
    TMainForm& f = startCalculated(QStringLiteral("km=9.5&delay=50"));
    ResultGrid* grid = f.StringGrid;
    grid->SetCurrentCell(1, 2);
    const QString sent = grid->Cell(1, 2);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    grid->SetCurrentCell(1, 4);
    const QString other = grid->Cell(1, 4);
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_EQ(distanceOf(sent), 9.5);
    EXPECT_EQ(distanceOf(other), 0);
    EXPECT_EQ(grid->Cell(1, f.selectedRow), other);
}

TEST_F(WebWindow, NoRouteEndsTheWaitAtOnceAndWarnsOnlyWhenAskedByTheButton)
{
    TMainForm& f = startCalculated(QStringLiteral("fail=all&delay=50"));
    f.StringGrid->SetCurrentCell(1, 1);
    const QString site = f.StringGrid->Cell(1, 1);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.BitBtnGetLowest));

    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(f.ButtonGetDistanceClick(f.BitBtnGetLowest));
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageGoogleMap);

    EXPECT_FALSE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_LT(t.elapsed(), 2000);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("距離の計算に失敗"));
    EXPECT_TRUE(boxes.records[0].text.contains(QStringLiteral("（ルートが見つかりません）"))) << boxes.records[0].text.toStdString();
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    EXPECT_EQ(distanceOf(site), 0);
}

TEST_F(WebWindow, FetchingWaitsForASlowRouteAndASecondClickDoesNothing)
{
    TMainForm& f = startCalculated(QStringLiteral("delay=4000"));
    f.StringGrid->SetCurrentCell(1, 2);
    const QString site = f.StringGrid->Cell(1, 2);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    int secondClicks = 0;
    QTimer::singleShot(500, &f, [&] {
        EXPECT_FALSE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
        ++secondClicks;
    });
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    EXPECT_GE(t.elapsed(), 3000);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_GT(distanceOf(site), 0);
    EXPECT_EQ(eval(route(), QStringLiteral("calcCount")).toInt(), 1);
}

// A changed route page may put anything in the distance field: each answer
// that is not a road distance ends in the error box, and no row takes it.
TEST_F(WebWindow, ADistanceFieldWithoutADistanceEndsInTheErrorBoxAndStoresNothing)
{
    // (Texts without the unit "km" are refused with a warning instead; see
    // RoadDistanceTests.)
    const QStringList answers = {QStringLiteral("km"),     QStringLiteral("12.3.4km"), QStringLiteral("-5km"),
                                 QStringLiteral("1e999km"), QStringLiteral("１２km"),  QStringLiteral("nankm")};
    for (const QString& answer : answers) {
        const QString query = QStringLiteral("answer=") + QString::fromLatin1(QUrl::toPercentEncoding(answer))
                              + QStringLiteral("&delay=50");
        TMainForm& f = startCalculated(query);
        f.StringGrid->SetCurrentCell(1, 2);
        const QString site = f.StringGrid->Cell(1, 2);
        const int total = f.resultList->FindByName(site)->GetTotal();
        const QString shownDistance = f.StringGrid->Cell(ResultGrid::DistanceColumn, 2);
        ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo)) << answer.toStdString();
        QTest::mouseClick(f.ButtonGetDistance, Qt::LeftButton);
        ASSERT_EQ(boxes.records.size(), 1u) << answer.toStdString();
        EXPECT_EQ(caption(0), velmora::platform::ErrorBoxCaption()) << answer.toStdString();
        EXPECT_EQ(distanceOf(site), 0) << answer.toStdString();
        EXPECT_EQ(f.resultList->FindByName(site)->GetTotal(), total) << answer.toStdString();
        EXPECT_EQ(f.StringGrid->Cell(ResultGrid::DistanceColumn, 2), shownDistance) << answer.toStdString();
        EXPECT_TRUE(f.ButtonGetDistance->isEnabled());
    }
    // The same way, a distance with a space before its unit is taken.
    TMainForm& f = startCalculated(QStringLiteral("answer=12.3%20km&delay=50"));
    f.StringGrid->SetCurrentCell(1, 2);
    const QString site = f.StringGrid->Cell(1, 2);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    QTest::mouseClick(f.ButtonGetDistance, Qt::LeftButton);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(distanceOf(site), 12.3);
}

TEST_F(WebWindow, ASearchMeetingADistanceFieldWithoutADistanceEndsWithTheWindowBack)
{
    TMainForm& f = startCalculated(QStringLiteral("answer=-3km&delay=50"));
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    QTest::mouseClick(f.BitBtnGetLowest, Qt::LeftButton);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(0), QStringLiteral("確認"));
    EXPECT_EQ(caption(1), velmora::platform::ErrorBoxCaption());
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.findChild<TWaitCalcDialogForm*>(), nullptr);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(f.resultList->RowAt(n)->GetTransportDistance(), 0) << n;
}

TEST_F(WebWindow, SendingNeedsARowAndARoutePageThatLoads)
{
    // The route page never answers.
    QString text = StandInWebDataDefText(server->host());
    text.replace(QStringLiteral("/maps/route.html"), QStringLiteral("/stall/route.html"));
    writeDefinitions(text);
    TMainForm& f = startShown();
    f.roadDistances().routeLoadLimitMs = 1000;

    f.ButtonSendLaLoClick(f.ButtonSendLaLo);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("行の未選択"));

    calculateAt(tsuX(), tsuY());
    boxes.records.clear();
    f.StringGrid->SetCurrentCell(1, 1);
    EXPECT_FALSE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("距離の計算に失敗"));
    EXPECT_FALSE(f.routeSent);
    EXPECT_TRUE(f.ButtonGetDistance->isEnabled());
}

TEST_F(WebWindow, FetchingBeforeAnyPageWasShownWarns)
{
    writeDefinitions(StandInWebDataDefText(server->host()));
    TMainForm& f = start();
    withBrowsers();
    ASSERT_TRUE(f.BrowserGoogleMaps->LocationURL().isEmpty());
    EXPECT_FALSE(f.ButtonGetDistanceClick(f.BitBtnGetLowest));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("距離の取得に失敗"));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
}

TEST_F(WebWindow, DoubleClickingASiteSendsItButNotInTheEditableColumns)
{
    TMainForm& f = startCalculated();
    ResultGrid* grid = f.StringGrid;
    const auto doubleClick = [grid](int col, int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, col));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    };
    doubleClick(ResultGrid::DistanceColumn, 2);
    Settle(100);
    EXPECT_FALSE(f.routeSent);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    QTest::keyClick(grid, Qt::Key_Escape);

    doubleClick(1, 2);
    ASSERT_TRUE(WaitUntil([&] { return f.routeSent; }));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageGoogleMap);
    double lat = 0, lon = 0;
    const CDisplayCalcResultData* row = f.resultList->FindByName(grid->Cell(1, 2));
    CCoordinatesConvert().PlaneToLatLon(row->GetSiteX(), row->GetSiteY(), lat, lon);
    EXPECT_EQ(CBrowserInterfaceOperate(route()).GetInputValue(QStringLiteral("edLat")), FloatToStr(lat));
}

// ---- Cheapest-site search ------------------------------------------------

TEST_F(WebWindow, SearchRefusesAnEmptyTableAndACountOutsideTheRows)
{
    TMainForm& f = startWeb();
    f.SetActivePage(TMainForm::PageCalcResult);
    f.EditGetLowest->setText(QStringLiteral("3"));
    f.BitBtnGetLowestClick();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(caption(0), QStringLiteral("無効な処理"));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);

    calculateAt(tsuX(), tsuY());
    const int rows = f.StringGrid->RowCount() - 1;
    for (const QString& bad : {QStringLiteral("0"), QStringLiteral("."), QString(), QStringLiteral("-2"), IntToStr(rows + 1)}) {
        boxes.records.clear();
        f.EditGetLowest->setText(bad);
        f.BitBtnGetLowestClick();
        ASSERT_EQ(boxes.records.size(), 1u) << bad.toStdString();
        EXPECT_EQ(caption(0), QStringLiteral("無効な値"));
        EXPECT_EQ(boxes.records[0].text, QStringLiteral("件数の値が不正です。\r\n1から%1までの数を入力してください。").arg(rows));
        EXPECT_TRUE(f.EditGetLowest->text().isEmpty());
    }
    EXPECT_FALSE(f.routeSent);
}

TEST_F(WebWindow, ADeclinedSearchChangesNothing)
{
    TMainForm& f = startCalculated();
    QTest::mouseClick(f.findChild<QRadioButton*>(QStringLiteral("RadioGroupSortModeItem1")), Qt::LeftButton);
    ASSERT_EQ(f.sortMode, 1);
    const QString firstSite = f.StringGrid->Cell(1, 1);
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::No);
    f.BitBtnGetLowestClick();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("計算結果の上位\u30003\u3000件の距離が\r\n道のり距離に置き換わるまで\r\n"
                                                    "距離を取得し続け、\r\n最安値を計算します。\r\n\r\n実行してもよろしいですか？"));
    EXPECT_EQ(caption(0), QStringLiteral("確認"));
    EXPECT_EQ(f.sortMode, 1);
    EXPECT_TRUE(f.sortModeButtons->button(1)->isChecked());
    EXPECT_EQ(f.StringGrid->Cell(1, 1), firstSite);
    EXPECT_FALSE(f.routeSent);
    EXPECT_TRUE(f.isEnabled());
}

TEST_F(WebWindow, SearchEndsWithTheTopRowsOnRoadDistances)
{
    TMainForm& f = startCalculated();
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    bool disabledDuringSearch = false;
    boxes.onBox = [&](const velmora::platform::MessageRecord& r) {
        if (r.caption == QStringLiteral("計算完了"))
            disabledDuringSearch = !f.isEnabled();
    };
    // The search processes events while it waits, so a sampling timer sees
    // every state of the spinner; how many turns it makes depends on speed.
    QSet<QString> spinnerStates;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (auto* wait = f.findChild<TWaitCalcDialogForm*>())
            spinnerStates.insert(wait->Label2->text().right(1));
    });
    sampler.start(50);
    QElapsedTimer t;
    t.start();
    f.BitBtnGetLowestClick();
    const qint64 elapsed = t.elapsed();
    sampler.stop();

    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    // Whole seconds of the wall clock: the search may straddle one more tick.
    const QString done = QStringLiteral("計算が完了しました。\r\n所要時間：%1秒");
    EXPECT_TRUE(boxes.records[1].text == done.arg(elapsed / 1000) || boxes.records[1].text == done.arg(elapsed / 1000 + 1))
        << boxes.records[1].text.toStdString();
    EXPECT_TRUE(disabledDuringSearch);
    // The spinner turned while the search ran.
    EXPECT_GE(spinnerStates.size(), 2) << spinnerStates.values().join(u' ').toStdString();
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.findChild<TWaitCalcDialogForm*>(), nullptr);

    int previousTotal = 0;
    for (int n = 1; n <= 3; ++n) {
        const CDisplayCalcResultData* row = f.resultList->RowAt(n);
        ASSERT_NE(row, nullptr);
        EXPECT_NE(row->GetTransportDistance(), 0) << n;
        EXPECT_EQ(f.StringGrid->Cell(1, n), row->GetSiteName());
        EXPECT_GE(row->GetTotal(), previousTotal) << n;
        previousTotal = row->GetTotal();
    }
    std::fprintf(stderr, "[ measured ] cheapest-site search, top 3: %lld ms\n", static_cast<long long>(elapsed));
}

TEST_F(WebWindow, ThreeFailuresInARowEndTheSearch)
{
    TMainForm& f = startCalculated(QStringLiteral("fail=all&delay=50"));
    f.EditGetLowest->setText(QStringLiteral("5"));
    boxes.answers.push_back(MessageAnswer::Yes);
    f.BitBtnGetLowestClick();
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算失敗"));
    // The route page's reason is in the box.
    EXPECT_TRUE(boxes.records[1].text.contains(QStringLiteral("（") + f.roadDistances().RoutePageReason() + QStringLiteral("）")))
        << boxes.records[1].text.toStdString();
    EXPECT_FALSE(f.roadDistances().RoutePageReason().isEmpty());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    EXPECT_EQ(f.selectedRow, 3);
    EXPECT_TRUE(f.isEnabled());
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(f.resultList->RowAt(n)->GetTransportDistance(), 0);
}

// Clicks the wait dialog's "中止" (or closes the window) `afterMs` after the
// search has put it up.
static void StopSearchLater(TMainForm& f, int afterMs, bool closeWindow)
{
    auto* poll = new QTimer(&f);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &f, afterMs, closeWindow] {
        auto* wait = f.findChild<TWaitCalcDialogForm*>();
        if (!wait)
            return;
        poll->deleteLater();
        QTimer::singleShot(afterMs, &f, [&f, closeWindow] {
            if (closeWindow)
                f.close();
            else if (auto* w = f.findChild<TWaitCalcDialogForm*>())
                w->ButtonStop->click();
        });
    });
    poll->start(20);
}

// Searches for the top 3 and clicks 中止 300 ms into the search.
static void SearchAndStop(TMainForm& f, BoxRecorder& boxes)
{
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    StopSearchLater(f, 300, false);
    f.BitBtnGetLowestClick();
}

// A calculated window whose search asks the Google route page (on the
// stand-in library, answering `query`) for many sites at once.

TEST_F(WebWindow, StoppingASearchKeepsTheAnswerInFlightAndTells)
{
    TMainForm& f = startMatrixSearch(QStringLiteral("delay=1500"));
    SearchAndStop(f, boxes);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算中止"));
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.findChild<TWaitCalcDialogForm*>(), nullptr);
    // The answer that came back within the grace is stored and ranked.
    for (int n = 1; n <= 3; ++n) {
        EXPECT_NE(f.resultList->RowAt(n)->GetTransportDistance(), 0) << n;
        EXPECT_EQ(f.StringGrid->Cell(1, n), f.resultList->RowAt(n)->GetSiteName());
    }
}

TEST_F(WebWindow, StoppingARowByRowSearchStillTakesTheRouteInFlight)
{
    TMainForm& f = startCalculated(QStringLiteral("delay=1500"));
    SearchAndStop(f, boxes);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算中止"));
    int fetched = 0;
    for (int n = 1; n <= f.resultList->Count(); ++n)
        fetched += f.resultList->RowAt(n)->GetTransportDistance() != 0;
    EXPECT_EQ(fetched, 1);
}

TEST_F(WebWindow, ClosingTheWindowDuringASearchStopsItWithoutABoxAndCloses)
{
    TMainForm& f = startCalculated(QStringLiteral("delay=8000"));
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    boxes.answers.push_back(MessageAnswer::Yes);
    StopSearchLater(f, 200, true);
    QElapsedTimer t;
    t.start();
    f.BitBtnGetLowestClick();
    EXPECT_LT(t.elapsed(), 6000);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("Velmoraを終了しますか？"));
    EXPECT_TRUE(WaitUntil([&] { return !f.isVisible(); }));
    EXPECT_EQ(boxes.records.size(), 2u);
}

TEST_F(WebWindow, TheCountFieldTakesFiveHalfWidthDigits)
{
    TMainForm& f = startWeb();
    f.SetActivePage(TMainForm::PageCalcResult);
    f.EditGetLowest->setFocus();
    // Full-width digits come as typed text, without a key code of their own.
    const auto type = [&f](const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(f.EditGetLowest, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(f.EditGetLowest, &release);
        }
    };
    type(QStringLiteral("１２a-"));
    EXPECT_EQ(f.EditGetLowest->text(), QStringLiteral("12"));
    type(QStringLiteral("３"));
    QTest::keyClicks(f.EditGetLowest, QStringLiteral("45"));
    EXPECT_EQ(f.EditGetLowest->text(), QStringLiteral("12345"));
    QTest::keyClicks(f.EditGetLowest, QStringLiteral("6"));
    EXPECT_EQ(f.EditGetLowest->text(), QStringLiteral("12345"));
    QTest::keyClicks(f.EditGetLowest, QStringLiteral("."));
    EXPECT_EQ(f.EditGetLowest->text(), QStringLiteral("12345."));
    QTest::keyClick(f.EditGetLowest, Qt::Key_Backspace);
    QTest::keyClick(f.EditGetLowest, Qt::Key_Backspace);
    EXPECT_EQ(f.EditGetLowest->text(), QStringLiteral("1234"));

    QChar enter(13);
    f.EditGetLowestKeyPress(enter);
    EXPECT_TRUE(enter.isNull());
    EXPECT_TRUE(f.BitBtnGetLowest->hasFocus() || QApplication::focusWidget() == f.BitBtnGetLowest);
}

TEST_F(WebWindow, AUsedUpQuotaIsAskedOnceMoreAfterAWaitThenReported)
{
    TMainForm& f = startMatrixSearch(QStringLiteral("quota=1"));
    f.cheapestSearch().quotaWaitMs = 600;
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    QElapsedTimer t;
    t.start();
    f.BitBtnGetLowestClick();
    EXPECT_GE(t.elapsed(), 600);
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.matrixRequests.length")).toInt(), 2);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算失敗"));
    EXPECT_TRUE(boxes.records[1].text.contains(QStringLiteral("利用上限"))) << boxes.records[1].text.toStdString();
}

TEST_F(WebWindow, ASiteLeftWithoutADistanceIsNamedWithItsReason)
{
    TMainForm& f = startMatrixSearch(QStringLiteral("broken=1"));
    const QString first = f.StringGrid->Cell(1, 1);
    f.EditGetLowest->setText(QStringLiteral("3"));
    boxes.answers.push_back(MessageAnswer::Yes);
    f.BitBtnGetLowestClick();
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(caption(1), QStringLiteral("計算完了"));
    const QString text = boxes.records[1].text;
    const qsizetype line = text.indexOf(QStringLiteral("・%1：").arg(first));
    ASSERT_GE(line, 0) << text.toStdString();
    // A reason follows the name.
    EXPECT_GT(text.indexOf(QStringLiteral("\r\n"), line), line + first.size() + 2) << text.toStdString();
    EXPECT_EQ(distanceOf(first), 0);
}

TEST_F(WebWindow, ACasePageAskedForAsANewWindowIsNeverShownInAPopUp)
{
    TMainForm& f = startWeb();
    eval(bid(), QStringLiteral("openSub('case.html?ankenNo=2026-0102'); true"));
    const QString casePage = url(QStringLiteral("nyusatsu/case.html?ankenNo=2026-0102"));
    bool popupShown = false;
    ASSERT_TRUE(WaitUntil([&] {
        popupShown = popupShown || (f.popupBrowser() && f.popupBrowser()->isVisible());
        return showsOnly(casePage);
    }, 15000));
    EXPECT_FALSE(popupShown);
}

TEST_F(WebWindow, ReturningFromAnotherWindowOfTheProgramReloadsTheRoutePage)
{
    TMainForm& f = startWeb();
    click(bid(), QStringLiteral("byCategory"));
    ASSERT_TRUE(WaitUntil([&] { return f.popupBrowser() && f.popupBrowser()->isVisible(); }, 15000));
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == f.popupBrowser(); }));
    f.SetActivePage(TMainForm::PageCalcResult);
    server->clearRequests();

    f.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &f; }));
    ASSERT_TRUE(WaitUntil([&] { return !server->requests().filter(QStringLiteral("/maps/route.html")).isEmpty(); }));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);
}

TEST_F(WebWindow, TheGoogleMapsRoutePageWorksWithTheWindow)
{
    QString text = StandInWebDataDefText(server->host(), QStringLiteral("key=TESTKEY"));
    text.replace(QStringLiteral("/maps/route.html"), QStringLiteral("/test/route-google.html"));
    writeDefinitions(text);
    TMainForm& f = startShown();
    ASSERT_TRUE(WaitUntil([&] { return route()->ReadyState() == 4 && !route()->Busy(); }, 15000));
    calculateAt(tsuX(), tsuY());
    f.StringGrid->SetCurrentCell(1, 2);
    const QString site = f.StringGrid->Cell(1, 2);
    ASSERT_TRUE(f.ButtonSendLaLoClick(f.ButtonSendLaLo));
    ASSERT_TRUE(f.ButtonGetDistanceClick(f.ButtonGetDistance));
    const double stored = distanceOf(site);
    EXPECT_GT(stored, 0);
    EXPECT_EQ(CBrowserInterfaceOperate(route()).GetInputValue(QStringLiteral("totaldaze")), FloatToStr(stored) + QStringLiteral("km"));
    EXPECT_EQ(eval(route(), QStringLiteral("mapsStub.routeRequests.length")).toInt(), 1);
}
