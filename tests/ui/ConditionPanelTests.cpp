#include "app/MainWindowFixture.h"
#include "calc/CBugakariData.h"
#include "calc/CCalcConditionData.h"
#include "calc/COutputDataManager.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/IniFile.h"
#include "data/NumberText.h"
#include "ui/ConditionPanel.h"
#include "ui/DropDownComboBox.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace velmora::test;
using velmora::platform::MessageIcon;

namespace {

using ConditionPanelTest = MainWindowFixture;

constexpr int Asphalt = 2;

// Which detail panel shows, as a short name.
QString visibleDetail(const TMainForm& f)
{
    QStringList shown;
    if (!f.PanelGaraUnpan->isHidden())
        shown << QStringLiteral("GaraUnpan");
    if (!f.PanelJinkai->isHidden())
        shown << QStringLiteral("Jinkai");
    if (!f.PanelDensen->isHidden())
        shown << QStringLiteral("Densen");
    return shown.join(u'+');
}

} // namespace

TEST_F(ConditionPanelTest, TransportTypeDecidesTheDetailPanelAndWhereTheCommonPanelSits)
{
    TMainForm& f = start();
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    ASSERT_GE(f.ComboBoxUnpanSyubetsu->count(), 4);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);

    const struct
    {
        int type;
        QString panel;
        int commonTop;
    } layouts[] = {{1, QStringLiteral("Jinkai"), 336},
                   {2, QString(), 280},
                   {3, QStringLiteral("Densen"), 312},
                   {0, QStringLiteral("GaraUnpan"), 360}};
    for (const auto& l : layouts) {
        pick(f.ComboBoxUnpanSyubetsu, l.type);
        EXPECT_EQ(visibleDetail(f), l.panel) << l.type;
        EXPECT_EQ(f.PanelCommon->y(), l.commonTop) << l.type;
    }
    // Fixed places of the panels themselves.
    EXPECT_EQ(f.PanelGaraUnpan->geometry().topLeft(), QPoint(1, 275));
    EXPECT_EQ(f.PanelGaraUnpan->height(), 82);
    EXPECT_EQ(f.PanelDensen->geometry(), QRect(0, 272, 289, 33));
    EXPECT_EQ(f.PanelJinkai->geometry(), QRect(0, 272, 289, 65));
    EXPECT_EQ(f.PanelCommon->height(), 137);
    EXPECT_EQ(f.ComboBoxTsumikomi->width(), 276);
    EXPECT_EQ(f.conditionPanel->width(), 289);
}

TEST_F(ConditionPanelTest, CostItemChangeRefillsTransportTypesAndDetails)
{
    TMainForm& f = start();
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    pick(f.ComboBoxUnpanSyubetsu, 2);
    EXPECT_EQ(visibleDetail(f), QString());

    // A new cost item starts again at its first transport type.
    pick(f.ComboBoxSyobunHimoku, 1);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);
    EXPECT_EQ(visibleDetail(f), QStringLiteral("GaraUnpan"));
    EXPECT_EQ(f.PanelCommon->y(), 360);
    EXPECT_EQ(f.ComboBoxGaraHassei->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 0);
    EXPECT_EQ(f.conditionPanel->lastSpCostItem, 1);

    // Another debris-generating work offers its own loading methods (for
    // asphalt the cable-duct work has a shorter list).
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    ASSERT_GE(f.ComboBoxGaraHassei->count(), 2);
    pick(f.ComboBoxGaraHassei, 1);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 0);
    QStringList shown;
    for (int i = 0; i < f.ComboBoxTsumikomi->count(); ++i)
        shown << f.ComboBoxTsumikomi->itemText(i);
    EXPECT_EQ(shown, f.spTsumikomiModel->Items(Asphalt, 1));
    EXPECT_NE(shown, f.spTsumikomiModel->Items(Asphalt, 0));
}

TEST_F(ConditionPanelTest, PickingTheSameCostItemAgainChangesNothing)
{
    TMainForm& f = start();
    pick(f.ComboBoxSyobunHimoku, 1);
    pick(f.ComboBoxUnpanSyubetsu, 1);
    f.ComboBoxTsumikomi->setToolTip(QStringLiteral("marker"));
    pick(f.ComboBoxSyobunHimoku, 1);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 1);
    EXPECT_EQ(visibleDetail(f), QStringLiteral("Jinkai"));
    EXPECT_EQ(f.ComboBoxTsumikomi->toolTip(), QStringLiteral("marker"));
}

