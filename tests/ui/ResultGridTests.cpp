#include "app/MainWindowFixture.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/ShorterThanStraight.h"
#include "data/NumberText.h"
#include "ui/EvidenceSheet.h"
#include "ui/KeyCharacter.h"
#include "ui/NumberField.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolTip>

using namespace velmora::test;
using velmora::ui::ResultGrid;

namespace {

class ResultGridTest : public MainWindowFixture
{
protected:
    // A calculated window with the grid on show.
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startShown();
        calculateAt(tsuX(), tsuY());
        ASSERT_TRUE(boxes.records.empty());
        grid = form->StringGrid;
        ASSERT_GT(grid->RowCount(), 5);
    }

    // The open cell editor, if any.
    QLineEdit* editor() const
    {
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }

    // Makes (col, row) current and types into it, as the estimator does.
    QLineEdit* typeInto(int col, int row, const QString& text)
    {
        grid->SetCurrentCell(col, row);
        QLineEdit* e = editor();
        if (e) {
            e->selectAll();
            QTest::keyClicks(e, text);
        }
        return e;
    }

    int rowOf(const QString& site) const
    {
        for (int r = 1; r < grid->RowCount(); ++r)
            if (grid->Cell(1, r) == site)
                return r;
        return -1;
    }

    const CDisplayCalcResultData* resultFor(const QString& site) const
    {
        return form->resultList->FindByName(site);
    }

    ResultGrid* grid = nullptr;
};

QColor pixelIn(const QImage& image, const ResultGrid* grid, int col, int row)
{
    const QRect r = grid->visualRect(grid->model()->index(row - 1, col));
    // The right end of the cell: text is drawn from the left edge.
    return image.pixelColor(r.right() - 2, r.center().y());
}

} // namespace

TEST_F(ResultGridTest, EnterWithSixtyRecalculatesAndAnImpossibleDistanceIsRefused)
{
    const QString site = grid->Cell(1, 2);
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("60"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("60"));
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(resultFor(site)->GetTransportDistance(), 60.0);
    EXPECT_EQ(resultFor(site)->GetConfirmedDistance(), 60.0);
    // The rebuilt grid shows the site's new figures and keeps it selected.
    const int r = rowOf(site);
    ASSERT_GT(r, 0);
    EXPECT_EQ(grid->Cell(4, r), QStringLiteral("60"));
    EXPECT_EQ(form->selectedRow, r);
    EXPECT_EQ(grid->Row(), r);
    // A typed distance is marked as typed; the cell itself keeps the figure.
    EXPECT_EQ(grid->DistanceMark(r), QStringLiteral("＃"));
    EXPECT_EQ(grid->DistanceMark(r == 1 ? 2 : 1), QString());
    EXPECT_TRUE(grid->model()->index(r - 1, ResultGrid::DistanceColumn).data(Qt::ToolTipRole).toString().contains(QStringLiteral("手入力")));

    const QString other = grid->Cell(1, 1);
    const double before = resultFor(other)->GetTransportDistance();
    e = typeInto(ResultGrid::DistanceColumn, 1, QStringLiteral("1000.1"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("運搬距離は0km以上1000km以下を入力してください。"));
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("無効な値"));
    EXPECT_EQ(boxes.records[0].icon, velmora::platform::MessageIcon::Exclamation);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 1), QStringLiteral("0"));
    EXPECT_EQ(resultFor(other)->GetTransportDistance(), before);
    EXPECT_EQ(grid->Cell(1, 1), other);
}

