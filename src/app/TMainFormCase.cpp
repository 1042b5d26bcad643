// The main window's case files: saving the calculation shown with the
// estimator's distances and fees, reopening it, and the question before
// such values are lost.

#include "TMainForm.h"

#include "BidCaseCapture.h"
#include "calc/CCalcConditionData.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/CaseOpenChecks.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/NumberText.h"
#include "platform/MessageBox.h"
#include "platform/SaveFileDialog.h"
#include "ui/ConditionPanel.h"
#include "ui/DropDownComboBox.h"
#include "ui/ResultExport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <algorithm>

using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;

namespace {

QString SaveCaption()
{
    return QStringLiteral("案件を保存");
}

QString OpenCaption()
{
    return QStringLiteral("案件を開く");
}

QStringList ItemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// A name for the file: the bid case's number where there is one.
QString ProposedCaseName(const velmora::calc::BidCase& bidCase)
{
    QString stem = bidCase.number.isEmpty()
        ? QStringLiteral("案件_") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmm"))
        : QStringLiteral("案件_") + bidCase.number;
    // Characters no file system takes.
    for (QChar& c : stem)
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            c = u'_';
    return stem + u'.' + velmora::calc::CaseFileSuffix();
}

// What a saved case must match for the table to hold nothing unsaved; the
// order of the rows is no value of the estimator's.
QByteArray WorkOf(velmora::calc::CaseData d)
{
    d.sortMode = 0;
    std::sort(d.rows.begin(), d.rows.end(),
              [](const velmora::calc::CaseRow& a, const velmora::calc::CaseRow& b) { return a.site < b.site; });
    return velmora::calc::WriteCase(d);
}

} // namespace

void TMainForm::ConnectCaseFiles()
{
    bidCaseCapture = new velmora::app::BidCaseCapture(BrowserNyusatsuInfo, this);
    // Around the capture handler, which is connected before: the fields'
    // texts before and after a press tell a capture from a failed one.
    connect(ButtonGetCoord, &QPushButton::pressed, this,
            [this] { bidCaseCapture->BeforeCapture(EditX->text(), EditY->text()); });
    connect(ButtonGetCoord, &QPushButton::clicked, this,
            [this] { bidCaseCapture->AfterCapture(EditX->text(), EditY->text()); });

    connect(ButtonSaveCase, &QPushButton::clicked, this, &TMainForm::ButtonSaveCaseClick);
    connect(ButtonOpenCase, &QPushButton::clicked, this, &TMainForm::ButtonOpenCaseClick);
    auto* save = new QShortcut(QKeySequence::Save, this);
    save->setObjectName(QStringLiteral("ShortcutSaveCase"));
    connect(save, &QShortcut::activated, this, &TMainForm::ButtonSaveCaseClick);
    auto* open = new QShortcut(QKeySequence::Open, this);
    open->setObjectName(QStringLiteral("ShortcutOpenCase"));
    connect(open, &QShortcut::activated, this, &TMainForm::ButtonOpenCaseClick);
}

void TMainForm::RememberCalculatedCase()
{
    using velmora::calc::CaseData;
    auto d = std::make_unique<CaseData>();
    if (!driver)
        return;
    d->xText = driver->JobSite().GetXText();
    d->yText = driver->JobSite().GetYText();
    d->district = ComboBoxArea->currentText();
    d->packageMethod = calcMode == 1;
    d->costItem = ComboBoxSyobunHimoku->currentText();
    d->transportType = ComboBoxUnpanSyubetsu->currentText();
    if (d->packageMethod) {
        switch (ComboBoxUnpanSyubetsu->currentIndex()) {
        case 0:
            d->debrisWork = ComboBoxGaraHassei->currentText();
            d->loading = ComboBoxTsumikomi->currentText();
            break;
        case 1:
            d->refuseKind = ComboBoxJinkai->currentText();
            break;
        case 3:
            d->loadClass = ComboBoxSekisai->currentText();
            break;
        default:
            break;
        }
        d->dumpTruckCarry = RadioButtonDTCarry->isChecked();
    }
    d->did = RadioButtonDIDTrue->isChecked();
    d->bidCase = bidCaseCapture->CaseFor(EditX->text(), EditY->text());
    resultExport->RememberBidCase(d->bidCase.number, d->bidCase.name);
    m_calculatedCase = std::move(d);
}

velmora::calc::CaseData TMainForm::CurrentCase()
{
    velmora::calc::CaseData d = m_calculatedCase ? *m_calculatedCase : velmora::calc::CaseData{};
    d.sortMode = sortMode;
    if (resultList && driver)
        d.rows = velmora::calc::CaseRowsOf(*resultList, driver->JobSite());
    return d;
}

bool TMainForm::HasUnsavedWork()
{
    if (!resultList || !m_calculatedCase)
        return false;
    const velmora::calc::CaseData d = CurrentCase();
    return !d.rows.empty() && WorkOf(d) != m_savedCase;
}

bool TMainForm::ConfirmLosingUnsavedWork(const QString& caption, const QString& question)
{
    if (!HasUnsavedWork())
        return true;
    // No, the answer that loses nothing, is the default.
    return ShowMessage(QStringLiteral("計算結果に、案件として保存していない道のり距離または手入力の値があります。\r\n"
                                      "保存しないと失われます（「案件を保存」で保存できます）。\r\n\r\n")
                           + question,
                       caption, MessageButtons::YesNo, MessageIcon::Question)
        == MessageAnswer::Yes;
}