TEST_F(ConditionPanelTest, LabourRateModeShowsItsListsAndNoDetailPanel)
{
    TMainForm& f = start();
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    EXPECT_EQ(f.calcMode, 0);
    EXPECT_EQ(visibleDetail(f), QString());
    EXPECT_EQ(f.PanelCommon->y(), 280);

    const CHimokuRowSource labourItems;
    ASSERT_EQ(f.ComboBoxSyobunHimoku->count(), labourItems.Items().size());
    for (int i = 0; i < f.ComboBoxSyobunHimoku->count(); ++i)
        EXPECT_EQ(f.ComboBoxSyobunHimoku->itemText(i), labourItems.Items().at(i));
    EXPECT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);
    EXPECT_TRUE(f.RadioButtonDIDFalse->isChecked());

    // Transport types and cost items of this method move no panel.
    pick(f.ComboBoxUnpanSyubetsu, 1);
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);
    EXPECT_EQ(visibleDetail(f), QString());
    EXPECT_EQ(f.PanelCommon->y(), 280);

    // Clicking the active method again does nothing.
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), Asphalt);
}

TEST_F(ConditionPanelTest, SwitchingBackRestoresTheLastCalculatedChoicesNotTheLastShown)
{
    TMainForm& f = startShown();
    // Before any calculation: first items and "DID区間無".
    pick(f.ComboBoxSyobunHimoku, 1);
    QTest::mouseClick(f.RadioButtonDIDTrue, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);
    EXPECT_TRUE(f.RadioButtonDIDFalse->isChecked());

    // Calculate with asphalt, type 3 (load class) and DID.
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    pick(f.ComboBoxUnpanSyubetsu, 3);
    QTest::mouseClick(f.RadioButtonDIDTrue, Qt::LeftButton);
    calculateAt(tsuX(), tsuY());
    ASSERT_TRUE(boxes.records.empty()) << boxes.records.front().text.toStdString();
    EXPECT_EQ(f.conditions->GetSpCostItem(), Asphalt);
    EXPECT_EQ(f.conditions->GetSpTransportType(), 3);
    EXPECT_TRUE(f.conditions->GetSpDid());

    // Show other choices without calculating, then switch away and back.
    pick(f.ComboBoxSyobunHimoku, 1);
    QTest::mouseClick(f.RadioButtonDIDFalse, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), Asphalt);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 3);
    EXPECT_EQ(visibleDetail(f), QStringLiteral("Densen"));
    EXPECT_EQ(f.PanelCommon->y(), 312);
    EXPECT_TRUE(f.RadioButtonDIDTrue->isChecked());

    // A labour-rate calculation leaves the construction-package half alone.
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    EXPECT_EQ(f.conditions->GetSpCostItem(), Asphalt);
    EXPECT_EQ(f.conditions->GetSpTransportType(), 3);
}

TEST_F(ConditionPanelTest, RefuseAndDumpTruckChoicesComeBackWithTheirPanel)
{
    TMainForm& f = startShown();
    pick(f.ComboBoxSyobunHimoku, 1);
    pick(f.ComboBoxUnpanSyubetsu, 1);
    QTest::mouseClick(f.RadioButtonDTLend, Qt::LeftButton);
    calculateAt(tsuX(), tsuY());
    EXPECT_FALSE(f.conditions->GetSpDumpTruckCarry());
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    EXPECT_EQ(visibleDetail(f), QStringLiteral("Jinkai"));
    EXPECT_EQ(f.PanelCommon->y(), 336);
    EXPECT_TRUE(f.RadioButtonDTLend->isChecked());
}