// Beyond 60 km no table prices the transport: the typed distance stays on
// its row, which goes unranked and says why.
TEST_F(ResultGridTest, ADistanceBeyondSixtyIsKeptAndItsRowUnranked)
{
    const QString site = grid->Cell(1, 1);
    ASSERT_FALSE(grid->Cell(ResultGrid::RankColumn, 1).isEmpty());
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 1, QStringLiteral("60.5"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(resultFor(site)->GetTransportDistance(), 60.5);
    const int r = rowOf(site);
    ASSERT_GT(r, 0);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, r), QStringLiteral("60.5"));
    EXPECT_EQ(grid->Cell(11, r), QStringLiteral("0"));
    EXPECT_EQ(grid->Cell(12, r), QString());
    EXPECT_EQ(grid->Cell(ResultGrid::RankColumn, r), QString());
    EXPECT_EQ(grid->Cell(ResultGrid::BandColumn, r), QStringLiteral("上限値を超えています"));
    // Shown whole: the name column gives up the room.
    EXPECT_GE(grid->ColWidth(ResultGrid::BandColumn), grid->fontMetrics().horizontalAdvance(QStringLiteral("上限値を超えています")));
    EXPECT_LT(grid->ColWidth(1), ResultGrid::ColumnWidths[1]);
    EXPECT_TRUE(grid->model()->index(r - 1, ResultGrid::RankColumn).data(Qt::ToolTipRole).toString().contains(QStringLiteral("60km")));
}

// The limit is judged as the grid shows the distance: one bit above 60 is
// shown as 60 and priced in the table's last band.
TEST_F(ResultGridTest, DistanceShownAsSixtyIsAcceptedAndPriced)
{
    const QString site = grid->Cell(1, 2);
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("60.00000000000001"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_GT(resultFor(site)->GetTransportDistance(), 60.0);
    const int r = rowOf(site);
    ASSERT_GT(r, 0);
    EXPECT_EQ(grid->Cell(4, r), QStringLiteral("60"));
    EXPECT_GT(resultFor(site)->GetTransportCost(), 0);
    EXPECT_TRUE(grid->Cell(14, r).startsWith(QStringLiteral("60"))) << grid->Cell(14, r).toStdString();
}

TEST_F(ResultGridTest, EnterInTheFeeColumnCommitsTheDistanceToo)
{
    const QString site = grid->Cell(1, 3);
    ASSERT_NE(typeInto(ResultGrid::DistanceColumn, 3, QStringLiteral("12.3")), nullptr);
    QLineEdit* e = typeInto(ResultGrid::ManualFeeColumn, 3, QStringLiteral("7000"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    const CDisplayCalcResultData* row = resultFor(site);
    EXPECT_EQ(row->GetTransportDistance(), 12.3);
    EXPECT_EQ(row->GetManualFee(), 7000);
    EXPECT_EQ(row->GetConfirmedFee(), 7000);
    EXPECT_EQ(grid->Cell(ResultGrid::ManualFeeColumn, rowOf(site)), QStringLiteral("7000"));

    // A fee with a decimal point is no whole number: no typed fee.
    e = typeInto(ResultGrid::ManualFeeColumn, rowOf(site), QStringLiteral("70.5"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(resultFor(site)->GetManualFee(), 0);
    EXPECT_EQ(resultFor(site)->GetConfirmedFee(), resultFor(site)->GetDisposalFee());
}

TEST_F(ResultGridTest, KeysInTheEditableCells)
{
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("7"));
    ASSERT_NE(e, nullptr);
    // Backspace on a single character leaves "0", never an empty cell.
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("0"));
    EXPECT_EQ(e->text(), QStringLiteral("0"));
    // On a longer text Backspace edits as usual.
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("12"));
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("1"));
    // A second "." and anything but digits are refused.
    QTest::keyClicks(e, QStringLiteral(".5.x-+ 3"));
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("1.53"));
}

