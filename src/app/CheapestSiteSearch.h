#pragma once

#include "web/RoadDistanceMatrix.h"

#include <QChar>
#include <QList>

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
// with every distance stored), or until three failures in a row.
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

    MainWindowHost& m_host;
    RoadDistanceExchange& m_roads;
    Controls m_controls;
};

} // namespace velmora::app