TEST_F(ConditionPanelTest, LongTextBecomesTheHintAndAShortOneGivesNone)
{
    TMainForm& f = start();
    velmora::ui::ConditionPanel& p = *f.conditionPanel;
    const QString longText = QStringLiteral("舗装版破砕積込み(電線共同溝)・機械施工・大型ﾌﾞﾚｰｶ使用・夜間作業");
    ASSERT_GE(p.TextWidth(longText), f.ComboBoxTsumikomi->width() - 15);
    f.ComboBoxTsumikomi->addItem(longText);
    f.ComboBoxTsumikomi->addItem(QStringLiteral("短い"));
    pick(f.ComboBoxTsumikomi, f.ComboBoxTsumikomi->count() - 2);
    EXPECT_EQ(f.ComboBoxTsumikomi->toolTip(), longText);
    EXPECT_EQ(f.ComboBoxTsumikomi->toolTipDuration(), 60000);
    pick(f.ComboBoxTsumikomi, f.ComboBoxTsumikomi->count() - 1);
    EXPECT_TRUE(f.ComboBoxTsumikomi->toolTip().isEmpty());

    // The debris-generating work's hint follows its own text.
    f.ComboBoxGaraHassei->addItem(longText);
    pick(f.ComboBoxGaraHassei, f.ComboBoxGaraHassei->count() - 1);
    EXPECT_EQ(f.ComboBoxGaraHassei->toolTip(), longText);
}

TEST_F(ConditionPanelTest, OpenedListIsAsWideAsItsLongestEntryPlusThirty)
{
    TMainForm& f = startShown();
    velmora::ui::DropDownComboBox* combo = f.ComboBoxSekisai;
    const QString longText = QStringLiteral("ｱｽﾌｧﾙﾄ塊（大型ﾀﾞﾝﾌﾟﾄﾗｯｸ10t積級・DID区間を含む運搬）");
    combo->addItem(longText);
    combo->showPopup();
    const int expected = f.conditionPanel->TextWidth(longText) + 30;
    EXPECT_EQ(combo->dropDownWidth(), expected);
    EXPECT_GE(combo->view()->width(), expected);
    combo->hidePopup();

    // An empty list asks for 30; the list is never narrower than its box.
    velmora::ui::DropDownComboBox* empty = f.ComboBoxGaraHassei;
    empty->clear();
    empty->showPopup();
    EXPECT_EQ(empty->dropDownWidth(), 30);
    EXPECT_GE(empty->view()->minimumWidth(), empty->width());
    empty->hidePopup();
}

