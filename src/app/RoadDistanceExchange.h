#pragma once

#include <QDeadlineTimer>
#include <QPointF>
#include <QString>
#include <optional>

class QObject;
class QPushButton;

namespace velmora::ui {
class ResultGrid;
}

namespace velmora::app {

class MainWindowHost;

// The road-distance exchange with the route page: a disposal site of the
// shown result is sent from the shown job site, and the distance the page
// found is fetched back onto that site's row.
class RoadDistanceExchange
{
public:
    // The controls the exchange works with.
    struct Controls
    {
        velmora::ui::ResultGrid* grid = nullptr;
        QPushButton* fetchButton = nullptr;
    };

    RoadDistanceExchange(MainWindowHost& host, const Controls& controls);

    // How long a send waits for the route page, and a fetch for the route
    // (tests shorten it).
    int routeLoadLimitMs = 30000;
    static constexpr int DistancePauseMs = 300;

    // Sends the selected row's site. False when nothing was sent (no row,
    // or the route page did not load).
    bool Send();
    // Stores the distance the route page shows on the row of the site sent,
    // once the page has finished the route. A quiet fetch (the cheapest-site
    // search) tells nothing when it fails. False when no distance was stored,
    // or when a fetch was already waiting.
    bool Fetch(bool quiet);
    // Whether a send or a fetch waits for the route page.
    bool IsWaiting() const { return m_waiting || m_sending; }
    // Ends a send's or a fetch's wait. A fetch still takes a distance the
    // page answers within `graceMs`; 0 ends it at once, storing nothing
    // (the window closes).
    void StopWaiting(int graceMs = 0);

    // A calculation went through: its job site is the one shown, and what
    // was sent for an earlier one no longer counts.
    void CalculationShown();
    // The job site (plane X, Y in metres) of the calculation the grid shows;
    // empty before the first calculation.
    std::optional<QPointF> ShownJobSite() const { return m_shownJobSite; }
    // The route page, as the window's activation loads it.
    void LoadRoutePage();
    // Why the route page found no route, as it says; empty when it does not.
    QString RoutePageReason() const;

private:
    // Grid row of the site last sent to the route page; 0 when not shown.
    int RowOfSentSite() const;
    // Whether the route page shown offers the inputs a send writes.
    bool RoutePageReady();
    // Waits for the route page; the estimator is told when it did not load in time.
    bool RoutePageLoaded();

    struct RouteSite
    {
        bool known = false;
        QString name;
        double x = 0;
        double y = 0;
        // The job site the route started from.
        QPointF jobSite;
    };

    MainWindowHost& m_host;
    Controls m_controls;
    RouteSite m_routeSite;
    std::optional<QPointF> m_shownJobSite;
    bool m_waiting = false;
    bool m_sending = false;
    // Expires when a stopped wait is to end; never while nobody stopped it.
    QDeadlineTimer m_stopAt{QDeadlineTimer::Forever};
};

} // namespace velmora::app
