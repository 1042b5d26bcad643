#pragma once

#include "ResultGrid.h"
#include "calc/CDisplayCalcResultData.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

namespace velmora::ui {

// The cell texts of the result grid; model row i is grid row i + 1. The
// tooltips carry the legend of the distance marks and the hint of a marked
// unit.
class ResultCellModel : public QAbstractTableModel
{
public:
    using Row = std::array<QString, ResultGrid::ColumnCount>;

    explicit ResultCellModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The legend of the distance marks, on the distance column's header.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    CDisplayCalcResultData::DistanceSource source(int row) const;
    // The tip of a distance shorter than the straight line; empty for none.
    QString shortDistanceHint(int row) const;
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& value);
    void resize(int rows);
    void assign(std::vector<Row> rows, std::vector<CDisplayCalcResultData::DistanceSource> sources = {},
                std::vector<QString> shortDistanceHints = {});

private:
    std::vector<Row> m_rows;
    // Where each row's transport distance came from, as the list said when
    // the grid was filled.
    std::vector<CDisplayCalcResultData::DistanceSource> m_sources;
    std::vector<QString> m_shortDistanceHints;
};

} // namespace velmora::ui