TEST_F(ConditionPanelTest, CoordinateFieldsAcceptOnlyANumber)
{
    TMainForm& f = start();
    QLineEdit* x = f.EditX;
    QTest::keyClicks(x, QStringLiteral("-12.5"));
    EXPECT_EQ(x->text(), QStringLiteral("-12.5"));
    QTest::keyClicks(x, QStringLiteral(".-a 7"));
    EXPECT_EQ(x->text(), QStringLiteral("-12.57"));
    QTest::keyClick(x, Qt::Key_Backspace);
    EXPECT_EQ(x->text(), QStringLiteral("-12.5"));

    QLineEdit* y = f.EditY;
    QTest::keyClicks(y, QStringLiteral(".5"));
    EXPECT_EQ(y->text(), QStringLiteral("5"));
    QTest::keyClicks(y, QStringLiteral("-e+"));
    QKeyEvent fullWidthThree(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("３"));
    // A full-width digit is the digit it shows.
    QApplication::sendEvent(y, &fullWidthThree);
    EXPECT_EQ(y->text(), QStringLiteral("53"));

    // Pasting would bring in text the filter never saw.
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(y, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(y->text(), QStringLiteral("53"));

    // Keys that type nothing still edit.
    QTest::keyClick(y, Qt::Key_Home);
    QTest::keyClick(y, Qt::Key_Delete);
    EXPECT_EQ(y->text(), QStringLiteral("3"));
}

TEST_F(ConditionPanelTest, CalcButtonNeedsTwoNonZeroCoordinates)
{
    TMainForm& f = start();
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
    f.EditX->setText(QStringLiteral("0"));
    f.EditY->setText(QStringLiteral("100"));
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
    QTest::keyClick(f.EditX, Qt::Key_5);
    EXPECT_TRUE(f.ButtonCalc->isEnabled());
    f.EditY->setText(QStringLiteral("-"));
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
    f.EditY->setText(QStringLiteral("-0.0"));
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
    f.EditY->setText(QStringLiteral("-0.1"));
    EXPECT_TRUE(f.ButtonCalc->isEnabled());
    f.EditX->clear();
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
}

TEST_F(ConditionPanelTest, EnterInACoordinateFieldCalculatesOnlyWhenTheButtonWould)
{
    TMainForm& f = startShown();
    f.EditX->setText(tsuX());
    QTest::keyClick(f.EditX, Qt::Key_Return);
    EXPECT_EQ(f.resultList, nullptr);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);

    f.EditY->setText(tsuY());
    QTest::keyClick(f.EditY, Qt::Key_Enter);
    ASSERT_NE(f.resultList, nullptr);
    EXPECT_GT(f.resultList->Count(), 0);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(ConditionPanelTest, CalculationFillsTheGridFromTheDriversRows)
{
    TMainForm& f = startShown();
    calculateAt(tsuX(), tsuY());
    ASSERT_TRUE(boxes.records.empty());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    ASSERT_NE(f.resultList, nullptr);
    EXPECT_EQ(f.resultList, &f.driver->Results());
    const int n = f.resultList->Count();
    ASSERT_GT(n, 3);
    EXPECT_EQ(f.StringGrid->RowCount(), n + 1);
    EXPECT_EQ(f.selectedRow, 1);
    EXPECT_EQ(f.StringGrid->Row(), 1);
    EXPECT_EQ(f.lastCalcCostItem, 0);

    int previousRank = 0;
    for (int r = 1; r <= n; ++r) {
        const CDisplayCalcResultData* row = f.resultList->RowAt(r);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(f.StringGrid->Cell(0, r), QString::number(r));
        EXPECT_EQ(f.StringGrid->Cell(1, r), row->GetSiteName());
        EXPECT_EQ(f.StringGrid->Cell(2, r), FloatToStr(row->GetStraightDistance()));
        EXPECT_EQ(f.StringGrid->Cell(3, r), QStringLiteral("0"));
        EXPECT_EQ(f.StringGrid->Cell(5, r), row->GetDirection());
        EXPECT_EQ(f.StringGrid->Cell(9, r), QStringLiteral("0"));
        EXPECT_EQ(f.StringGrid->Cell(11, r), QString::number(row->GetTransportCost()));
        EXPECT_EQ(f.StringGrid->Cell(14, r), row->GetBandText());
        EXPECT_LE(row->GetStraightDistance(), 60.0);
        // Sorted by amount: ranks run 1, 2, 3 … down the ranked rows.
        if (row->GetRank() != 0) {
            EXPECT_EQ(row->GetRank(), previousRank + 1);
            previousRank = row->GetRank();
            EXPECT_EQ(f.StringGrid->Cell(12, r), QString::number(row->GetTotal()));
        } else {
            EXPECT_TRUE(f.StringGrid->Cell(13, r).isEmpty());
        }
    }
    EXPECT_GE(previousRank, 3);
}

TEST_F(ConditionPanelTest, SiteOutsideMieAsksFirstAndNoSiteInReachKeepsTheMainPageAndSaysSo)
{
    TMainForm& f = startShown();
    // Far south-west of the prefecture, in the sea off Wakayama: asked, and
    // No (the default answer) leaves everything as it was.
    calculateAt(QStringLiteral("-300000"), QStringLiteral("-100000"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("座標の確認"));
    EXPECT_EQ(boxes.records[0].buttons, velmora::platform::MessageButtons::YesNo);
    EXPECT_EQ(f.resultList, nullptr);

    boxes.records.clear();
    boxes.answers.push_back(velmora::platform::MessageAnswer::Yes);
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("60km以内に登録された処分場が見つかりませんでした。\r\n"
                                                    "入力された座標を確認してください。"));
    EXPECT_EQ(boxes.records[1].caption, QStringLiteral("計算結果"));
    EXPECT_EQ(boxes.records[1].icon, MessageIcon::Information);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);
    EXPECT_EQ(f.StringGrid->RowCount(), 2);
    EXPECT_TRUE(f.StringGrid->updatesEnabled());
}

