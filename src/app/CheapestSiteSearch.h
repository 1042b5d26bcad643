#pragma once

#include "web/RoadDistanceMatrix.h"

#include <QChar>
#include <QList>
#include <QString>

class CDisplayCalcResultData;
class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace velmora::ui {
class ResultGrid;
}

namespace velmora::app {

class MainWindowHost;
class RoadDistanceExchange;

// The cheapest-site search: road distances for the top rows of the result,
// asked for until those rows rest on road distances (the ranking changes
// with every distance stored), until three failures in a row, or until the
// estimator stops it (the wait dialog's "中止", its ×, closing the window).
// What was stored until then stays.
class CheapestSiteSearch
{
public:
    struct Controls
    {
        velmora::ui::ResultGrid* grid = nullptr;
        // How many top rows ("上位 … 件").
        QLineEdit* countField = nullptr;
        QPushButton* startButton = nullptr;
        // By amount (0) or by distance (1).
        QButtonGroup* sortButtons = nullptr;
    };

    CheapestSiteSearch(MainWindowHost& host, RoadDistanceExchange& roads, const Controls& controls);

    // Checks the table and the count, asks, then searches with the wait
    // dialog up and the window disabled, and tells how it ended.
    void Run();
    bool IsRunning() const { return m_running; }
    // Ends a running search after the request in flight (given a few seconds
    // to come back). A search stopped for the window's closing ends without
    // a word: the window then closes.
    void RequestStop(bool windowClosing = false);

    // The first wait before a request the route page's quota refused is made
    // once more; it doubles with every further refusal (tests shorten it).
    int quotaWaitMs = 3000;
    // Filters a character typed in the count field: half-width digits only,
    // five at most; Enter moves to the start button. A null key is dropped.
    void FilterCountKey(QChar& key);

private:
    // One site after another: send, fetch, and from the top again after
    // every success. The failures in a row at the end.
    int SearchRowByRow(int n);
    // Many sites per request through the route page's matrix call, when the
    // definitions name one. The failures in a row at the end.
    int SearchByMatrix(int n);
    bool UsesMatrixSearch() const;
    // Whether the route page (loaded again when it is not shown) offers the matrix call.
    bool RoutePageOffersMatrix();
    velmora::web::MatrixAnswer RequestRoadDistances(const QList<CDisplayCalcResultData*>& rows);
    // Lets events through for `ms`; false when a stop cut the wait short.
    bool WaitUnlessStopped(int ms);
    // Tells how the search ended: stopped, given up, or complete with the
    // sites that got no road distance and why.
    void Report(int failures, qint64 seconds);
    // Names the site `siteKey` in the report when the road distance it got
    // lies beyond the sites' reach.
    void NoteBeyondReach(const QString& siteKey);

    MainWindowHost& m_host;
    RoadDistanceExchange& m_roads;
    Controls m_controls;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_windowClosing = false;
    // Why the last request failed, as the route page said.
    QString m_failureReason;
    // "・site：reason" for every site left without a road distance.
    QString m_unreachedLines;
    // "・site：road distance beyond 60 km" for every site kept unranked.
    QString m_beyondReachLines;
};

} // namespace velmora::app
