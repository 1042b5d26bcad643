#pragma once

#include "MainWindowState.h"
#include "calc/ResultPlaces.h"

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QWebEngineView;

namespace velmora::ui {

class ResultMapPage;

// The page "地図": the result on a map, drawn by a local web page with the
// map library shipped beside the program. Nothing of the browser is made
// until the page is first shown, so the start of the program does not wait
// for it. The widget keeps the page in step with the result and the grid's
// selection; it never owns or changes either.
class ResultMap : public QWidget
{
    Q_OBJECT

public:
    struct Tiles
    {
        QString address; // with {z}, {x}, {y}; empty: no tiles at all
        QString attribution;
    };
    // The result to show: none before the first calculation.
    using PlacesSource = std::function<std::optional<velmora::calc::ResultPlaces>()>;

    // The tiles are those of the web-site definitions when the page loads.
    ResultMap(MainWindowState& state, PlacesSource places, QWidget* parent = nullptr);
    ~ResultMap() override;

    // The page beside the executable: map/resultmap.html.
    static QString DefaultPageFile();
    void setPageFile(const QString& path) { m_pageFile = path; }
    // The tile address and credit of the web-site definitions.
    static Tiles TilesOfDefinitions();

    // The result or the order of its rows changed: the markers follow once
    // the events of the change are through, however many cells it touched.
    void ResultChanged();
    // The grid's selected row changed.
    void SelectionChanged();

    // True once the page is loaded and has been given the result.
    bool isReady() const { return m_ready; }
    // The browser, once made; null before the page was first shown.
    QWebEngineView* view() const { return m_view; }
    // The state last given to the page, as its script reads it.
    QString StateJson() const;

    static QColor MarkerColour(int rank);
    // The search radius drawn around the job site.
    static constexpr int RadiusMetres = 60000;

Q_SIGNALS:
    // The estimator clicked the marker of the row at list position `position`.
    void siteClicked(int position);
    // The page is loaded and shows the result.
    void ready();

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class ResultMapPage;
    void Load();
    void Loaded(bool ok);
    void Push();
    void Report(const QString& message);

    MainWindowState& m_state;
    PlacesSource m_places;
    QString m_pageFile;
    QWebEngineView* m_view = nullptr;
    QLabel* m_problem = nullptr;
    bool m_ready = false;
    bool m_pushPending = false;
};

} // namespace velmora::ui