TEST_F(ResultGridTest, OnlyColumnsThreeAndNineOpenAnEditor)
{
    for (int c = 0; c < ResultGrid::ColumnCount; ++c) {
        grid->SetCurrentCell(c, 2);
        const bool editing = grid->isEditing() && editor() != nullptr;
        EXPECT_EQ(editing, c == 3 || c == 9) << c;
    }
    // Typing into a read-only cell neither edits it nor jumps elsewhere.
    grid->SetCurrentCell(1, 2);
    const QString name = grid->Cell(1, 2);
    QTest::keyClicks(grid, QStringLiteral("5a"));
    EXPECT_EQ(grid->Cell(1, 2), name);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(ResultGridTest, SortByDistanceKeepsTheSelectedSite)
{
    grid->SetCurrentCell(1, 4);
    const QString site = grid->Cell(1, 4);
    EXPECT_EQ(form->selectedRow, 4);
    QTest::mouseClick(form->findChild<QRadioButton*>(QStringLiteral("RadioGroupSortModeItem1")), Qt::LeftButton);
    EXPECT_EQ(form->sortMode, 1);
    for (int r = 2; r < grid->RowCount(); ++r)
        EXPECT_LE(StrToFloat(grid->Cell(4, r - 1)), StrToFloat(grid->Cell(4, r))) << r;
    EXPECT_EQ(grid->Cell(1, form->selectedRow), site);
    EXPECT_EQ(grid->Row(), form->selectedRow);

    QTest::mouseClick(form->findChild<QRadioButton*>(QStringLiteral("RadioGroupSortModeItem0")), Qt::LeftButton);
    EXPECT_EQ(form->sortMode, 0);
    EXPECT_EQ(grid->Cell(13, 1), QStringLiteral("1"));
    EXPECT_EQ(grid->Cell(1, form->selectedRow), site);
}

TEST_F(ResultGridTest, RowsAreColouredByColumnRankAndCurrentRow)
{
    // Put the current row below the top three so they show their rank colours.
    const int last = grid->RowCount() - 1;
    grid->SetCurrentCell(0, last);
    ASSERT_EQ(grid->Cell(13, 1), QStringLiteral("1"));
    ASSERT_EQ(grid->Cell(13, 2), QStringLiteral("2"));
    ASSERT_EQ(grid->Cell(13, 3), QStringLiteral("3"));
    const QImage image = grid->viewport()->grab().toImage();

    const QColor red(255, 0, 0), orange(255, 200, 40), yellow(255, 255, 0);
    const QColor green(0, 255, 0), pink(255, 197, 255), cyan(217, 255, 255);
    EXPECT_EQ(pixelIn(image, grid, 1, 1), red);
    EXPECT_EQ(pixelIn(image, grid, 8, 2), orange);
    EXPECT_EQ(pixelIn(image, grid, 14, 3), yellow);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(pixelIn(image, grid, 3, r), green) << r;
        EXPECT_EQ(pixelIn(image, grid, 9, r), green) << r;
        EXPECT_EQ(pixelIn(image, grid, 13, r), pink) << r;
    }
    EXPECT_EQ(pixelIn(image, grid, 1, 4), cyan);
    const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
    for (int c : {1, 3, 9, 13})
        EXPECT_EQ(pixelIn(image, grid, c, last), highlight) << c;
}

TEST_F(ResultGridTest, HeaderRowAndRowHeights)
{
    EXPECT_EQ(grid->horizontalHeader()->height(), 45);
    EXPECT_EQ(grid->rowHeight(0), 16);
    EXPECT_EQ(grid->rowHeight(3), 16);
    EXPECT_EQ(ResultGrid::HeaderTexts[2], QStringLiteral("直接\r\n参考\r\n距離"));
    // The header is painted apart from the cells: no cell of row 0 holds text.
    EXPECT_TRUE(grid->Cell(1, 0).isEmpty());
}

