#include "RoadDistanceExchange.h"

#include "HandlerSupport.h"
#include "MainWindowHost.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/CJobSiteCoordinatesData.h"
#include "calc/COutputDataManager.h"
#include "calc/ShownDistance.h"
#include "data/Error.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "platform/MessageBox.h"
#include "ui/MainWindowState.h"
#include "ui/ResultGrid.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/WebBrowser.h"

#include <QDate>
#include <QElapsedTimer>
#include <QPushButton>
#include <cmath>
#include <memory>

namespace names = velmora::web::names;

namespace velmora::app {

namespace {

QString ImplausibleText(double km)
{
    return QStringLiteral("道のり距離 %1km は%2kmを超えるため、運搬距離にしませんでした。\r\n"
                          "経路を確かめてから、もう一度送ってください。")
        .arg(FloatToStr(km))
        .arg(velmora::calc::MaxTransportDistanceKm);
}

// Kept on its row, which the tables cannot price: said once, not refused.
QString BeyondReachText(double km)
{
    return QStringLiteral("道のり距離 %1km は%2kmを超えるため、この処分場には運搬費・合計・順位を付けていません。\r\n"
                          "距離は運搬距離として表に残しています。")
        .arg(FloatToStr(km))
        .arg(COutputDataManager::SearchRadiusKm);
}

QString RoutePageAddress()
{
    return GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::GoogleMaps);
}

} // namespace

RoadDistanceExchange::RoadDistanceExchange(MainWindowHost& host, const Controls& controls)
    : m_host(host)
    , m_controls(controls)
{
}

void RoadDistanceExchange::LoadRoutePage()
{
    m_host.RouteBrowser()->Navigate(RoutePageAddress());
}

QString RoadDistanceExchange::RoutePageReason() const
{
    CBrowserInterfaceOperate page(m_host.RouteBrowser());
    const QString id = QStringLiteral("routeError");
    return page.HasInput(id) ? page.GetInputValue(id).trimmed() : QString();
}

void RoadDistanceExchange::CalculationShown()
{
    m_routeSite = RouteSite{};
    COutputDataManager* driver = m_host.Driver();
    if (!driver)
        return;
    const CJobSiteCoordinatesData& site = driver->JobSite();
    m_shownJobSite = QPointF(StrToFloat(site.GetXText()), StrToFloat(site.GetYText()));
}

bool RoadDistanceExchange::RoutePageReady()
{
    velmora::web::WebBrowser* page = m_host.RouteBrowser();
    return !page->LocationURL().isEmpty() && CBrowserInterfaceOperate(page).HasInput(QStringLiteral("hand"));
}

void RoadDistanceExchange::StopWaiting(int graceMs)
{
    m_stopAt = QDeadlineTimer(graceMs);
}

bool RoadDistanceExchange::RoutePageLoaded()
{
    // Nothing has been asked of the page yet: a stop ends this wait at once.
    const auto stopped = [this] { return !m_stopAt.isForever(); };
    if (m_host.RouteBrowser()->WaitForDocument(routeLoadLimitMs, stopped))
        return true;
    // A stop (中止, or the window closing) is not a failure to tell about.
    if (stopped())
        return false;
    Warning(QStringLiteral("GoogleMapsサイトの表示が%1秒以内に終わりませんでした。\r\n"
                           "通信の状態を確かめてから、もう一度送ってください。")
                .arg(routeLoadLimitMs / 1000),
            QStringLiteral("距離の計算に失敗"));
    return false;
}

bool RoadDistanceExchange::Send()
{
    velmora::ui::MainWindowState& state = m_host.State();
    CDisplayCalcResultData* site =
        (state.selectedRow > 0 && state.resultList) ? state.resultList->RowAt(state.selectedRow) : nullptr;
    if (!site || !m_shownJobSite) {
        Warning(QStringLiteral("座標を送りたい処分場の\r\n行を選択してください。"), QStringLiteral("行の未選択"));
        return false;
    }
    const QString siteName = site->GetSiteName();
    const double siteX = site->GetSiteX();
    const double siteY = site->GetSiteY();
    const QPointF jobSite = *m_shownJobSite;

    QPushButton* fetch = m_controls.fetchButton;
    fetch->setEnabled(false);
    m_sending = true;
    m_stopAt = QDeadlineTimer(QDeadlineTimer::Forever);
    // An error on the way must not leave the fetch button dead.
    OnExit enableFetch([this, fetch] {
        fetch->setEnabled(true);
        m_sending = false;
    });

    velmora::web::WebBrowser* page = m_host.RouteBrowser();
    // A page that did not load at activation (no server, an error page)
    // would otherwise fail every send until the window is activated again.
    bool reload = state.routeSent || page->LocationURL().isEmpty();
    if (!reload) {
        if (!RoutePageLoaded())
            return false;
        reload = !RoutePageReady();
    }
    if (reload)
        page->Navigate(RoutePageAddress());
    m_host.SetActivePage(PageGoogleMap);
    if (!RoutePageLoaded())
        return false;

    auto operate = std::make_unique<CBrowserInterfaceOperate>(page);
    operate->SetChecked(QStringLiteral("hand"), false);

    // The route starts where the shown calculation was made, whatever the
    // condition panel holds by now.
    CCoordinatesConvert convert;
    double latitude = 0;
    double longitude = 0;
    convert.PlaneToLatLon(jobSite.x(), jobSite.y(), latitude, longitude);
    operate->SetInputValue(QStringLiteral("stLat"), FloatToStr(latitude));
    operate->SetInputValue(QStringLiteral("stLng"), FloatToStr(longitude));
    convert.PlaneToLatLon(siteX, siteY, latitude, longitude);
    operate->SetInputValue(QStringLiteral("edLat"), FloatToStr(latitude));
    operate->SetInputValue(QStringLiteral("edLng"), FloatToStr(longitude));

    page->Navigate(GetSharedWebDataDef()->ReadValue(names::section::javascript, names::key::calcRoute));
    state.routeSent = true;
    m_routeSite = RouteSite{true, siteName, siteX, siteY, jobSite};
    return true;
}

