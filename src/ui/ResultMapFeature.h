#pragma once

#include "FlowPlacement.h"
#include "MainWindowState.h"

#include <QString>
#include <functional>

class COutputDataManager;
class QPushButton;
class QTabWidget;
class QWidget;

namespace velmora::ui {

class ResultExport;
class ResultGrid;
class ResultMap;

// What the result map needs of the main window.
struct ResultMapHost
{
    MainWindowState& state;
    QTabWidget* pages;      // the page "地図" is added last
    ResultGrid* grid;       // selection both ways, and the result it shows
    QWidget* resultPanel;   // the result page's top panel: "GeoJSON保存"
    ResultExport* exports;  // writes the GeoJSON file
    // The driver, for the job site its rows were measured from; null before start-up made it.
    std::function<const COutputDataManager*()> driver;
};

// The result on a map: the page "地図" kept in step with the result grid
// (the grid's selection marks a marker, a marker's click selects its row, a
// recalculation or re-sort moves the markers) and the button that saves the
// result as a GeoJSON file.
class ResultMapFeature
{
public:
    explicit ResultMapFeature(ResultMapHost host);

    static QString PageCaption() { return QStringLiteral("地図"); }

    ResultMap* map() const { return m_map; }
    QPushButton* saveButton() const { return m_save; }
    // The button's place in the result page's top panel.
    PlacedBlock ButtonBlock() const;

private:
    ResultMapHost m_host;
    ResultMap* m_map = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace velmora::ui
