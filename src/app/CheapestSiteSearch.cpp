#include "CheapestSiteSearch.h"

#include "HandlerSupport.h"
#include "MainWindowHost.h"
#include "RoadDistanceExchange.h"
#include "TWaitCalcDialogForm.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/ShownDistance.h"
#include "data/MatchesCostItem.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "platform/MessageBox.h"
#include "ui/MainWindowState.h"
#include "ui/ResultGrid.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/WebBrowser.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <algorithm>
#include <memory>

namespace names = velmora::web::names;
using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;
using velmora::ui::ResultGrid;
using velmora::web::LatLon;
using velmora::web::MatrixAnswer;

namespace velmora::app {

namespace {

// Three failures in a row with no success between end a search.
constexpr int FailuresToGiveUp = 3;
// How long one matrix request may take, and how often its answer is looked for.
constexpr int MatrixWaitMs = 30000;
constexpr int MatrixPollMs = 50;

// How long a stopped search still waits for the answer in flight.
constexpr int StopGraceMs = 3000;

const QString MatrixIn = QStringLiteral("matrixIn");
const QString MatrixOut = QStringLiteral("matrixOut");

// A site in the table, the same across recalculations and re-sorts.
QString SiteKey(const CDisplayCalcResultData& row)
{
    return row.GetSiteName() + u'|' + FloatToStr(row.GetSiteX()) + u'|' + FloatToStr(row.GetSiteY());
}

LatLon LatLonOf(double x, double y)
{
    LatLon point;
    CCoordinatesConvert().PlaneToLatLon(x, y, point.latitude, point.longitude);
    return point;
}

// A site whose road distance is kept but which the tables cannot price.
QString BeyondReachLine(const QString& name, double km)
{
    return QStringLiteral("・%1：道のり距離 %2km は%3kmを超えるため順位を付けていません\r\n")
        .arg(name, FloatToStr(km))
        .arg(COutputDataManager::SearchRadiusKm);
}

bool BeyondReach(double km)
{
    return velmora::calc::ShownDistanceBeyond(km, COutputDataManager::SearchRadiusKm);
}

MatrixAnswer Failed(const QString& why)
{
    MatrixAnswer answer;
    answer.error = why;
    return answer;
}

} // namespace

CheapestSiteSearch::CheapestSiteSearch(MainWindowHost& host, RoadDistanceExchange& roads, const Controls& controls)
    : m_host(host)
    , m_roads(roads)
    , m_controls(controls)
{
}

void CheapestSiteSearch::FilterCountKey(QChar& key)
{
    if (key == QChar(8) || key == QLatin1Char('.'))
        return;
    if (key == QChar(13))
        m_controls.startButton->setFocus();
    else if (m_controls.countField->text().size() >= 5)
        key = QChar();
    const QString half = key.isNull() ? QString() : ToHalfWidth(QString(key));
    if (half.size() == 1 && half.at(0) >= QLatin1Char('0') && half.at(0) <= QLatin1Char('9'))
        key = half.at(0);
    else
        key = QChar();
}

void CheapestSiteSearch::Run()
{
    ResultGrid* grid = m_controls.grid;
    QLineEdit* count = m_controls.countField;
    if (m_running)
        return;
    if (grid->RowCount() == 2 && grid->Cell(1, 1).isEmpty()) {
        Warning(QStringLiteral("表にデータがありません。\r\n先に計算を実行してください。"), QStringLiteral("無効な処理"));
        m_host.SetActivePage(PageMain);
        return;
    }
    const int rowCount = grid->RowCount() - 1;
    const int n = StrToIntDefault(count->text(), 0);
    if (n < 1 || n > rowCount) {
        Warning(QStringLiteral("件数の値が不正です。\r\n1から%1までの数を入力してください。").arg(rowCount),
                QStringLiteral("無効な値"));
        count->clear();
        return;
    }
    const QString question = QStringLiteral("計算結果の上位\u3000") + IntToStr(n)
                             + QStringLiteral("\u3000件の距離が\r\n道のり距離に置き換わるまで\r\n距離を取得し続け、\r\n"
                                              "最安値を計算します。\r\n\r\n実行してもよろしいですか？");
    if (ShowMessage(question, QStringLiteral("確認"), MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes)
        return;

    // The search ranks by amount, as the estimator then sees it.
    velmora::ui::MainWindowState& state = m_host.State();
    m_controls.sortButtons->button(0)->setChecked(true);
    state.sortMode = 0;
    if (COutputDataManager* driver = m_host.Driver())
        driver->SetSortMode(0);
    if (state.resultList)
        state.resultList->RankByTotal();
    m_host.ShowCalcResult(false);

    QWidget* window = m_host.Window();
    window->setEnabled(false);
    m_running = true;
    m_stopRequested = false;
    m_windowClosing = false;
    m_failureReason.clear();
    m_unreachedLines.clear();
    m_beyondReachLines.clear();
    std::unique_ptr<TWaitCalcDialogForm> wait;
    // Whatever ends the search, an error included, the window comes back.
    OnExit restore([this, window, &wait] {
        wait.reset();
        window->setEnabled(true);
        m_running = false;
    });
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    wait = std::make_unique<TWaitCalcDialogForm>(window);
    QObject::connect(wait.get(), &TWaitCalcDialogForm::StopRequested, wait.get(), [this] { RequestStop(); });
    wait->show();

    // A route page of the office's own without the matrix call still gets
    // its sites one after another.
    const int failures = UsesMatrixSearch() && RoutePageOffersMatrix() ? SearchByMatrix(n) : SearchRowByRow(n);
    wait.reset();
    if (m_stopRequested)
        m_host.ShowCalcResult(false);
    if (!m_windowClosing)
        Report(failures, QDateTime::currentSecsSinceEpoch() - started);
}

void CheapestSiteSearch::RequestStop(bool windowClosing)
{
    if (!m_running)
        return;
    m_stopRequested = true;
    m_windowClosing = m_windowClosing || windowClosing;
    // A route asked for one site at a time is still taken when it comes
    // soon, unless the window closes.
    m_roads.StopWaiting(m_windowClosing ? 0 : StopGraceMs);
}

bool CheapestSiteSearch::WaitUnlessStopped(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_stopRequested && clock.elapsed() < ms)
        PauseProcessingEvents(static_cast<int>(std::min<qint64>(MatrixPollMs, ms - clock.elapsed())));
    return !m_stopRequested;
}

void CheapestSiteSearch::Report(int failures, qint64 seconds)
{
    const QString unreached = m_unreachedLines.isEmpty()
                                  ? QString()
                                  : QStringLiteral("\r\n\r\n道のり距離を取得できなかった処分場：\r\n") + m_unreachedLines;
    const QString beyond = m_beyondReachLines.isEmpty()
                               ? QString()
                               : QStringLiteral("\r\n\r\n順位を付けていない処分場：\r\n") + m_beyondReachLines;
    if (m_stopRequested) {
        ShowMessage(QStringLiteral("最安値の計算を中止しました。\r\nそれまでに取得した道のり距離は表に残っています。") + unreached + beyond,
                    QStringLiteral("計算中止"), MessageButtons::Ok, MessageIcon::Information);
        m_host.SetActivePage(PageCalcResult);
    } else if (failures >= FailuresToGiveUp) {
        Warning(QStringLiteral("最安値の計算に連続で失敗したため、\r\n処理を中断します。\r\n") + ReasonLine(m_failureReason)
                    + QStringLiteral("再度実行してください。") + unreached + beyond,
                QStringLiteral("計算失敗"));
        m_host.SetActivePage(PageCalcResult);
    } else {
        ShowMessage(QStringLiteral("計算が完了しました。\r\n所要時間：") + IntToStr(static_cast<int>(seconds)) + QStringLiteral("秒")
                        + unreached + beyond,
                    QStringLiteral("計算完了"), MessageButtons::Ok, MessageIcon::Information);
    }
}

void CheapestSiteSearch::NoteBeyondReach(const QString& siteKey)
{
    CDisplayCalcResultList* list = m_host.State().resultList;
    for (int r = 1; list && r <= list->Count(); ++r) {
        const CDisplayCalcResultData* row = list->RowAt(r);
        if (row && SiteKey(*row) == siteKey) {
            if (BeyondReach(row->GetTransportDistance()))
                m_beyondReachLines += BeyondReachLine(row->GetSiteName(), row->GetTransportDistance());
            return;
        }
    }
}

int CheapestSiteSearch::SearchRowByRow(int n)
{
    ResultGrid* grid = m_controls.grid;
    int failures = 0;
    for (int r = 1; r <= n && !m_stopRequested; ++r) {
        if (StrToFloat(grid->Cell(ResultGrid::DistanceColumn, r)) == 0) {
            m_host.State().selectedRow = r;
            const QString name = grid->Cell(1, r);
            CDisplayCalcResultList* list = m_host.State().resultList;
            const QString key = list && list->RowAt(r) ? SiteKey(*list->RowAt(r)) : QString();
            if (m_roads.Send() && !m_stopRequested)
                m_roads.Fetch(true);
            const bool failed = StrToFloat(grid->Cell(ResultGrid::DistanceColumn, r)) == 0 && grid->Cell(1, r) == name;
            if (failed) {
                ++failures;
                m_failureReason = m_roads.RoutePageReason();
            } else {
                NoteBeyondReach(key);
                // The ranking changed: from the top again.
                failures = 0;
                r = 0;
            }
        }
        if (failures == FailuresToGiveUp)
            break;
    }
    return failures;
}

bool CheapestSiteSearch::UsesMatrixSearch() const
{
    return !GetSharedWebDataDef()->ReadValue(names::section::javascript, names::key::calcMatrix).isEmpty();
}

bool CheapestSiteSearch::RoutePageOffersMatrix()
{
    velmora::web::WebBrowser* browser = m_host.RouteBrowser();
    CBrowserInterfaceOperate page(browser);
    const auto stopped = [this] { return m_stopRequested; };
    if (!browser->LocationURL().isEmpty() && browser->WaitForDocument(m_roads.routeLoadLimitMs, stopped)
        && page.HasInput(MatrixIn))
        return true;
    if (m_stopRequested)
        return false;
    // Not loaded yet, or it failed to load: once more.
    m_roads.LoadRoutePage();
    return browser->WaitForDocument(m_roads.routeLoadLimitMs, stopped) && page.HasInput(MatrixIn);
}

MatrixAnswer CheapestSiteSearch::RequestRoadDistances(const QList<CDisplayCalcResultData*>& rows)
{
    // A page out of sight has its timers slowed down to one a second.
    m_host.SetActivePage(PageGoogleMap);
    if (!RoutePageOffersMatrix())
        return Failed(QStringLiteral("GoogleMapsサイトが距離の一覧を扱えません"));
    velmora::web::WebBrowser* browser = m_host.RouteBrowser();
    CBrowserInterfaceOperate page(browser);

    QList<LatLon> destinations;
    for (const CDisplayCalcResultData* row : rows)
        destinations.append(LatLonOf(row->GetSiteX(), row->GetSiteY()));
    const QPointF jobSite = *m_roads.ShownJobSite();
    page.SetInputValue(MatrixOut, QString());
    page.SetInputValue(MatrixIn, velmora::web::MatrixRequestText(LatLonOf(jobSite.x(), jobSite.y()), destinations));
    browser->Navigate(GetSharedWebDataDef()->ReadValue(names::section::javascript, names::key::calcMatrix));
    m_host.State().routeSent = true;

    QElapsedTimer clock;
    clock.start();
    // A stop still takes the answer in flight when it comes soon.
    qint64 stoppedAt = -1;
    QString text;
    while ((text = page.GetInputValue(MatrixOut)).isEmpty()) {
        if (clock.elapsed() > MatrixWaitMs)
            return Failed(QStringLiteral("GoogleMapsサイトから%1秒以内に答えがありませんでした").arg(MatrixWaitMs / 1000));
        if (m_stopRequested && stoppedAt < 0)
            stoppedAt = clock.elapsed();
        if (stoppedAt >= 0 && (m_windowClosing || clock.elapsed() - stoppedAt > StopGraceMs))
            return Failed(QStringLiteral("中止しました"));
        PauseProcessingEvents(MatrixPollMs);
    }
    return velmora::web::ParseMatrixAnswer(text, static_cast<int>(rows.size()));
}

int CheapestSiteSearch::SearchByMatrix(int n)
{
    CDisplayCalcResultList*& list = m_host.State().resultList;
    // Sites the route page gave no usable road distance for in this search.
    QSet<QString> noRoute;
    const auto wanted = [&](const CDisplayCalcResultData* row) {
        return row && row->GetTransportDistance() == 0 && !noRoute.contains(SiteKey(*row));
    };
    // As when one site is asked for after another: every top row that gets
    // no distance is a failure, three in a row with no success between end
    // the search, a success starts the count again.
    int failures = 0;
    // A used-up quota passes after a wait: the request is made once more,
    // after a wait that grows with every refusal in this search.
    int quotaWait = quotaWaitMs;
    bool quotaRetried = false;
    while (failures < FailuresToGiveUp && list && m_roads.ShownJobSite() && !m_stopRequested) {
        QList<CDisplayCalcResultData*> rows;
        for (int r = 1; r <= n; ++r)
            if (wanted(list->RowAt(r)))
                rows.append(list->RowAt(r));
        if (rows.isEmpty())
            break;
        const int topRows = static_cast<int>(rows.size());
        // The rest of the table comes along in the same request: a re-sort
        // that brings one of them to the top then needs no request of its own.
        for (int r = n + 1; r <= list->Count() && rows.size() < velmora::web::MaxMatrixDestinations; ++r)
            if (wanted(list->RowAt(r)))
                rows.append(list->RowAt(r));
        while (rows.size() > velmora::web::MaxMatrixDestinations)
            rows.removeLast();

        const MatrixAnswer answer = RequestRoadDistances(rows);
        if (!answer.ok) {
            if (m_stopRequested)
                break;
            m_failureReason = answer.error;
            if (answer.kind == velmora::web::RouteFailureKind::Quota) {
                if (quotaRetried)
                    return FailuresToGiveUp;
                quotaRetried = true;
                if (!WaitUnlessStopped(quotaWait))
                    break;
                quotaWait *= 2;
                continue;
            }
            failures += topRows;
            continue;
        }
        quotaRetried = false;
        QStringList names;
        for (const CDisplayCalcResultData* row : rows)
            names.append(row->GetSiteName());
        int stored = 0;
        int topFailed = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const std::optional<double> km = answer.km.value(i);
            // 0 would read as "none". Beyond 60 km the distance is kept all the
            // same: the site is done, listed without a price or rank.
            const bool usable = km && *km > 0 && !velmora::calc::ShownDistanceBeyond(*km, velmora::calc::MaxTransportDistanceKm);
            if (usable) {
                rows[i]->SetTransportDistance(*km, CDisplayCalcResultData::DistanceSource::RoutePage, QDate::currentDate());
                if (BeyondReach(*km))
                    m_beyondReachLines += BeyondReachLine(names.at(i), *km);
                ++stored;
                continue;
            }
            // A site is asked for once a search: it is named once.
            noRoute.insert(SiteKey(*rows[i]));
            if (i < topRows)
                ++topFailed;
            if (km && *km > 0)
                m_unreachedLines += QStringLiteral("・%1：道のり距離 %2km は%3kmを超えるため、運搬距離にしませんでした\r\n")
                                        .arg(names.at(i), FloatToStr(*km))
                                        .arg(velmora::calc::MaxTransportDistanceKm);
        }
        // Every site left without a distance is named with the page's reason,
        // whatever it was: none is dropped silently.
        m_unreachedLines += velmora::web::SiteFailureLines(names, answer);
        failures = stored > 0 ? 0 : failures + topFailed;
        if (stored > 0)
            m_host.ShowCalcResult(false);
    }
    m_host.SetActivePage(PageCalcResult);
    return failures;
}

} // namespace velmora::app