TEST_F(ResultGridTest, ZeroTotalAndRankCellsAreEmptyWhileAZeroFeeShows)
{
    CDisplayCalcResultData row;
    row.SetSiteName(QStringLiteral("試験処分場"));
    row.SetStraightDistance(12.3);
    row.SetDisposalFee(5);
    const QStringList texts = ResultGrid::RowTexts(row, 7);
    ASSERT_EQ(texts.size(), ResultGrid::ColumnCount);
    EXPECT_EQ(texts[0], QStringLiteral("7"));
    EXPECT_EQ(texts[2], QStringLiteral("12.3"));
    EXPECT_EQ(texts[3], QStringLiteral("0"));
    EXPECT_EQ(texts[6], QStringLiteral("5"));
    EXPECT_EQ(texts[9], QStringLiteral("0"));
    EXPECT_EQ(texts[12], QString());
    EXPECT_EQ(texts[13], QString());
}

TEST_F(ResultGridTest, EnterWithoutAMatchingSiteDoesNothing)
{
    // An empty row (after a search that found nothing) has no site to write into.
    boxes.answers.push_back(velmora::platform::MessageAnswer::Yes); // calculate outside Mie
    calculateAt(QStringLiteral("-300000"), QStringLiteral("-100000"));
    boxes.records.clear();
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 1, QStringLiteral("5"));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(grid->RowCount(), 2);
}

TEST(KeyCharacterTest, KeysThatTypeAndKeysThatDoNot)
{
    auto typed = [](int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        return velmora::ui::TypedCharacter(&e);
    };
    EXPECT_EQ(typed(Qt::Key_Return, QStringLiteral("\r")), QChar(u'\r'));
    EXPECT_EQ(typed(Qt::Key_Enter, QString()), QChar(u'\r'));
    EXPECT_EQ(typed(Qt::Key_Backspace, QStringLiteral("\b")), QChar(u'\b'));
    EXPECT_EQ(typed(Qt::Key_5, QStringLiteral("5")), QChar(u'5'));
    QKeyEvent fullWidth(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("５"));
    EXPECT_EQ(velmora::ui::TypedNumberCharacter(&fullWidth), QChar(u'5'));
    EXPECT_EQ(velmora::ui::TypedCharacter(&fullWidth), QChar(u'５'));
    EXPECT_EQ(typed(Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier), QChar(char16_t(0x16)));
    EXPECT_TRUE(typed(Qt::Key_Delete, QString(QChar(char16_t(0x7f)))).isNull());
    EXPECT_TRUE(typed(Qt::Key_Left, QString()).isNull());
    EXPECT_TRUE(typed(Qt::Key_Tab, QStringLiteral("\t")).isNull());
}

TEST_F(ResultGridTest, PastesTypingOverASelectionAndBackspaceMeetTheCellRules)
{
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("1.5"));
    ASSERT_NE(e, nullptr);
    // Typed over a selection, "." replaces the "." selected with the rest.
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral(".5"));
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral(".5"));

    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const QString& refused : {QStringLiteral("-500"), QStringLiteral("1e9"), QStringLiteral("1,2")}) {
        clipboard->setText(refused);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
        e->paste();
        EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral(".5")) << refused.toStdString();
    }
    clipboard->setText(QStringLiteral("12"));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("12"));
    // Backspace over the whole text leaves "0", as on a single character.
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("0"));

    // Read-only cells are never written, not even the one-character ones.
    for (int c : {0, 5, 7, 13}) {
        grid->SetCurrentCell(c, 2);
        const QString before = grid->Cell(c, 2);
        QTest::keyClick(grid, Qt::Key_Backspace);
        EXPECT_EQ(grid->Cell(c, 2), before) << c;
    }
}

