#include "ResultGrid.h"

#include "KeyCharacter.h"
#include "NumberField.h"
#include "ResultCellModel.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/ResultRowTexts.h"
#include "calc/ShorterThanStraight.h"
#include "calc/ShownDistance.h"
#include "data/CSyobunjoList.h"
#include "data/NumberText.h"
#include "platform/MessageBox.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

namespace velmora::ui {

const std::array<QString, ResultGrid::ColumnCount>& ResultGrid::HeaderTexts = velmora::calc::ResultHeaderTexts();

const std::array<int, ResultGrid::ColumnCount> ResultGrid::ColumnWidths = {32, 350, 45, 45, 45, 45, 54, 35,
                                                                          175, 53, 45, 55, 45, 30, 85};

QColor ResultGrid::RankColour(int rank)
{
    switch (rank) {
    case 1:
        return QColor(255, 0, 0);
    case 2:
        return QColor(255, 200, 40);
    case 3:
        return QColor(255, 255, 0);
    default:
        return QColor();
    }
}

namespace {

// Header of the grid: the fixed row 0 with its multi-line captions.
class ResultHeader : public QHeaderView
{
public:
    explicit ResultHeader(QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Interactive);
        setMinimumSectionSize(4);
        setFixedHeight(ResultGrid::HeaderHeight);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        painter->save();
        const QPalette& pal = palette();
        painter->fillRect(rect, pal.color(QPalette::Button));
        // The raised edge of a fixed cell.
        painter->setPen(pal.color(QPalette::Light));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
        painter->setPen(pal.color(QPalette::Dark));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());

        if (logicalIndex >= 0 && logicalIndex < ResultGrid::ColumnCount) {
            painter->setFont(font());
            painter->setPen(pal.color(QPalette::ButtonText));
            // Lines as tight as the 11-pixel face allows, so three of them fit
            // under the 4-pixel top margin of the 45-pixel row.
            const int lineHeight = qMax(QFontInfo(font()).pixelSize() + 2, 1);
            const QStringList lines =
                ResultGrid::HeaderTexts[static_cast<std::size_t>(logicalIndex)].split(QStringLiteral("\r\n"));
            int top = rect.top() + 4;
            for (const QString& line : lines) {
                const QRect lineRect(rect.left(), top, rect.width(), lineHeight);
                painter->drawText(lineRect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, line);
                top += lineHeight;
            }
        }
        painter->restore();
    }
};

// Paints the cells in their column and rank colours and edits the two
// editable columns. The editor writes through on every keystroke, so a
// cell's text is always what the estimator sees, also while editing.
class ResultCellDelegate : public QStyledItemDelegate
{
public:
    explicit ResultCellDelegate(ResultGrid* grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->save();
        painter->setFont(m_grid->font());
        painter->setPen(m_grid->palette().color(QPalette::WindowText));
        painter->fillRect(r, m_grid->CellColour(index.column(), index.row() + 1));
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        // The cell keeps the bare figure for editing; the mark is drawn beside it.
        if (index.column() == ResultGrid::DistanceColumn)
            painter->drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                              m_grid->DistanceMark(index.row() + 1));
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setFont(m_grid->font());
        // Typed characters must pass the grid's key filter; an input method
        // would hand in text that never went through it.
        editor->setAttribute(Qt::WA_InputMethodEnabled, false);
        MakeNumberField(editor, &ResultGrid::CellKeyAccepted,
                        index.column() == ResultGrid::ManualFeeColumn ? velmora::data::CopiedNumberKind::Fee
                                                                      : velmora::data::CopiedNumberKind::Distance);
        auto* self = const_cast<ResultCellDelegate*>(this);
        QObject::connect(editor, &QLineEdit::textEdited, self, [self, editor] { Q_EMIT self->commitData(editor); });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        // Rewriting the same text would throw the cursor to the end.
        if (line->text() != text)
            line->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // The view installs this filter on the editor, so the grid's key
        // rules run before the editor or the default Enter handling.
        if (event->type() == QEvent::KeyPress
            && m_grid->filterKey(static_cast<QKeyEvent*>(event), qobject_cast<QLineEdit*>(object)))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    ResultGrid* m_grid;
};

