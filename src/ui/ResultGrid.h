#pragma once

#include "MainWindowState.h"
#include "calc/ResultRowTexts.h"
#include "calc/ShownDistance.h"

#include <QColor>
#include <QStringList>
#include <QTableView>
#include <array>
#include <functional>

class COutputDataManager;
class QLineEdit;
class CDisplayCalcResultData;

namespace velmora::ui {

class ResultCellModel;

// The result table. Rows are numbered as the estimator sees them: row 0 is
// the header, the sites start at row 1. The grid always keeps at least one
// (possibly empty) data row, so "two rows" means header plus one empty row.
class ResultGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = velmora::calc::ResultColumnCount;
    static constexpr int HeaderHeight = 45;
    static constexpr int RowHeight = 16;
    static constexpr int DistanceColumn = 3;
    static constexpr int FeeUnitColumn = 7;
    static constexpr int ManualFeeColumn = 9;
    static constexpr int RankColumn = 13;
    static constexpr int BandColumn = 14;
    // A distance beyond the sites' 60 km is taken and leaves its row unranked.
    static constexpr int MaxDistanceKm = velmora::calc::MaxTransportDistanceKm;
    // The largest fee that can be typed, far above any real price per m³,
    // so that no total can run past what a yen amount holds.
    static constexpr int MaxManualFee = 99999999;
    static QString ManualFeeRangeText();
    // The hint of a unit cell marked because the unit is not m³.
    static QString UnitCautionHint();

    // The same texts the command-line calculator writes.
    static const std::array<QString, ColumnCount>& HeaderTexts;
    static const std::array<int, ColumnCount> ColumnWidths;

    static QColor EditableColour() { return QColor(0, 255, 0); }
    static QColor RankColumnColour() { return QColor(255, 197, 255); }
    static QColor PlainColour() { return QColor(217, 255, 255); }
    static QColor RankColour(int rank);

    ResultGrid(MainWindowState& state, QWidget* parent = nullptr);
    ~ResultGrid() override;

    void setDriver(COutputDataManager* driver) { m_driver = driver; }
    // Called when a result is ready to be looked at (the result page).
    void setShowResultPage(std::function<void()> show) { m_showResultPage = std::move(show); }

    // Header row height, data row height and the column widths.
    void SetupLayout();

    int RowCount() const;
    void SetRowCount(int rows);
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // The current cell; row 0 when there is none.
    int Row() const;
    int Col() const;
    void SetCurrentCell(int col, int row);
    int ColWidth(int col) const;
    // True while a cell editor is open.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    void SetColWidth(int col, int width);

    // The 15 cell texts of one result row at list position `position`, as
    // every output of the program writes them.
    static QStringList RowTexts(const CDisplayCalcResultData& row, int position);

    void ShowCalcResult(bool costItemChanged);
    void ClearResultGrid();
    void RestoreSelectedRow(const QString& previousName);
    // Widens the unit column when a marked unit would not fit.
    void ShowUnitCautions();
    void ShowWholeBandTexts();

    void StringGridSelectCell(int col, int row);
    // `key` in/out; a null character discards the key.
    void StringGridKeyPress(QChar& key);
    // The same for a key typed into the cell editor `editor`, whose
    // selection the key replaces.
    void StringGridKeyPress(QChar& key, const QLineEdit* editor);
    // The editable cells' rule: whether `key` may be typed into a cell whose
    // text is `text` once the selection is gone.
    static bool CellKeyAccepted(const QString& text, QChar key);

    // The mark drawn beside the transport distance of a row: where the
    // distance came from, as the grid was last filled, after the mark of a
    // distance shorter than the straight line; empty for none.
    QString DistanceMark(int row) const;

    // The colour a data cell is filled with, by the same rules as drawing.
    QColor CellColour(int col, int row) const;

    // Routes a key pressed in the grid or in its cell editor through
    // StringGridKeyPress; true when the key must go no further.
    bool filterKey(QKeyEvent* event, const QLineEdit* editor = nullptr);

Q_SIGNALS:
    // The estimator selected another cell (row, col in grid numbering).
    void cellSelected(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Typing in a read-only cell must not jump to another row.
    void keyboardSearch(const QString&) override {}

private:
    MainWindowState& m_state;
    ResultCellModel* m_model;
    COutputDataManager* m_driver = nullptr;
    std::function<void()> m_showResultPage;
};

} // namespace velmora::ui