TEST_F(ResultGridTest, AFeeThatWouldOverflowTheTotalIsRefused)
{
    const QString site = grid->Cell(1, 1);
    for (const QString& fee : {QStringLiteral("2147483000"), QStringLiteral("99999999999999999999"),
                               QStringLiteral("100000000")}) {
        QLineEdit* e = typeInto(ResultGrid::ManualFeeColumn, rowOf(site), fee);
        ASSERT_NE(e, nullptr);
        QTest::keyClick(e, Qt::Key_Return);
        ASSERT_EQ(boxes.records.size(), 1u) << fee.toStdString();
        EXPECT_EQ(boxes.records[0].text, ResultGrid::ManualFeeRangeText());
        EXPECT_EQ(boxes.records[0].caption, QStringLiteral("無効な値"));
        EXPECT_EQ(grid->Cell(ResultGrid::ManualFeeColumn, rowOf(site)), QStringLiteral("0"));
        EXPECT_EQ(resultFor(site)->GetManualFee(), 0);
        boxes.records.clear();
    }
    QLineEdit* e = typeInto(ResultGrid::ManualFeeColumn, rowOf(site), QString::number(ResultGrid::MaxManualFee));
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(boxes.records.empty());
    const CDisplayCalcResultData* row = resultFor(site);
    EXPECT_EQ(row->GetTotal(), row->GetTransportCost() + ResultGrid::MaxManualFee);
    for (int r = 1; r < grid->RowCount(); ++r)
        EXPECT_FALSE(grid->Cell(12, r).startsWith(u'-')) << r;
}

TEST_F(ResultGridTest, CopiedNumbersAreReadAsMeantOrRefusedWholeWithAHint)
{
    using Kind = velmora::data::CopiedNumberKind;
    // Pastes each text over the whole field: pairs of pasted and held texts,
    // then texts refused with the field's tip.
    auto check = [](QLineEdit* e, Kind kind, const QStringList& meant, const QStringList& refused) {
        ASSERT_NE(e, nullptr);
        auto paste = [e](const QString& text) {
            for (QWidget* w : QApplication::topLevelWidgets()) // hideText() lingers
                if (w->objectName() == QStringLiteral("qtooltip_label"))
                    w->hide();
            QGuiApplication::clipboard()->setText(text);
            e->selectAll();
            QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
            QCoreApplication::processEvents();
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        for (int i = 0; i + 1 < meant.size(); i += 2) {
            EXPECT_EQ(paste(meant.at(i)), QString());
            EXPECT_EQ(e->text(), meant.at(i + 1)) << meant.at(i).toStdString();
        }
        const QString kept = e->text();
        for (const QString& text : refused) {
            EXPECT_EQ(paste(text), velmora::ui::RefusedNumberHint(kind)) << text.toStdString();
            EXPECT_EQ(e->text(), kept) << text.toStdString();
        }
    };
    form->SetActivePage(TMainForm::PageMain);
    check(form->EditX, Kind::Coordinate, {QStringLiteral("－１１００００．５"), QStringLiteral("-110000.5")},
          {QStringLiteral("1e5"), QStringLiteral("142,037"), QStringLiteral("12.5km"), QStringLiteral("--5")});
    form->SetActivePage(TMainForm::PageCalcResult);
    check(typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("3")), Kind::Distance,
          {QStringLiteral("１２．５"), QStringLiteral("12.5"), QStringLiteral("7km"), QStringLiteral("7")},
          {QStringLiteral("-5"), QStringLiteral("1e5"), QStringLiteral("142,037"), QStringLiteral("4500円")});
    check(typeInto(ResultGrid::ManualFeeColumn, 2, QStringLiteral("1")), Kind::Fee,
          {QStringLiteral("4,500円"), QStringLiteral("4500")},
          {QStringLiteral("-5"), QStringLiteral("4,50"), QStringLiteral("12km"), QStringLiteral("1e5")});

    // Dropped text and an input method's text go the same way.
    editor()->clear();
    EXPECT_TRUE(DropText(editor(), QStringLiteral("２,３００円")));
    EXPECT_EQ(grid->Cell(ResultGrid::ManualFeeColumn, 2), QStringLiteral("2300"));
    form->EditY->clear();
    QInputMethodEvent commit(QString(), {});
    commit.setCommitString(QStringLiteral("－１２"));
    QApplication::sendEvent(form->EditY, &commit);
    EXPECT_EQ(form->EditY->text(), QStringLiteral("-12"));
}