// Repainting stays off while the rows are rebuilt and comes back on every
// way out, an error in the calculation included.
class RepaintSuspension
{
public:
    explicit RepaintSuspension(QWidget* w)
        : m_widget(w)
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~RepaintSuspension() { resume(); }
    void resume()
    {
        if (m_widget) {
            m_widget->setUpdatesEnabled(true);
            m_widget = nullptr;
        }
    }

private:
    QWidget* m_widget;
};

} // namespace

ResultGrid::ResultGrid(MainWindowState& state, QWidget* parent)
    : QTableView(parent)
    , m_state(state)
    , m_model(new ResultCellModel(this))
{
    setObjectName(QStringLiteral("StringGrid"));
    setHorizontalHeader(new ResultHeader(this));
    setModel(m_model);
    setItemDelegate(new ResultCellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    setShowGrid(true);
    setWordWrap(false);
    // The current row is painted by the cell drawing; a selection band would
    // paint over it in the style's colours.
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setCurrentIndex(m_model->index(0, 0));
}

ResultGrid::~ResultGrid() = default;

void ResultGrid::SetupLayout()
{
    horizontalHeader()->setFixedHeight(HeaderHeight);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, ColumnWidths[static_cast<std::size_t>(c)]);
}

int ResultGrid::RowCount() const
{
    return m_model->rowCount() + 1;
}

void ResultGrid::SetRowCount(int rows)
{
    m_model->resize(qMax(rows, 2) - 1);
}

QString ResultGrid::Cell(int col, int row) const
{
    return m_model->text(row - 1, col);
}

void ResultGrid::SetCell(int col, int row, const QString& text)
{
    m_model->setText(row - 1, col, text);
}

int ResultGrid::Row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int ResultGrid::Col() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 0;
}

void ResultGrid::SetCurrentCell(int col, int row)
{
    const QModelIndex i = m_model->index(row - 1, col);
    if (i.isValid())
        setCurrentIndex(i);
}

int ResultGrid::ColWidth(int col) const
{
    return columnWidth(col);
}

void ResultGrid::SetColWidth(int col, int width)
{
    setColumnWidth(col, width);
}

QString ResultGrid::DistanceMark(int row) const
{
    const QString mark = velmora::calc::DistanceSourceMark(m_model->source(row - 1));
    return m_model->shortDistanceHint(row - 1).isEmpty() ? mark : velmora::calc::ShorterThanStraightMark() + mark;
}

QStringList ResultGrid::RowTexts(const CDisplayCalcResultData& row, int position)
{
    return velmora::calc::ResultRowTexts(row, position);
}

void ResultGrid::ShowCalcResult(bool costItemChanged)
{
    if (!m_driver)
        return;
    const QString previousName = Cell(1, m_state.selectedRow);
    m_driver->SetSortMode(m_state.sortMode);

    RepaintSuspension suspension(this);
    // Cleared only once the calculation went through: a failed one leaves
    // the rows it could not replace on show, and the driver still holds them.
    m_state.resultList = &m_driver->Calculate(costItemChanged);
    ClearResultGrid();

    std::vector<ResultCellModel::Row> rows;
    std::vector<CDisplayCalcResultData::DistanceSource> sources;
    std::vector<QString> shortHints;
    int position = 1;
    for (m_state.resultList->MoveFirst(); !m_state.resultList->IsEnd(); m_state.resultList->MoveNext()) {
        const QStringList texts = RowTexts(m_state.resultList->Current(), position++);
        ResultCellModel::Row row;
        for (int c = 0; c < ColumnCount; ++c)
            row[static_cast<std::size_t>(c)] = texts.at(c);
        rows.push_back(std::move(row));
        sources.push_back(m_state.resultList->Current().GetDistanceSource());
        const CDisplayCalcResultData& current = m_state.resultList->Current();
        shortHints.push_back(velmora::calc::ShorterThanStraight(current) ? velmora::calc::ShorterThanStraightHint(current)
                                                                          : QString());
    }

    if (rows.empty()) {
        suspension.resume();
        // No site at all is not a question of the coordinates: the register
        // could not be read, or every site in it was left out as damaged.
        const bool noSites = m_driver && m_driver->CurrentRegister() && m_driver->CurrentRegister()->Count() == 0;
        platform::ShowMessage(noSites ? QStringLiteral("この処分費目には使える処分場が一件もありません。\r\n"
                                                       "処分場のデータ（ET19.dat・EC01.dat・SyobunjoKikakuSource.ini）を"
                                                       "読めなかったか、誤りのある処分場をすべて外しました。\r\n"
                                                       "起動時に名前を挙げたファイルを直すよう、データを配布している事務所に依頼してください。")
                                      : QStringLiteral("60km以内に登録された処分場が見つかりませんでした。\r\n"
                                                       "入力された座標を確認してください。"),
                              QStringLiteral("計算結果"), platform::MessageButtons::Ok,
                              platform::MessageIcon::Information);
        return;
    }

    const int col = Col();
    m_model->assign(std::move(rows), std::move(sources), std::move(shortHints));
    setCurrentIndex(m_model->index(0, col));
    RestoreSelectedRow(previousName);
    ShowUnitCautions();
    ShowWholeBandTexts();
    suspension.resume();
    viewport()->repaint();
    if (m_showResultPage)
        m_showResultPage();
}

