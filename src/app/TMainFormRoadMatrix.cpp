// The cheapest-site search through the route page's matrix call: the road
// distances of many disposal sites in one request, instead of one send and
// one fetch per site.
#include "TMainForm.h"

#include "calc/CDisplayCalcResultList.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "ui/ResultGrid.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/CBrowserInterfaceOperate.h"

#include <QElapsedTimer>
#include <QSet>

namespace names = velmora::web::names;
using velmora::web::LatLon;
using velmora::web::MatrixAnswer;

namespace {

// How long one matrix request may take, and how often its answer is looked for.
constexpr int MatrixWaitMs = 30000;
constexpr int MatrixPollMs = 50;

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

MatrixAnswer Failed(const QString& why)
{
    MatrixAnswer answer;
    answer.error = why;
    return answer;
}

} // namespace

bool TMainForm::UsesMatrixSearch() const
{
    return !GetSharedWebDataDef()->ReadValue(names::section::javascript, names::key::calcMatrix).isEmpty();
}

bool TMainForm::RoutePageOffersMatrix()
{
    CBrowserInterfaceOperate page(BrowserGoogleMaps);
    if (!BrowserGoogleMaps->LocationURL().isEmpty() && BrowserGoogleMaps->WaitForDocument(routeLoadLimitMs)
        && page.HasInput(MatrixIn))
        return true;
    // Not loaded yet, or it failed to load: once more.
    BrowserGoogleMaps->Navigate(GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::GoogleMaps));
    return BrowserGoogleMaps->WaitForDocument(routeLoadLimitMs) && page.HasInput(MatrixIn);
}

MatrixAnswer TMainForm::RequestRoadDistances(const QList<CDisplayCalcResultData*>& rows)
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    // A page out of sight has its timers slowed down to one a second.
    SetActivePage(PageGoogleMap);
    if (!RoutePageOffersMatrix())
        return Failed(QStringLiteral("GoogleMapsサイトが距離の一覧を扱えません"));
    CBrowserInterfaceOperate page(BrowserGoogleMaps);

    QList<LatLon> destinations;
    for (const CDisplayCalcResultData* row : rows)
        destinations.append(LatLonOf(row->GetSiteX(), row->GetSiteY()));
    page.SetInputValue(MatrixOut, QString());
    page.SetInputValue(MatrixIn, velmora::web::MatrixRequestText(LatLonOf(m_shownJobSite->x(), m_shownJobSite->y()),
                                                                 destinations));
    BrowserGoogleMaps->Navigate(def->ReadValue(names::section::javascript, names::key::calcMatrix));
    routeSent = true;

    QElapsedTimer clock;
    clock.start();
    QString text;
    while ((text = page.GetInputValue(MatrixOut)).isEmpty()) {
        if (clock.elapsed() > MatrixWaitMs)
            return Failed(QStringLiteral("GoogleMapsサイトから%1秒以内に答えがありませんでした").arg(MatrixWaitMs / 1000));
        PauseProcessingEvents(MatrixPollMs);
    }
    return velmora::web::ParseMatrixAnswer(text, static_cast<int>(rows.size()));
}

int TMainForm::MatrixSearch(int n)
{
    // Sites the route page found no usable road distance for in this search.
    QSet<QString> noRoute;
    const auto wanted = [&](const CDisplayCalcResultData* row) {
        return row && row->GetTransportDistance() == 0 && !noRoute.contains(SiteKey(*row));
    };
    // As when one site is asked for after another: every top row that gets
    // no distance is a failure, three in a row with no success between end
    // the search, a success starts the count again.
    int failures = 0;
    while (failures < 3 && resultList && m_shownJobSite) {
        QList<CDisplayCalcResultData*> rows;
        for (int r = 1; r <= n; ++r)
            if (wanted(resultList->RowAt(r)))
                rows.append(resultList->RowAt(r));
        if (rows.isEmpty())
            break;
        const int topRows = static_cast<int>(rows.size());
        // The rest of the table comes along in the same request: a re-sort
        // that brings one of them to the top then needs no request of its own.
        for (int r = n + 1; r <= resultList->Count() && rows.size() < velmora::web::MaxMatrixDestinations; ++r)
            if (wanted(resultList->RowAt(r)))
                rows.append(resultList->RowAt(r));
        while (rows.size() > velmora::web::MaxMatrixDestinations)
            rows.removeLast();

        const MatrixAnswer answer = RequestRoadDistances(rows);
        if (!answer.ok) {
            failures += topRows;
            continue;
        }
        int stored = 0;
        int topFailed = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const std::optional<double> km = answer.km.value(i);
            // Beyond 60 km the tables have no transport cost; 0 would read as "none".
            if (km && *km > 0 && *km <= velmora::ui::ResultGrid::MaxDistanceKm) {
                rows[i]->SetTransportDistance(*km, CDisplayCalcResultData::DistanceSource::RoutePage);
                ++stored;
            } else {
                noRoute.insert(SiteKey(*rows[i]));
                if (i < topRows)
                    ++topFailed;
            }
        }
        failures = stored > 0 ? 0 : failures + topFailed;
        if (stored > 0)
            ShowCalcResult(false);
    }
    SetActivePage(PageCalcResult);
    return failures;
}