TEST_F(ResultGridTest, ADistanceShorterThanTheStraightLineIsAskedAboutOrMarked)
{
    // Two sites at least 2 km away in a straight line.
    QStringList far;
    for (int r = 1; r < grid->RowCount() && far.size() < 2; ++r)
        if (StrToFloatDefault(grid->Cell(2, r), 0) >= 2)
            far.append(grid->Cell(1, r));
    ASSERT_EQ(far.size(), 2);
    const QString site = far.at(0);
    const double straight = resultFor(site)->GetStraightDistance();
    auto enter = [&](double km) {
        QLineEdit* e = typeInto(ResultGrid::DistanceColumn, rowOf(site), FloatToStr(km));
        ASSERT_NE(e, nullptr);
        QTest::keyClick(e, Qt::Key_Return);
    };

    // A tenth below the straight line is rounding: taken without a word.
    enter(straight - 0.1);
    EXPECT_TRUE(boxes.records.empty());
    const double kept = resultFor(site)->GetTransportDistance();
    EXPECT_EQ(grid->DistanceMark(rowOf(site)), QStringLiteral("＃"));

    // Shorter still is asked about, naming both; No (the default) keeps the old value.
    enter(straight - 1);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].buttons, velmora::platform::MessageButtons::YesNo);
    for (double km : {straight - 1, straight})
        EXPECT_TRUE(boxes.records[0].text.contains(FloatToStr(km) + QStringLiteral("km")));
    EXPECT_EQ(resultFor(site)->GetTransportDistance(), kept);
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, rowOf(site)), FloatToStr(kept));

    // Yes takes it, marked in the grid.
    boxes.answers.push_back(velmora::platform::MessageAnswer::Yes);
    enter(straight - 1);
    EXPECT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(FloatToStr(resultFor(site)->GetTransportDistance()), FloatToStr(straight - 1));
    EXPECT_EQ(grid->DistanceMark(rowOf(site)), velmora::calc::ShorterThanStraightMark() + QStringLiteral("＃"));

    // A road distance read from the route page is never asked about, only
    // marked: in the grid, its tip and on the evidence sheet.
    const QString other = far.at(1);
    CDisplayCalcResultData* read = form->resultList->FindByName(other);
    read->SetTransportDistance(read->GetStraightDistance() / 2, CDisplayCalcResultData::DistanceSource::RoutePage);
    grid->ShowCalcResult(false);
    EXPECT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(grid->DistanceMark(rowOf(other)), velmora::calc::ShorterThanStraightMark() + QStringLiteral("＊"));
    // The recalculation made new rows: the site's row is looked up again.
    EXPECT_TRUE(grid->model()->index(rowOf(other) - 1, ResultGrid::DistanceColumn).data(Qt::ToolTipRole).toString()
                    .contains(velmora::calc::ShorterThanStraightHint(*resultFor(other))));
    velmora::ui::EvidenceSheetData sheet;
    sheet.rows = velmora::ui::EvidenceRows(*form->resultList);
    const QString html = velmora::ui::EvidenceSheet(sheet).Html();
    EXPECT_TRUE(html.contains(velmora::calc::ShorterThanStraightMark() + QStringLiteral("＊")));
    EXPECT_TRUE(html.contains(velmora::calc::ShorterThanStraightLegend()));
}

TEST_F(ResultGridTest, CtrlASelectsTheWholeTextOfTheCoordinatesAndTheCells)
{
    QLineEdit* e = typeInto(ResultGrid::DistanceColumn, 2, QStringLiteral("12.5"));
    ASSERT_NE(e, nullptr);
    for (QLineEdit* field : {form->EditX, form->EditY, e}) {
        field->deselect();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(field->selectedText(), field->text()) << field->objectName().toStdString();
    }
    // What is typed next replaces it all.
    QTest::keyClicks(e, QStringLiteral("7"));
    EXPECT_EQ(grid->Cell(ResultGrid::DistanceColumn, 2), QStringLiteral("7"));
}
