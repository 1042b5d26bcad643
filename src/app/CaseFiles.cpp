#include "CaseFiles.h"

#include "JobSiteCapture.h"
#include "MainWindowHost.h"
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
#include "ui/DropDownComboBox.h"
#include "ui/ResultExport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <algorithm>

using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;

namespace velmora::app {

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

// The bytes a saved case and the table must share for the table to hold
// nothing unsaved; the order of the rows is no value of the estimator's.
QByteArray NormalisedCaseBytes(velmora::calc::CaseData d)
{
    d.sortMode = 0;
    // What the table showed is no value of the estimator's either.
    d.shown.clear();
    d.dataEdition.clear();
    std::sort(d.rows.begin(), d.rows.end(),
              [](const velmora::calc::CaseRow& a, const velmora::calc::CaseRow& b) { return a.site < b.site; });
    return velmora::calc::WriteCase(d);
}

// The master data's version labels, as the evidence sheet names them.
QString DataEdition(const velmora::ui::ConditionPanel& panel)
{
    return (panel.LabelVerJa->text() + u' ' + panel.LabelVerEn->text()).trimmed();
}

} // namespace

CaseFiles::CaseFiles(MainWindowHost& host, const Parts& parts)
    : m_host(host)
    , m_parts(parts)
{
}

CaseFiles::~CaseFiles() = default;

void CaseFiles::Connect(QPushButton* save, QPushButton* open, QObject* shortcutOwner)
{
    QObject::connect(save, &QPushButton::clicked, shortcutOwner, [this] { AskAndSave(); });
    QObject::connect(open, &QPushButton::clicked, shortcutOwner, [this] { AskAndOpen(); });
    auto* saveKey = new QShortcut(QKeySequence::Save, shortcutOwner);
    saveKey->setObjectName(QStringLiteral("ShortcutSaveCase"));
    QObject::connect(saveKey, &QShortcut::activated, shortcutOwner, [this] { AskAndSave(); });
    auto* openKey = new QShortcut(QKeySequence::Open, shortcutOwner);
    openKey->setObjectName(QStringLiteral("ShortcutOpenCase"));
    QObject::connect(openKey, &QShortcut::activated, shortcutOwner, [this] { AskAndOpen(); });
}

void CaseFiles::RememberCalculatedCase()
{
    using velmora::calc::CaseData;
    const COutputDataManager* driver = m_host.Driver();
    if (!driver)
        return;
    const velmora::ui::ConditionPanel& panel = *m_parts.panel;
    auto d = std::make_unique<CaseData>();
    *d = panel.ChosenConditions();
    d->xText = driver->JobSite().GetXText();
    d->yText = driver->JobSite().GetYText();
    d->bidCase = m_parts.jobSite->CurrentBidCase();
    d->dataEdition = DataEdition(panel);
    m_parts.resultExport->RememberBidCase(d->bidCase.number, d->bidCase.name);
    m_calculatedCase = std::move(d);
}

velmora::calc::CaseData CaseFiles::CurrentCase() const
{
    velmora::calc::CaseData d = m_calculatedCase ? *m_calculatedCase : velmora::calc::CaseData{};
    const velmora::ui::MainWindowState& state = m_host.State();
    d.sortMode = state.sortMode;
    if (state.resultList && m_host.Driver()) {
        d.rows = velmora::calc::CaseRowsOf(*state.resultList, m_host.Driver()->JobSite());
        d.shown = velmora::calc::ShownRowsOf(*state.resultList);
    }
    return d;
}

bool CaseFiles::HasUnsavedWork() const
{
    if (!m_host.State().resultList || !m_calculatedCase)
        return false;
    const velmora::calc::CaseData d = CurrentCase();
    return !d.rows.empty() && NormalisedCaseBytes(d) != m_savedCaseNormalised;
}

bool CaseFiles::ConfirmLosingUnsavedWork(const QString& caption, const QString& question) const
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