QString ResultGrid::UnitCautionHint()
{
    return QStringLiteral("処分費の単位が m3 ではありません。合計は、この処分費を 1m3 当たりとみなして"
                          "運搬費（円/m3）に足した値です。");
}

void ResultGrid::ShowUnitCautions()
{
    // The unit column is narrow: a marked unit widens it so the mark shows.
    int wanted = 0;
    for (int r = 1; r < RowCount(); ++r) {
        const QString unit = Cell(FeeUnitColumn, r);
        if (unit.endsWith(velmora::calc::UnitCautionText()))
            wanted = qMax(wanted, fontMetrics().horizontalAdvance(unit) + 6);
    }
    if (wanted > columnWidth(FeeUnitColumn))
        setColumnWidth(FeeUnitColumn, wanted);
}

void ResultGrid::ShowWholeBandTexts()
{
    // "上限値を超えています" and a data-error reason are longer than any band
    // limit; the name column, wider than its longest name, gives up the room.
    int band = 0;
    int name = 0;
    for (int r = 1; r < RowCount(); ++r) {
        band = qMax(band, fontMetrics().horizontalAdvance(Cell(BandColumn, r)) + 8);
        name = qMax(name, fontMetrics().horizontalAdvance(Cell(1, r)) + 8);
    }
    const int extra = qMin(band - columnWidth(BandColumn), columnWidth(1) - name);
    if (extra <= 0)
        return;
    setColumnWidth(1, columnWidth(1) - extra);
    setColumnWidth(BandColumn, columnWidth(BandColumn) + extra);
}

void ResultGrid::ClearResultGrid()
{
    const int col = Col();
    m_model->assign(std::vector<ResultCellModel::Row>(1));
    setCurrentIndex(m_model->index(0, col));
}

void ResultGrid::RestoreSelectedRow(const QString& previousName)
{
    int row = 1;
    if (!previousName.isEmpty()) {
        for (int r = 1; r < RowCount(); ++r) {
            if (Cell(1, r) == previousName) {
                row = r;
                break;
            }
        }
    }
    m_state.selectedRow = row;
    SetCurrentCell(Col(), row);
}

QColor ResultGrid::CellColour(int col, int row) const
{
    if (row == Row())
        return palette().color(QPalette::Active, QPalette::Highlight);
    if (col == DistanceColumn || col == ManualFeeColumn)
        return EditableColour();
    if (col == RankColumn)
        return RankColumnColour();
    const QString rank = Cell(RankColumn, row);
    if (rank == QStringLiteral("1"))
        return RankColour(1);
    if (rank == QStringLiteral("2"))
        return RankColour(2);
    if (rank == QStringLiteral("3"))
        return RankColour(3);
    return PlainColour();
}

void ResultGrid::StringGridSelectCell(int col, int row)
{
    if (!Cell(1, row).isEmpty())
        m_state.selectedRow = row;
    viewport()->update();
    Q_EMIT cellSelected(col, row);
}

bool ResultGrid::CellKeyAccepted(const QString& text, QChar key)
{
    if (key == u'.')
        return !text.contains(u'.');
    return key >= u'0' && key <= u'9';
}