int RoadDistanceExchange::RowOfSentSite() const
{
    CDisplayCalcResultList* list = m_host.State().resultList;
    if (!m_routeSite.known || !list || m_shownJobSite != m_routeSite.jobSite)
        return 0;
    for (int n = 1; n <= list->Count(); ++n) {
        const CDisplayCalcResultData* row = list->RowAt(n);
        if (row && row->GetSiteX() == m_routeSite.x && row->GetSiteY() == m_routeSite.y
            && row->GetSiteName() == m_routeSite.name)
            return n;
    }
    return 0;
}

bool RoadDistanceExchange::Fetch(bool quiet)
{
    const QString noRoute = QStringLiteral("先に計算結果から処分場の座標を\r\nGoogleMapsサイト上へ送り、\r\n距離を取得してください。");
    const auto refuse = [this, quiet](const QString& text) {
        if (!quiet) {
            Warning(text, QStringLiteral("距離の取得に失敗"));
            m_host.SetActivePage(PageCalcResult);
        }
        return false;
    };
    velmora::web::WebBrowser* page = m_host.RouteBrowser();
    if (page->LocationURL().isEmpty()) {
        Warning(noRoute, QStringLiteral("距離の取得に失敗"));
        m_host.SetActivePage(PageCalcResult);
        return false;
    }

    // A second click while the route is still being computed does nothing.
    if (m_waiting)
        return false;
    m_waiting = true;
    m_stopAt = QDeadlineTimer(QDeadlineTimer::Forever);
    OnExit done([this] { m_waiting = false; });
    auto operate = std::make_unique<CBrowserInterfaceOperate>(page);
    // A route still being computed is waited for, until the page answers a
    // distance or why there is none, within the page's own limit.
    QElapsedTimer clock;
    clock.start();
    QString text;
    for (;;) {
        text = operate->GetInputValue(QStringLiteral("totaldaze"));
        if (!text.isEmpty() || !RoutePageReason().isEmpty() || m_stopAt.hasExpired() || clock.elapsed() >= routeLoadLimitMs)
            break;
        PauseProcessingEvents(DistancePauseMs);
    }
    if (text.isEmpty() && m_stopAt.hasExpired())
        return false;
    if (text.isEmpty()) {
        if (!quiet) {
            Warning(QStringLiteral("距離の計算に失敗しました。\r\n") + ReasonLine(RoutePageReason())
                        + QStringLiteral("再度「GoogleMapsサイトを開き、座標情報を送る」ボタンをクリックしてください。"),
                    QStringLiteral("距離の計算に失敗"));
            m_host.SetActivePage(PageCalcResult);
        }
        return false;
    }
    if (!text.endsWith(QStringLiteral("km")))
        return refuse(QStringLiteral("GoogleMapsサイトの距離「%1」は km 単位ではないため、運搬距離にしませんでした。").arg(text));
    const double distance = StrToFloat(text.chopped(2));
    // A negative road distance would lower the transport cost it feeds;
    // whatever the page answered, it is not a route.
    if (!(distance >= 0) || !std::isfinite(distance))
        throw velmora::ConvertError(QStringLiteral("'%1' は道のり距離ではありません。").arg(text));
    if (velmora::calc::ShownDistanceBeyond(distance, velmora::calc::MaxTransportDistanceKm))
        return refuse(ImplausibleText(distance));

    // The distance belongs to the site that was sent from the job site shown,
    // wherever the re-sorted table shows it now and whichever row is selected.
    if (!m_routeSite.known)
        return refuse(noRoute);
    velmora::ui::MainWindowState& state = m_host.State();
    COutputDataManager* driver = m_host.Driver();
    const int row = RowOfSentSite();
    CDisplayCalcResultData* site = state.resultList ? state.resultList->RowAt(row) : nullptr;
    if (row == 0 || !site || !driver)
        return refuse(QStringLiteral("距離を調べた処分場「%1」が、表示中の計算結果にありません。\r\n"
                                     "距離は入力しませんでした。").arg(m_routeSite.name));
    m_controls.grid->SetCell(velmora::ui::ResultGrid::DistanceColumn, row, FloatToStr(distance));
    site->SetTransportDistance(distance, CDisplayCalcResultData::DistanceSource::RoutePage, QDate::currentDate());
    driver->SetSortMode(state.sortMode);
    state.resultList = &driver->Calculate(false);
    m_host.ShowCalcResult(false);
    m_host.SetActivePage(PageCalcResult);
    if (!quiet && velmora::calc::ShownDistanceBeyond(distance, COutputDataManager::SearchRadiusKm))
        velmora::platform::ShowMessage(BeyondReachText(distance), QStringLiteral("距離の取得"),
                                       velmora::platform::MessageButtons::Ok, velmora::platform::MessageIcon::Information);
    return true;
}

} // namespace velmora::app
