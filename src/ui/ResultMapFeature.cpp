#include "ResultMapFeature.h"

#include "Placement.h"
#include "ResultExport.h"
#include "ResultGrid.h"
#include "ResultMap.h"
#include "calc/COutputDataManager.h"
#include "calc/ResultPlaces.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTabWidget>

namespace velmora::ui {

ResultMapFeature::ResultMapFeature(ResultMapHost host)
    : m_host(std::move(host))
{
    MainWindowState& state = m_host.state;
    auto driver = m_host.driver;
    m_map = new ResultMap(state, [&state, driver]() -> std::optional<velmora::calc::ResultPlaces> {
        const COutputDataManager* d = driver ? driver() : nullptr;
        if (!state.resultList || !d)
            return std::nullopt;
        return velmora::calc::PlaceResults(*state.resultList, d->JobSite());
    });
    m_host.pages->addTab(m_map, PageCaption());

    // The grid is rewritten cell by cell at every recalculation and re-sort;
    // the map follows the rows, not the cells, once the rewrite is through.
    QAbstractItemModel* model = m_host.grid->model();
    QObject::connect(model, &QAbstractItemModel::modelReset, m_map, &ResultMap::ResultChanged);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, m_map, &ResultMap::ResultChanged);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, m_map, &ResultMap::ResultChanged);
    QObject::connect(model, &QAbstractItemModel::dataChanged, m_map, &ResultMap::ResultChanged);
    QObject::connect(m_host.grid, &ResultGrid::cellSelected, m_map, &ResultMap::SelectionChanged);
    ResultGrid* grid = m_host.grid;
    QObject::connect(m_map, &ResultMap::siteClicked, grid, [grid](int position) {
        if (position < grid->RowCount() && !grid->Cell(1, position).isEmpty())
            grid->SetCurrentCell(1, position); // the name column: no cell editor opens
    });

    m_save = MakeButton(QStringLiteral("ButtonSaveGeoJson"), ResultExport::GeoJsonCaption(), m_host.resultPanel,
                        QRect(760, 71, 170, 19));
    m_save->setToolTip(QStringLiteral("工事現場と処分場の位置を、表の各列とともに GeoJSON ファイルに保存します（GIS で開けます）"));
    ResultExport* exports = m_host.exports;
    QObject::connect(m_save, &QPushButton::clicked, m_save, [exports] { exports->SaveGeoJson(); });
}

PlacedBlock ResultMapFeature::ButtonBlock() const
{
    PlacedBlock block;
    block.add(m_save);
    return block;
}

} // namespace velmora::ui