TEST_F(ConditionPanelTest, NewCostItemIsPassedAsAChangeOnce)
{
    TMainForm& f = startShown();
    calculateAt(tsuX(), tsuY());
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    EXPECT_EQ(f.lastCalcCostItem, Asphalt);
    ASSERT_NE(f.resultList, nullptr);
    EXPECT_GT(f.resultList->Count(), 0);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(ConditionPanelTest, AfterAMethodSwitchPickingTheEarlierCostItemRefillsItsLists)
{
    TMainForm& f = start();
    // Construction-package mode: asphalt picked, not calculated.
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    const int asphaltTypes = f.ComboBoxUnpanSyubetsu->count();
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    ASSERT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), 0);
    ASSERT_NE(f.ComboBoxUnpanSyubetsu->count(), asphaltTypes);
    // Picking asphalt again must bring asphalt's transport types, not keep
    // those of the first cost item under the asphalt caption.
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->count(), asphaltTypes);

    // The same in the labour-rate mode.
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    const QString asphaltFirstType = f.ComboBoxUnpanSyubetsu->itemText(0);
    const int labourAsphaltTypes = f.ComboBoxUnpanSyubetsu->count();
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->count(), labourAsphaltTypes);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->itemText(0), asphaltFirstType);
}

namespace {

// A readable table of the sample deployment without its comment lines.
QStringList SourceLines(const QString& name)
{
    QFile source(QStringLiteral(VELMORA_SOURCE_DIR "/deploy/data/dat/") + name);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(source.readAll()).split(u'\n'))
        if (!line.startsWith(u'#') && !line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

// The site names and totals the grid shows, in its order.
QStringList ShownRows(const TMainForm& f)
{
    QStringList rows;
    for (int r = 1; r < f.StringGrid->RowCount(); ++r)
        rows.append(f.StringGrid->Cell(1, r) + u'|' + f.StringGrid->Cell(6, r) + u'|' + f.StringGrid->Cell(11, r) + u'|'
                    + f.StringGrid->Cell(12, r));
    return rows;
}

} // namespace

TEST_F(ConditionPanelTest, AFailedCalculationLeavesTheDriverAndTheGridAsTheyWere)
{
    // Damage that only the second run of each method meets, once its
    // conditions have reached the driver. A damaged price merely leaves rows
    // unpriced, so each run is made to fail outright instead:
    // - package: the table has no group for milled asphalt inside a DID;
    QStringList sp2 = deployment.readScrambled(QStringLiteral("ESP2.dat")).split(u'\n');
    const auto group = std::find_if(sp2.begin(), sp2.end(), [](const QString& line) {
        return line.trimmed() == QStringLiteral("【殻運搬(路面切削)／DID区間:有り】");
    });
    ASSERT_NE(group, sp2.end());
    const auto groupEnd = std::find_if(group, sp2.end(), [](const QString& line) { return line.trimmed().isEmpty(); });
    sp2.erase(group, groupEnd);
    deployment.writeScrambled(QStringLiteral("ESP2.dat"), sp2.join(u'\n'));
    // - labour rate: the 2 t truck-day comes to about two billion yen (rental
    //   and tyre costs and their factors at the highest values allowed), a
    //   price still taken, but pricing a row a few kilometres away overflows.
    for (const QString& table : {QStringLiteral("ES24"), QStringLiteral("ES22")}) {
        QStringList prices = SourceLines(table + QStringLiteral(".txt"));
        ASSERT_EQ(prices.size(), 4);
        prices[3] = QStringLiteral("10000000");
        deployment.writeScrambled(table + QStringLiteral(".dat"), prices.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    QFile quantities(QStringLiteral(VELMORA_SOURCE_DIR "/deploy/data/dat/DTTankaSuryo.ini"));
    ASSERT_TRUE(quantities.open(QIODevice::ReadOnly));
    QString quantityText = QString::fromUtf8(quantities.readAll());
    const QString twoTonne = QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\n1\n18\n1.13\n1.13\n");
    ASSERT_TRUE(quantityText.contains(twoTonne));
    quantityText.replace(twoTonne, QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\n1\n18\n100\n100\n"));
    deployment.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"), quantityText, velmora::data::IniEncoding::Utf16LeBom);
    TMainForm& f = startShown();

    for (const bool package : {true, false}) {
        SCOPED_TRACE(package ? "package" : "labour rate");
        QTest::mouseClick(package ? f.RadioButtonSP : f.RadioButtonBugakari, Qt::LeftButton);
        pick(f.ComboBoxArea, 0);
        pick(f.ComboBoxSyobunHimoku, 0);
        boxes.records.clear();
        calculateAt(tsuX(), tsuY());
        ASSERT_TRUE(boxes.records.empty()) << boxes.records.front().text.toStdString();
        const QStringList before = ShownRows(f);
        ASSERT_GT(before.size(), 3);
        const QStringList bandPrices = f.driver->PackageTable().BandPrices();
        const int truckPrice = f.driver->GetTruckUnitPrice();
        const CBugakariData* truckClass = f.driver->TruckClasses().Selected();

        // Another cost item, transport type, district and job site, which the damage above makes fail.
        pick(f.ComboBoxSyobunHimoku, Asphalt);
        pick(f.ComboBoxUnpanSyubetsu, 2);
        QTest::mouseClick(f.RadioButtonDIDTrue, Qt::LeftButton);
        pick(f.ComboBoxArea, f.ComboBoxArea->count() - 1);
        f.EditX->setText(QStringLiteral("-111000"));
        QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
        ASSERT_EQ(boxes.records.size(), 1u);
        EXPECT_EQ(boxes.records[0].icon, MessageIcon::Error);

        EXPECT_EQ(f.driver->CurrentRegister(), &f.driver->Register(0));
        EXPECT_EQ(f.driver->GetCalcMode(), package ? 1 : 0);
        EXPECT_EQ(f.driver->PackageTable().BandPrices(), bandPrices);
        EXPECT_EQ(f.driver->GetTruckUnitPrice(), truckPrice);
        EXPECT_EQ(f.driver->TruckClasses().Selected(), truckClass);
        EXPECT_EQ(f.driver->JobSite().GetXText(), tsuX());
        EXPECT_EQ(f.lastCalcCostItem, 0);
        EXPECT_EQ(f.conditions->GetSpCostItem(), 0);
        EXPECT_FALSE(f.conditions->GetBugakariDid());
        EXPECT_EQ(ShownRows(f), before);

        // Re-sorting recalculates the rows shown with what priced them.
        f.sortModeButtons->button(1)->click();
        f.sortModeButtons->button(0)->click();
        EXPECT_EQ(ShownRows(f), before);
        QTest::mouseClick(f.RadioButtonDIDFalse, Qt::LeftButton);
    }
}

TEST_F(ConditionPanelTest, TransportTypeWithoutConditionsIsRefusedBeforeAnythingChanges)
{
    // The first cost item has lost its transport types; asphalt has one
    // more than the panel has conditions for.
    deployment.writeIni(QStringLiteral("dat/SPSyubetsu_RowSource.ini"),
                        QStringLiteral("[無筋ｺﾝｸﾘｰﾄ殻]\r\n殻運搬\r\n塵芥処理\r\n\r\n[ｱｽﾌｧﾙﾄ殻]\r\n殻運搬\r\n塵芥処理\r\n"
                                       "殻運搬(路面切削)\r\n殻運搬(電線共同溝)\r\n殻運搬(その他)\r\n"));
    TMainForm& f = startShown();
    pick(f.ComboBoxSyobunHimoku, Asphalt);
    pick(f.ComboBoxUnpanSyubetsu, 2);
    calculateAt(tsuX(), tsuY());
    ASSERT_TRUE(boxes.records.empty()) << boxes.records.front().text.toStdString();
    const QStringList before = ShownRows(f);
    const QStringList bandLimits = f.driver->PackageTable().BandLimits();

    const auto refused = [&](const QString& why) {
        QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
        ASSERT_EQ(boxes.records.size(), 1u);
        EXPECT_EQ(boxes.records[0].text, why + QStringLiteral("\r\n計算は行われませんでした。"));
        EXPECT_EQ(boxes.records[0].caption, QStringLiteral("計算実行"));
        EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(f.driver->CurrentRegister(), &f.driver->Register(Asphalt));
        EXPECT_EQ(f.driver->PackageTable().BandLimits(), bandLimits);
        EXPECT_EQ(f.conditions->GetSpTransportType(), 2);
        EXPECT_EQ(ShownRows(f), before);
        boxes.records.clear();
    };
    pick(f.ComboBoxSyobunHimoku, 0);
    ASSERT_EQ(f.ComboBoxUnpanSyubetsu->count(), 0);
    refused(COutputDataManager::NoChoicesText(QStringLiteral("運搬種別"), QStringLiteral("SPSyubetsu_RowSource.ini")));

    pick(f.ComboBoxSyobunHimoku, Asphalt);
    pick(f.ComboBoxUnpanSyubetsu, 4);
    refused(COutputDataManager::NoPackageConditionsText(QStringLiteral("殻運搬(その他)")));
}

TEST_F(ConditionPanelTest, PickingTheSameTransportTypeOrWorkAgainKeepsTheChoicesBelow)
{
    TMainForm& f = start();
    pick(f.ComboBoxSyobunHimoku, 1);
    pick(f.ComboBoxGaraHassei, 1);
    ASSERT_GE(f.ComboBoxTsumikomi->count(), 2);
    pick(f.ComboBoxTsumikomi, 1);
    f.ComboBoxGaraHassei->setToolTip(QStringLiteral("marker"));

    pick(f.ComboBoxUnpanSyubetsu, 0);
    pick(f.ComboBoxGaraHassei, 1);
    EXPECT_EQ(f.ComboBoxGaraHassei->currentIndex(), 1);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 1);
    EXPECT_EQ(f.ComboBoxGaraHassei->toolTip(), QStringLiteral("marker"));

    // A new pick still rebuilds what lies below it.
    pick(f.ComboBoxGaraHassei, 0);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 0);
    pick(f.ComboBoxGaraHassei, 1);
    pick(f.ComboBoxUnpanSyubetsu, 1);
    pick(f.ComboBoxUnpanSyubetsu, 0);
    EXPECT_EQ(f.ComboBoxGaraHassei->currentIndex(), 0);

    // After a method switch the restored choices are kept the same way.
    pick(f.ComboBoxTsumikomi, 1);
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    QTest::mouseClick(f.RadioButtonSP, Qt::LeftButton);
    pick(f.ComboBoxTsumikomi, 1);
    pick(f.ComboBoxUnpanSyubetsu, 0);
    pick(f.ComboBoxGaraHassei, 0);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 1);
}

TEST_F(ConditionPanelTest, CoordinateFieldsJudgeTheTextThatWouldResult)
{
    TMainForm& f = start();
    QLineEdit* x = f.EditX;
    x->setText(QStringLiteral("-5000"));
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("-3000"));
    EXPECT_EQ(x->text(), QStringLiteral("-3000"));
    // A digit in front of the sign would make no number.
    x->setCursorPosition(0);
    QTest::keyClick(x, Qt::Key_7);
    EXPECT_EQ(x->text(), QStringLiteral("-3000"));

    // Pasted and dropped text passes the same checks as typed text.
    QLineEdit* y = f.EditY;
    y->setFocus();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("-500"));
    QTest::keyClick(y, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(y->text(), QStringLiteral("-500"));
    QTest::keyClick(y, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(y->text(), QStringLiteral("-500"));
    for (const QString& refused : {QStringLiteral("1e9"), QStringLiteral("1,2"), QStringLiteral("2.5")}) {
        y->setText(QStringLiteral("-500.1"));
        clipboard->setText(refused);
        QTest::keyClick(y, Qt::Key_Insert, Qt::ShiftModifier);
        y->paste(); // the context menu's entry
        y->insert(refused); // what a middle click inserts
        EXPECT_EQ(y->text(), QStringLiteral("-500.1")) << refused.toStdString();
    }
    EXPECT_TRUE(DropText(y, QStringLiteral("abc")));
    EXPECT_EQ(y->text(), QStringLiteral("-500.1"));

    // Deleting is never refused, even where it leaves no leading digit.
    y->setText(QStringLiteral("5.5"));
    y->setCursorPosition(1);
    QTest::keyClick(y, Qt::Key_Backspace);
    EXPECT_EQ(y->text(), QStringLiteral(".5"));
}