bool CaseFiles::AskAndSave()
{
    const CDisplayCalcResultList* list = m_host.State().resultList;
    if (!list || list->Count() == 0 || !m_calculatedCase) {
        ShowMessage(QStringLiteral("保存する計算結果がありません。\r\n先に計算を実行してください。"), SaveCaption(),
                    MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    const QString proposed = QDir(velmora::platform::LastSaveFolder()).filePath(ProposedCaseName(m_calculatedCase->bidCase));
    const QString path = velmora::platform::AskSaveFileName(
        m_host.Window(), {SaveCaption(), proposed, velmora::calc::CaseFileFilter(), velmora::calc::CaseFileSuffix()});
    if (path.isEmpty())
        return false;
    return SaveTo(path);
}

bool CaseFiles::SaveTo(const QString& path)
{
    const velmora::calc::CaseData d = CurrentCase();
    try {
        velmora::calc::SaveCaseFile(path, d);
    } catch (const velmora::Error& e) {
        ShowMessage(e.message(), SaveCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    velmora::platform::RememberSaveFolder(path);
    m_savedCaseNormalised = NormalisedCaseBytes(d);
    return true;
}

bool CaseFiles::AskAndOpen()
{
    velmora::platform::SaveFileRequest request{OpenCaption(), velmora::platform::LastSaveFolder(),
                                               velmora::calc::CaseFileFilter(), velmora::calc::CaseFileSuffix()};
    const QString path = velmora::platform::AskOpenFileName(m_host.Window(), request);
    if (path.isEmpty())
        return false;
    return OpenFrom(path);
}

bool CaseFiles::ReadCase(const QString& path, velmora::calc::CaseData& d, velmora::calc::CaseIndexes& at) const
{
    using namespace velmora::calc;
    const velmora::ui::ConditionPanel& panel = *m_parts.panel;
    const velmora::ui::ConditionPanel::Lists& models = m_parts.lists;
    COutputDataManager* driver = m_host.Driver();
    try {
        d = LoadCaseFile(path);
        const CaseLists lists = CaseListsOf({models.himokuSource, models.spHimokuSource, models.syubetsuModel,
                                             models.spSyubetsuModel, models.spGaraHasseiModel, models.spTsumikomiModel},
                                            ItemsOf(panel.ComboBoxArea), *driver);
        // The job site first: rows measured from an unreadable one are not
        // "from elsewhere". Then everything the calculation button would
        // refuse, before anything on the window changes.
        CheckCaseJobSite(d);
        at = ResolveCase(d, lists);
        CheckCaseCalculable(d, at);
    } catch (const velmora::Error& e) {
        ShowMessage(CaseOpenFailureText(path, e.message()), OpenCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool CaseFiles::OpenFrom(const QString& path)
{
    if (!m_host.Driver()) {
        ShowMessage(QStringLiteral("マスタデータが読み込まれていないため、案件を開けません。"), OpenCaption(),
                    MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    // Everything is checked before anything on the window changes.
    velmora::calc::CaseData d;
    velmora::calc::CaseIndexes at;
    if (!ReadCase(path, d, at))
        return false;
    if (!ConfirmLosingUnsavedWork(OpenCaption(), QStringLiteral("保存せずに案件を開きますか？")))
        return false;
    ApplyCase(d, at);
    m_savedCaseNormalised = NormalisedCaseBytes(CurrentCase());
    velmora::platform::RememberSaveFolder(path);
    return true;
}

void CaseFiles::ApplyCase(const velmora::calc::CaseData& d, const velmora::calc::CaseIndexes& at)
{
    velmora::ui::ConditionPanel& panel = *m_parts.panel;
    CCalcConditionData* conditions = m_parts.lists.conditions;
    velmora::ui::MainWindowState& state = m_host.State();
    // The construction-package choices come back through the remembered
    // conditions, as after a switch of the method.
    panel.ComboBoxArea->setCurrentIndex(at.district);
    if (d.packageMethod) {
        conditions->SetSpCostItem(at.costItem);
        conditions->SetSpTransportType(at.transportType);
        conditions->SetSpDebrisWork(at.debrisWork);
        conditions->SetSpLoadingMethod(at.loading);
        conditions->SetSpRefuseKind(at.refuseKind);
        conditions->SetSpLoadClass(at.loadClass);
        conditions->SetSpDumpTruckCarry(d.dumpTruckCarry);
        conditions->SetSpDid(d.did);
        panel.RadioButtonSP->setChecked(true);
        state.calcMode = 1;
        panel.ApplyCalcMode();
    } else {
        conditions->SetBugakariDid(d.did);
        panel.RadioButtonBugakari->setChecked(true);
        state.calcMode = 0;
        panel.ApplyCalcMode();
        panel.ComboBoxSyobunHimoku->setCurrentIndex(at.costItem);
        panel.ComboBoxSyobunHimokuChange();
        panel.ComboBoxUnpanSyubetsu->setCurrentIndex(at.transportType);
    }
    panel.EditX->setText(d.xText);
    panel.EditY->setText(d.yText);
    state.sortMode = d.sortMode;
    if (QAbstractButton* b = m_parts.sortButtons->button(d.sortMode))
        b->setChecked(true);
    m_parts.jobSite->Restore(d.bidCase);

    // Calculated afresh, then the estimator's values on their rows. What
    // changed since the case was saved is told while the old table is still
    // on show; the new one follows.
    panel.RunCalculation([this, &d, &panel](bool costItemChanged) {
        COutputDataManager* driver = m_host.Driver();
        const QStringList notFound = velmora::calc::ApplyCaseRows(d, driver->Calculate(costItemChanged));
        driver->Calculate(false);
        const QStringList changes = velmora::calc::CaseChanges(d, DataEdition(panel), velmora::calc::ShownRowsOf(driver->Results()));
        m_parts.resultExport->RememberCaseChanges(changes);
        if (!changes.isEmpty())
            ShowMessage(velmora::calc::CaseChangesHeading() + QStringLiteral("。\r\n表を現在のデータで計算し直します。\r\n\r\n")
                            + changes.join(QStringLiteral("\r\n")),
                        OpenCaption(), MessageButtons::Ok, MessageIcon::Information);
        m_host.ShowCalcResult(false);
        if (!notFound.isEmpty())
            ShowMessage(QStringLiteral("次の処分場は60km以内に見つからないため、保存された距離・処分費を戻せませんでした。\r\n%1")
                            .arg(notFound.join(QStringLiteral("\r\n"))),
                        OpenCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
    });
}

} // namespace velmora::app