void ResultGrid::StringGridKeyPress(QChar& key)
{
    StringGridKeyPress(key, nullptr);
}

void ResultGrid::StringGridKeyPress(QChar& key, const QLineEdit* editor)
{
    const int r = m_state.selectedRow;
    const int c = Col();
    // A typed character replaces the editor's selection: the rules judge
    // what is left of the cell's text.
    const bool selection = editor && editor->hasSelectedText();
    QString rest = Cell(c, r);
    if (selection)
        rest = editor->text().remove(editor->selectionStart(), editor->selectedText().size());

    if (key == u'\r') {
        // Without a shown result there is no row to write into.
        if (!m_state.resultList || r < 1 || r >= RowCount())
            return;
        const double d = StrToFloatDefault(Cell(DistanceColumn, r), 0);
        // Judged as the cell shows the distance, like every limit of the figures.
        if (!velmora::calc::ShownDistanceWithin(d, MaxDistanceKm)) {
            platform::ShowMessage(velmora::calc::TransportDistanceRangeText(),
                                  QStringLiteral("無効な値"), platform::MessageButtons::Ok,
                                  platform::MessageIcon::Exclamation);
            SetCell(DistanceColumn, r, QStringLiteral("0"));
            return;
        }
        // A fee beyond any real price could carry the total past what a
        // yen amount holds and show it negative, ranked first.
        const QString feeText = Cell(ManualFeeColumn, r);
        const bool digitsOnly = !feeText.isEmpty()
                                && std::all_of(feeText.begin(), feeText.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; });
        bool fits = false;
        const qlonglong fee = feeText.toLongLong(&fits);
        if (digitsOnly && (!fits || fee > MaxManualFee)) {
            platform::ShowMessage(ManualFeeRangeText(), QStringLiteral("無効な値"), platform::MessageButtons::Ok,
                                  platform::MessageIcon::Exclamation);
            SetCell(ManualFeeColumn, r, QStringLiteral("0"));
            return;
        }
        CDisplayCalcResultData* row = m_state.resultList->FindByName(Cell(1, r));
        if (!row)
            return;
        // A road is never shorter than the straight line: a slip would rank
        // the site first. Asked for a new distance only; No keeps the old one.
        if (d != row->GetTransportDistance() && velmora::calc::ShorterThanStraight(d, row->GetStraightDistance())
            && platform::ShowMessage(
                   velmora::calc::ShorterThanStraightQuestion(row->GetSiteName(), d, row->GetStraightDistance()),
                   QStringLiteral("運搬距離の確認"), platform::MessageButtons::YesNo, platform::MessageIcon::Question)
                   != platform::MessageAnswer::Yes) {
            SetCell(DistanceColumn, r, FloatToStr(row->GetTransportDistance()));
            return;
        }
        row->CommitTypedTransportDistance(d);
        row->SetManualFee(StrToIntDefault(feeText, 0));
        ShowCalcResult(false);
        return;
    }
    if (key == u'\b') {
        // Read-only cells are never written; an editable one never empties.
        if (c != DistanceColumn && c != ManualFeeColumn)
            key = QChar();
        else if (selection ? rest.isEmpty() : rest.size() == 1) {
            SetCell(c, r, QStringLiteral("0"));
            key = QChar();
        }
        return;
    }
    if (!CellKeyAccepted(rest, key))
        key = QChar();
}

QString ResultGrid::ManualFeeRangeText()
{
    return QStringLiteral("処分費手入力は0円以上%1円以下の整数を入力してください。").arg(MaxManualFee);
}

bool ResultGrid::filterKey(QKeyEvent* event, const QLineEdit* editor)
{
    // A paste goes to the editor, whose validator judges the text it makes.
    if (IsEditingShortcut(event))
        return false;
    QChar key = TypedNumberCharacter(event);
    if (key.isNull())
        return false;
    const bool enter = key == u'\r';
    StringGridKeyPress(key, editor);
    // Enter has done its work: the grid was rebuilt and its editor with it.
    return enter || key.isNull();
}

void ResultGrid::keyPressEvent(QKeyEvent* event)
{
    if (filterKey(event))
        return;
    QTableView::keyPressEvent(event);
}

void ResultGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        StringGridSelectCell(current.column(), current.row() + 1);
}

} // namespace velmora::ui