bool TMainForm::ButtonSaveCaseClick()
{
    if (!resultList || resultList->Count() == 0 || !m_calculatedCase) {
        ShowMessage(QStringLiteral("保存する計算結果がありません。\r\n先に計算を実行してください。"), SaveCaption(),
                    MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    const QString proposed = QDir(velmora::platform::LastSaveFolder()).filePath(ProposedCaseName(m_calculatedCase->bidCase));
    const QString path = velmora::platform::AskSaveFileName(
        this, {SaveCaption(), proposed, velmora::calc::CaseFileFilter(), velmora::calc::CaseFileSuffix()});
    if (path.isEmpty())
        return false;
    return SaveCaseTo(path);
}

bool TMainForm::SaveCaseTo(const QString& path)
{
    const velmora::calc::CaseData d = CurrentCase();
    try {
        velmora::calc::SaveCaseFile(path, d);
    } catch (const velmora::Error& e) {
        ShowMessage(e.message(), SaveCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    velmora::platform::RememberSaveFolder(path);
    m_savedCase = WorkOf(d);
    return true;
}

bool TMainForm::ButtonOpenCaseClick()
{
    velmora::platform::SaveFileRequest request{OpenCaption(), velmora::platform::LastSaveFolder(),
                                               velmora::calc::CaseFileFilter(), velmora::calc::CaseFileSuffix()};
    const QString path = velmora::platform::AskOpenFileName(this, request);
    if (path.isEmpty())
        return false;
    return OpenCaseFrom(path);
}

bool TMainForm::OpenCaseFrom(const QString& path)
{
    using namespace velmora::calc;
    if (!driver) {
        ShowMessage(QStringLiteral("マスタデータが読み込まれていないため、案件を開けません。"), OpenCaption(),
                    MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    // Everything is checked before anything on the window changes.
    CaseData d;
    CaseIndexes at;
    try {
        d = LoadCaseFile(path);
        CaseLists lists;
        lists.districts = ItemsOf(ComboBoxArea);
        lists.packageCostItems = spHimokuSource->Items();
        lists.labourCostItems = himokuSource->Items();
        lists.packageTransportTypes = [this](int c) { return spSyubetsuModel->Items(c); };
        lists.labourTransportTypes = [this](int c) { return syubetsuModel->Items(c); };
        lists.debrisWorks = [this](int c) { return spGaraHasseiModel->Items(c); };
        lists.loadings = [this](int c, int w) { return spTsumikomiModel->Items(c, w); };
        lists.refuseKinds = ItemsOf(ComboBoxJinkai);
        lists.loadClasses = ItemsOf(ComboBoxSekisai);
        lists.siteNames = [this](int c) { return SiteNames(*driver, c); };
        at = ResolveCase(d, lists);
        CheckCaseJobSite(d);
    } catch (const velmora::Error& e) {
        ShowMessage(CaseOpenFailureText(path, e.message()), OpenCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    if (!ConfirmLosingUnsavedWork(OpenCaption(), QStringLiteral("保存せずに案件を開きますか？")))
        return false;

    // The panel as the estimator had set it. The construction-package
    // choices come back through the remembered conditions, as after a
    // switch of the method.
    ComboBoxArea->setCurrentIndex(at.district);
    if (d.packageMethod) {
        conditions->SetSpCostItem(at.costItem);
        conditions->SetSpTransportType(at.transportType);
        conditions->SetSpDebrisWork(at.debrisWork);
        conditions->SetSpLoadingMethod(at.loading);
        conditions->SetSpRefuseKind(at.refuseKind);
        conditions->SetSpLoadClass(at.loadClass);
        conditions->SetSpDumpTruckCarry(d.dumpTruckCarry);
        conditions->SetSpDid(d.did);
        RadioButtonSP->setChecked(true);
        calcMode = 1;
        ApplyCalcMode();
    } else {
        conditions->SetBugakariDid(d.did);
        RadioButtonBugakari->setChecked(true);
        calcMode = 0;
        ApplyCalcMode();
        ComboBoxSyobunHimoku->setCurrentIndex(at.costItem);
        conditionPanel->ComboBoxSyobunHimokuChange();
        ComboBoxUnpanSyubetsu->setCurrentIndex(at.transportType);
    }
    EditX->setText(d.xText);
    EditY->setText(d.yText);
    sortMode = d.sortMode;
    if (QAbstractButton* b = sortModeButtons->button(d.sortMode))
        b->setChecked(true);
    bidCaseCapture->Restore(d.bidCase, d.xText, d.yText);

    // Calculated afresh, then the estimator's values on their rows.
    RunCalculation();
    if (resultList) {
        const QStringList notFound = ApplyCaseRows(d, *resultList);
        ShowCalcResult(false);
        if (!notFound.isEmpty())
            ShowMessage(QStringLiteral("次の処分場は60km以内に見つからないため、保存された距離・処分費を戻せませんでした。\r\n%1")
                            .arg(notFound.join(QStringLiteral("\r\n"))),
                        OpenCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
    }
    m_savedCase = WorkOf(CurrentCase());
    velmora::platform::RememberSaveFolder(path);
    return true;
}
