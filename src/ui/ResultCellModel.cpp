#include "ResultCellModel.h"

#include "calc/COutputDataManager.h"
#include "calc/ResultRowTexts.h"
#include "calc/ShownDistance.h"
#include "data/NumberText.h"

#include <QDate>
#include <cmath>
#include <utility>

namespace velmora::ui {

ResultCellModel::ResultCellModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(1)
{
}

int ResultCellModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultCellModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ResultGrid::ColumnCount;
}

QVariant ResultCellModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && role == Qt::ToolTipRole && index.column() == ResultGrid::DistanceColumn) {
        QString tip = velmora::calc::DistanceSourceLegend(source(index.row()));
        if (source(index.row()) == CDisplayCalcResultData::DistanceSource::RoutePage)
            tip += u'\n' + velmora::calc::GoogleAttributionText(QDate::currentDate().year());
        const QString shortHint = shortDistanceHint(index.row());
        return shortHint.isEmpty() ? tip : tip + u'\n' + shortHint;
    }
    if (index.isValid() && role == Qt::ToolTipRole && index.column() == ResultGrid::FeeUnitColumn
        && text(index.row(), index.column()).endsWith(velmora::calc::UnitCautionText()))
        return ResultGrid::UnitCautionHint();
    // A row left unranked because its distance lies beyond the sites' reach
    // says so where the estimator looks for its rank.
    if (index.isValid() && role == Qt::ToolTipRole
        && (index.column() == ResultGrid::RankColumn || index.column() == ResultGrid::BandColumn)
        && text(index.row(), ResultGrid::RankColumn).isEmpty()) {
        const double km = StrToFloatDefault(text(index.row(), ResultGrid::DistanceColumn), 0);
        if (std::isfinite(km) && velmora::calc::ShownDistanceBeyond(km, COutputDataManager::SearchRadiusKm))
            return velmora::calc::BeyondReachLegend();
    }
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row(), index.column());
}

QVariant ResultCellModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section == ResultGrid::DistanceColumn) {
        using Source = CDisplayCalcResultData::DistanceSource;
        return velmora::calc::DistanceSourceLegend(Source::RoutePage) + u'\n'
               + velmora::calc::GoogleAttributionText(QDate::currentDate().year()) + u'\n'
               + velmora::calc::DistanceSourceLegend(Source::Typed);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

CDisplayCalcResultData::DistanceSource ResultCellModel::source(int row) const
{
    return row >= 0 && row < static_cast<int>(m_sources.size()) ? m_sources[static_cast<std::size_t>(row)]
                                                                : CDisplayCalcResultData::DistanceSource::None;
}

QString ResultCellModel::shortDistanceHint(int row) const
{
    return row >= 0 && row < static_cast<int>(m_shortDistanceHints.size())
               ? m_shortDistanceHints[static_cast<std::size_t>(row)]
               : QString();
}

bool ResultCellModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags ResultCellModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ResultGrid::DistanceColumn || index.column() == ResultGrid::ManualFeeColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

QString ResultCellModel::text(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= ResultGrid::ColumnCount)
        return {};
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void ResultCellModel::setText(int row, int col, const QString& value)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= ResultGrid::ColumnCount)
        return;
    QString& cell = m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == value)
        return;
    cell = value;
    const QModelIndex i = index(row, col);
    Q_EMIT dataChanged(i, i);
}

void ResultCellModel::resize(int rows)
{
    rows = qMax(rows, 0);
    const int old = rowCount();
    if (rows > old) {
        beginInsertRows(QModelIndex(), old, rows - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        m_rows.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    }
}

void ResultCellModel::assign(std::vector<Row> rows, std::vector<CDisplayCalcResultData::DistanceSource> sources,
                             std::vector<QString> shortDistanceHints)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_sources = std::move(sources);
    m_shortDistanceHints = std::move(shortDistanceHints);
    endResetModel();
}

} // namespace velmora::ui
