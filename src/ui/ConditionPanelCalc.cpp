// The condition panel's calculation: the button "計算実行" through the
// remembered conditions and the driver to the result grid.

#include "ConditionPanel.h"

#include "DropDownComboBox.h"
#include "calc/CCalcConditionData.h"
#include "calc/COutputDataManager.h"
#include "calc/CaseFile.h"
#include "calc/PackageConditions.h"
#include "data/Error.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "geo/MieArea.h"
#include "platform/MessageBox.h"

#include <QLineEdit>
#include <QRadioButton>

namespace velmora::ui {

void ConditionPanel::SaveConditions()
{
    CCalcConditionData* cond = m_lists.conditions;
    if (!cond)
        return;
    if (m_state.calcMode == 1) {
        cond->SetSpCostItem(ComboBoxSyobunHimoku->currentIndex());
        cond->SetSpTransportType(ComboBoxUnpanSyubetsu->currentIndex());
        cond->SetSpDebrisWork(ComboBoxGaraHassei->currentIndex());
        cond->SetSpLoadingMethod(ComboBoxTsumikomi->currentIndex());
        cond->SetSpLoadClass(ComboBoxSekisai->currentIndex());
        cond->SetSpRefuseKind(ComboBoxJinkai->currentIndex());
        cond->SetSpDumpTruckCarry(RadioButtonDTCarry->isChecked());
        cond->SetSpDid(RadioButtonDIDTrue->isChecked());
        return;
    }
    cond->SetBugakariCostItem(ComboBoxSyobunHimoku->currentIndex());
    cond->SetBugakariTransportType(ComboBoxUnpanSyubetsu->currentIndex());
    cond->SetBugakariDid(RadioButtonDIDTrue->isChecked());
}

velmora::calc::CaseData ConditionPanel::ChosenConditions() const
{
    calc::CaseData d;
    d.district = ComboBoxArea->currentText();
    d.packageMethod = m_state.calcMode == 1;
    d.costItem = ComboBoxSyobunHimoku->currentText();
    d.transportType = ComboBoxUnpanSyubetsu->currentText();
    d.debrisWork = ComboBoxGaraHassei->currentText();
    d.loading = ComboBoxTsumikomi->currentText();
    d.refuseKind = ComboBoxJinkai->currentText();
    d.loadClass = ComboBoxSekisai->currentText();
    d.dumpTruckCarry = RadioButtonDTCarry->isChecked();
    d.did = RadioButtonDIDTrue->isChecked();
    calc::KeepDetailsRead(d, ComboBoxUnpanSyubetsu->currentIndex());
    return d;
}

void ConditionPanel::RunCalculation(const std::function<void(bool)>& show)
{
    // Start-up may have stopped before the master data was loaded; the
    // estimator must learn that instead of getting no answer at all.
    if (!m_driver)
        throw velmora::Error(QStringLiteral("マスタデータが読み込まれていないため、計算できません。\r\n"
                                            "起動時に名前を挙げたファイルを直すか差し替えるよう、"
                                            "データを配布している事務所に依頼してください。"));

    // A run that fails half-way must leave the driver pricing the rows still
    // shown with what priced them, and the remembered choices those of the
    // last calculation that went through.
    const COutputDataManager::Settings saved = m_driver->SaveSettings();
    const CCalcConditionData savedConditions = m_lists.conditions ? *m_lists.conditions : CCalcConditionData();
    const int savedRow = m_state.selectedRow;
    const auto restore = [&] {
        m_driver->RestoreSettings(saved);
        if (m_lists.conditions)
            *m_lists.conditions = savedConditions;
        m_state.selectedRow = savedRow;
    };
    try {
        // A case brings its own values and has asked about the table's already.
        if (!RunCalculationSteps(show ? show : m_showCalcResult, !show))
            restore();
    } catch (...) {
        restore();
        throw;
    }
}

bool ConditionPanel::HasConditionTexts() const
{
    // An empty list is a list file that could not be read (start-up named
    // it); the message names it again rather than blaming the price table.
    const bool package = m_state.calcMode == 1;
    const int t = ComboBoxUnpanSyubetsu->currentIndex();
    QString problem;
    if (ComboBoxSyobunHimoku->currentIndex() < 0)
        problem = COutputDataManager::NoChoicesText(QStringLiteral("処分費目"), package ? QStringLiteral("SPHimoku_RowSource.ini")
                                                                                      : QStringLiteral("Himoku_RowSource.ini"));
    else if (t < 0)
        problem = COutputDataManager::NoChoicesText(QStringLiteral("運搬種別"), package ? QStringLiteral("SPSyubetsu_RowSource.ini")
                                                                                      : QStringLiteral("Syubetsu_RowSource.ini"));
    else if (package && calc::PackageDetailsOf(t) == calc::PackageDetails::Unpriced)
        problem = COutputDataManager::NoPackageConditionsText(ComboBoxUnpanSyubetsu->currentText());
    else if (package && calc::PackageDetailsOf(t) == calc::PackageDetails::DebrisWorkAndLoading) {
        if (ComboBoxGaraHassei->currentIndex() < 0)
            problem = COutputDataManager::NoChoicesText(QStringLiteral("殻発生作業"), QStringLiteral("SPGaraHassei_RowSource.ini"));
        else if (ComboBoxTsumikomi->currentIndex() < 0)
            problem = COutputDataManager::NoChoicesText(QStringLiteral("積込工法区分"), QStringLiteral("SPTsumikomiKubun_RowSource.ini"));
    }
    if (problem.isEmpty())
        return true;
    platform::ShowMessage(problem + QStringLiteral("\r\n計算は行われませんでした。"), QStringLiteral("計算実行"),
                          platform::MessageButtons::Ok, platform::MessageIcon::Exclamation);
    return false;
}

bool ConditionPanel::ConfirmDroppingValues(bool costItemChanged) const
{
    const COutputDataManager::DroppedValues dropped = m_driver->ValuesDroppedByCalculate(costItemChanged);
    if (!dropped.any())
        return true;
    QString lines;
    if (dropped.distances > 0)
        lines += QStringLiteral("・道のり距離・手入力の運搬距離 %1 件（%2）\r\n")
                     .arg(dropped.distances)
                     .arg(costItemChanged ? QStringLiteral("処分費目が変わり、処分場の一覧が変わります")
                                          : QStringLiteral("前の現場から測った距離です"));
    if (dropped.fees > 0)
        lines += QStringLiteral("・処分費手入力 %1 件（%2）\r\n")
                     .arg(dropped.fees)
                     .arg(costItemChanged ? QStringLiteral("別の処分費目の処分費です")
                                          : QStringLiteral("その処分場が一覧から外れます"));
    // No, the answer that loses nothing, is the default: the table stays as it is.
    return platform::ShowMessage(QStringLiteral("この計算で、表の次の値が消えます。\r\n") + lines
                                     + QStringLiteral("\r\n計算しますか？\r\n"
                                                      "（「いいえ」で計算せず、表をそのまま残します）"),
                                 QStringLiteral("計算実行"), platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question)
        == platform::MessageAnswer::Yes;
}

bool ConditionPanel::RunCalculationSteps(const std::function<void(bool)>& show, bool askBeforeDropping)
{
    // Without the transport type's conditions the price would come from the
    // group or the method of an earlier run.
    if (!HasConditionTexts())
        return false;
    SaveConditions();
    m_driver->SelectRegister(ComboBoxSyobunHimoku->currentIndex());
    const int district = ComboBoxArea->currentIndex();

    if (m_state.calcMode == 1) {
        // HasConditionTexts has made sure the transport type has its texts.
        m_driver->SetPackageConditions(calc::PackageConditionTexts(ChosenConditions(), ComboBoxUnpanSyubetsu->currentIndex()));
        m_driver->SetPackageDistrict(district);
    } else {
        m_driver->SetLabourRateConditions(district, RadioButtonDIDTrue->isChecked(),
                                          ComboBoxSyobunHimoku->currentIndex(), ComboBoxUnpanSyubetsu->currentIndex());
    }

    m_state.selectedRow = 1;
    const double x = StrToFloat(EditX->text());
    const double y = StrToFloat(EditY->text());
    CCoordinatesConvert convert;
    double latitude = 0;
    double longitude = 0;
    convert.PlaneToLatLon(x, y, latitude, longitude);
    m_driver->SetJobSite(latitude, longitude, x, y);

    const bool costItemChanged = ComboBoxSyobunHimoku->currentIndex() != m_state.lastCalcCostItem;
    if (askBeforeDropping && !ConfirmDroppingValues(costItemChanged))
        return false;
    if (show)
        show(costItemChanged);
    m_state.lastCalcCostItem = ComboBoxSyobunHimoku->currentIndex();
    return true;
}

void ConditionPanel::ButtonCalcClick()
{
    if (!ConfirmJobSiteArea())
        return;
    RunCalculation();
}

bool ConditionPanel::ConfirmJobSiteArea()
{
    const double x = StrToFloatDefault(EditX->text(), 0);
    const double y = StrToFloatDefault(EditY->text(), 0);
    if (velmora::geo::IsJobSiteWithinMie(x, y))
        return true;
    // A new calculation forgets the road distances of the table shown, so
    // the answer that loses nothing, No, is the default.
    return platform::ShowMessage(QStringLiteral("入力された座標は三重県の範囲外です。\r\n"
                                                "X座標とY座標が入れ替わっていないか確認してください。\r\n\r\n"
                                                "このまま計算しますか？"),
                                 QStringLiteral("座標の確認"), platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question)
        == platform::MessageAnswer::Yes;
}

} // namespace velmora::ui
