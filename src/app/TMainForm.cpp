#include "TMainForm.h"

#include "BidInfoBrowser.h"
#include "CQuillonVersionIniManager.h"
#include "CaseFiles.h"
#include "CheapestSiteSearch.h"
#include "JobSiteCapture.h"
#include "MainWindowEvents.h"
#include "RoadDistanceExchange.h"
#include "PageControl.h"
#include "TWaitStartForm.h"
#include "calc/CCalcConditionData.h"
#include "calc/COutputDataManager.h"
#include "calc/PackageConditions.h"
#include "data/CEnDecryption.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/DefaultDistrict.h"
#include "data/FindDataFileName.h"
#include "data/Paths.h"
#include "data/TableFindings.h"
#include "data/Notifier.h"
#include "platform/BoxNotifier.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "ui/ComboBoxTarget.h"
#include "ui/ConditionPanel.h"
#include "ui/DropDownComboBox.h"
#include "ui/EnterClicks.h"
#include "ui/Placement.h"
#include "ui/ResultExport.h"
#include "ui/ResultGrid.h"
#include "ui/ResultMapFeature.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/TBrowserPopupForm.h"
#include "web/browser/WebBrowser.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>
#include <cmath>

using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;
using velmora::ui::ShownText;

namespace {

// Hints appear at once; each control keeps its own hint for 60 seconds.
class HintStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void installHintStyle()
{
    if (dynamic_cast<HintStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new HintStyle(QApplication::style()->name()));
}

QString updateCheckerPath()
{
#ifdef Q_OS_WIN
    return velmora::data::Paths::exeDirectory() + QStringLiteral("chk_verup/chk_verup.exe");
#else
    return velmora::data::Paths::exeDirectory() + QStringLiteral("chk_verup/chk_verup");
#endif
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    // 1. The state fields hold their initial values (MainWindowState).
    BuildForm();

    // 2. The owned objects, each list model filling its drop-down list once.
    unpanSyubetsuTarget = std::make_unique<velmora::ui::ComboBoxTarget>(ComboBoxUnpanSyubetsu);
    garaHasseiTarget = std::make_unique<velmora::ui::ComboBoxTarget>(ComboBoxGaraHassei);
    tsumikomiTarget = std::make_unique<velmora::ui::ComboBoxTarget>(ComboBoxTsumikomi);
    himokuSource = std::make_unique<CHimokuRowSource>();
    spHimokuSource = std::make_unique<CSPHimokuRowSource>();
    syubetsuModel = std::make_unique<CSyubetsuComboBox>(unpanSyubetsuTarget.get());
    spSyubetsuModel = std::make_unique<CSPSyubetsuComboBox>(unpanSyubetsuTarget.get());
    spGaraHasseiModel = std::make_unique<CSPGaraHasseiComboBox>(garaHasseiTarget.get());
    spTsumikomiModel = std::make_unique<CSPTsumikomiComboBox>(tsumikomiTarget.get());
    conditions = std::make_unique<CCalcConditionData>();
    conditionPanel->bind({himokuSource.get(), spHimokuSource.get(), syubetsuModel.get(), spSyubetsuModel.get(),
                          spGaraHasseiModel.get(), spTsumikomiModel.get(), conditions.get()});

    // The readers' warnings come as boxes from here on, the splash still up.
    static velmora::platform::BoxNotifier readerWarnings;
    velmora::data::setNotifier(&readerWarnings);

    // 3. Hint behaviour (the window is laid out in pixels; nothing scales it).
    installHintStyle();

    // 4. Events: the condition panel binds its own; the close buttons here.
    for (QPushButton* b : {ButtonCloseMainTab, ButtonCloseCalcResultTab, ButtonCloseGoogleMapTab})
        connect(b, &QPushButton::clicked, this, &TMainForm::ButtonCloseClick);
    // Enter in a coordinate field does what the estimator then reaches for.
    velmora::ui::ClickOnEnter(ButtonCalc, {EditX, EditY});
    CreateFeatures();
    ConnectHandlers();

    // 5. The web-site definitions; without them the program cannot work at all.
    try {
        CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath());
    } catch (const velmora::web::WebDataDefMissing& missing) {
        ShowMessage(missing.message(), QStringLiteral("起動エラー"), MessageButtons::Ok, MessageIcon::Exclamation);
        m_startupExitCode = 1;
        return;
    }

    FormCreate();
    CentreOnScreen();
}

TMainForm::~TMainForm()
{
    delete m_events;
    m_events = nullptr;
    // The pop-up goes before the objects the window owns.
    m_caseFiles.reset();
    m_jobSite.reset();
    m_bidInfo.reset();
    m_cheapestSearch.reset();
    m_roadDistances.reset();
    resultList = nullptr;
    conditionPanel->setDriver(nullptr);
    StringGrid->setDriver(nullptr);
    conditionPanel->bind({});
    driver.reset();
    conditions.reset();
    spTsumikomiModel.reset();
    spGaraHasseiModel.reset();
    spSyubetsuModel.reset();
    syubetsuModel.reset();
    spHimokuSource.reset();
    himokuSource.reset();
}

void TMainForm::FormCreate()
{
    auto splash = std::make_unique<TWaitStartForm>();
    splash->showAndPaint();
    auto version = std::make_unique<CQuillonVersionIniManager>();
    LabelVerJa->setText(version->EditionText());
    LabelVerEn->setText(version->VersionText());
    LabelExplain->setText(version->ExplainText());
    velmora::platform::StartDetached(updateCheckerPath());

    QString error;
    bool failed = false;
    try {
        InitializeMainWindow();
        FitToScreen();
    } catch (...) {
        failed = true;
        error = velmora::platform::CurrentExceptionMessage();
    }
    version.reset();
    splash.reset();
    // As the framework would: the box comes once the creation step is left.
    if (failed)
        velmora::platform::ShowErrorBox(error);
    // Failures the readers could only note while loading (sites left out, a
    // working file that could not be made) are told once, with everything.
    const QStringList deferred = velmora::data::takeDeferredWarnings();
    if (!deferred.isEmpty())
        ShowMessage(deferred.join(QStringLiteral("\r\n\r\n")), velmora::data::Paths::exeFileName(), MessageButtons::Ok,
                    MessageIcon::Exclamation);
}

void TMainForm::InitializeMainWindow()
{
    using namespace velmora::data;

    // A missing table or INI file would pass as an empty one and the
    // figures would quietly lack it; the estimator hears of it once loading
    // is over, with the other notes.
    const QString dataDirectory = Paths::dataDirectory();
    for (const QString& key : MissingScrambledTables(dataDirectory) + MissingShippedIniFiles(dataDirectory))
        deferWarning(MissingDataFileText(key, QDir::cleanPath(dataDirectory)));

    QStringList unreadable;
    for (const QString& file : EmptyShippedIniFiles(dataDirectory))
        unreadable.append(QStringLiteral("%1 に項目が一つもありません（ファイルが壊れていないか確かめてください）。").arg(file));
    CEnDecryption decoder;
    decoder.DecryptDataFiles();
    {
        // No working file may outlive this block, whatever happens in it.
        struct WorkFileCleanup
        {
            CEnDecryption& decoder;
            ~WorkFileCleanup() { decoder.DeleteWorkFiles(); }
        } cleanup{decoder};

        // A table that cannot be read at all leaves nothing to price with, but
        // the window still fills every list it can and says what is wrong:
        // a half-filled window with an enabled 計算実行 helps no one.
        try {
            driver = std::make_unique<COutputDataManager>();
        } catch (...) {
            unreadable.append(velmora::platform::CurrentExceptionMessage());
        }
        conditionPanel->setDriver(driver.get());
        StringGrid->setDriver(driver.get());

        try {
            const QStringList districts = LoadDistrictList(Paths::dataDirectory());
            // An emptied or garbled list reads as no district at all.
            if (districts.isEmpty())
                unreadable.append(QStringLiteral("%1 に地区が一つもありません（ファイルが壊れていないか確かめてください）。")
                                      .arg(ShippedFileName(dataDirectory + FindDataFileName(QStringLiteral("DA01"), dataDirectory))));
            ComboBoxArea->clear();
            ComboBoxArea->addItems(districts);
            ComboBoxArea->setCurrentIndex(ChooseDistrictIndex(districts, ReadSavedDistrict(Paths::exeDirectory())));
        } catch (...) {
            unreadable.append(velmora::platform::CurrentExceptionMessage());
        }
    }

    StringGrid->SetupLayout();

    velmora::ui::ComboBoxTarget himoku(ComboBoxSyobunHimoku);
    spHimokuSource->CopyItemsTo(himoku);
    ComboBoxSyobunHimoku->setCurrentIndex(ComboBoxSyobunHimoku->count() > 0 ? 0 : -1);
    lastCalcCostItem = ComboBoxSyobunHimoku->currentIndex();

    ComboBoxJinkai->clear();
    ComboBoxJinkai->addItems(velmora::calc::RefuseKinds());
    ComboBoxJinkai->setCurrentIndex(0);
    ComboBoxSekisai->clear();
    ComboBoxSekisai->addItems(velmora::calc::LoadClasses());
    ComboBoxSekisai->setCurrentIndex(0);

    RadioButtonSP->setChecked(true);
    conditionPanel->RadioButtonSPClick();
    RadioButtonDIDFalse->setChecked(true);
    RadioButtonDTCarry->setChecked(true);

    BitBtnGetLowest->setText(ShownText(QStringLiteral("道のり距離を取得し、\r\n最安値を計算")));
    ButtonCalc->setEnabled(false);
    if (!driver || ComboBoxArea->count() == 0) {
        const QString why = driver ? QStringLiteral("地区の一覧を読み込めなかったため、計算できません。")
                                   : QStringLiteral("マスタデータを読み込めなかったため、計算できません。");
        ButtonCalc->setToolTip(why);
        StatusBar->showMessage(why);
    }
    if (!unreadable.isEmpty())
        deferWarning(UnreadableDataText(unreadable));
    LabelAttention->setText(ShownText(QStringLiteral("[座標取得]ボタンは、MieClickMapsの地図が\r\n"
                                                     "完全に表示されてからクリックしてください。")));
    SetActivePage(PageMain);
    // The first page of the bid-information browser is asked for as soon as
    // the browser is there.
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (windowHandle() && !m_browsersScheduled)
        windowHandle()->installEventFilter(this);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::FormShow()
{
    velmora::platform::BringToForeground(this);
}

void TMainForm::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    ScheduleBrowsers();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // The window system's first exposure is painted as soon as this returns.
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed())
        ScheduleBrowsers();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ScheduleBrowsers()
{
    // The browser engine starts once the window is on screen and usable.
    if (m_browsersScheduled || BrowserNyusatsuInfo)
        return;
    m_browsersScheduled = true;
    QTimer::singleShot(0, this, &TMainForm::CreateBrowsers);
}

void TMainForm::ButtonCloseClick()
{
    close();
}

bool TMainForm::FormCloseQuery()
{
    const QString caption = QStringLiteral("Velmora終了");
    if (!m_caseFiles->HasUnsavedWork())
        return ShowMessage(QStringLiteral("Velmoraを終了しますか？"), caption, MessageButtons::YesNo, MessageIcon::Question)
               == MessageAnswer::Yes;
    // One question, with the way to keep the work in it.
    const MessageAnswer answer = velmora::platform::AskSaveDiscardCancel(
        QStringLiteral("計算結果に、案件として保存していない道のり距離または手入力の値があります。\r\n"
                       "保存しないと失われます。\r\n\r\nVelmoraを終了しますか？"),
        caption, QStringLiteral("保存して終了"), QStringLiteral("保存せずに終了"));
    if (answer == MessageAnswer::Save)
        return m_caseFiles->AskAndSave();
    return answer == MessageAnswer::Discard;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_closeConfirmed) {
        event->accept();
        return;
    }
    const bool searching = m_cheapestSearch && m_cheapestSearch->IsRunning();
    const bool fetching = m_roadDistances && m_roadDistances->IsWaiting();
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (!searching && !fetching) {
        event->accept();
        return;
    }
    // The search or the fetch waits inside a handler of this window: it is
    // stopped, and the window closes once that handler has returned, so that
    // no box of it is left behind a closed window and the program ends.
    m_closeConfirmed = true;
    if (searching)
        m_cheapestSearch->RequestStop(true);
    else
        m_roadDistances->StopWaiting();
    event->ignore();
}

void TMainForm::CloseIfConfirmed()
{
    if (m_closeConfirmed)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TMainForm::ApplyCalcMode()
{
    conditionPanel->ApplyCalcMode();
}

void TMainForm::UpdateCalcButton()
{
    conditionPanel->UpdateCalcButton();
}

void TMainForm::SaveConditions()
{
    conditionPanel->SaveConditions();
}

void TMainForm::RunCalculation()
{
    conditionPanel->RunCalculation();
}

void TMainForm::ShowCalcResult(bool costItemChanged)
{
    StringGrid->ShowCalcResult(costItemChanged);
}

void TMainForm::ClearResultGrid()
{
    StringGrid->ClearResultGrid();
}

void TMainForm::RestoreSelectedRow(const QString& previousName)
{
    StringGrid->RestoreSelectedRow(previousName);
}

void TMainForm::RadioGroupSortModeClick(int item)
{
    sortMode = item;
    // Before the first calculation there are no rows to put in order.
    if (resultList)
        ShowCalcResult(false);
}

void TMainForm::ButtonToMainClick()
{
    SetActivePage(PageMain);
}

void TMainForm::ButtonAreaSaveClick()
{
    conditionPanel->ButtonAreaSaveClick();
}

void TMainForm::SetActivePage(int index)
{
    PageControl->setCurrentIndex(index);
}

int TMainForm::ActivePage() const
{
    return PageControl->currentIndex();
}

// ---- Features ----------------------------------------------------------

void TMainForm::CreateFeatures()
{
    using namespace velmora::app;
    MainWindowHost& host = *this;
    m_roadDistances = std::make_unique<RoadDistanceExchange>(host, RoadDistanceExchange::Controls{StringGrid, ButtonGetDistance});
    m_cheapestSearch = std::make_unique<CheapestSiteSearch>(
        host, *m_roadDistances, CheapestSiteSearch::Controls{StringGrid, EditGetLowest, BitBtnGetLowest, sortModeButtons});
    m_bidInfo = std::make_unique<BidInfoBrowser>(host);
    m_jobSite = std::make_unique<JobSiteCapture>(host, *conditionPanel, this);
    CaseFiles::Parts parts;
    parts.panel = conditionPanel;
    parts.lists = {himokuSource.get(), spHimokuSource.get(), syubetsuModel.get(), spSyubetsuModel.get(),
                   spGaraHasseiModel.get(), spTsumikomiModel.get(), conditions.get()};
    parts.sortButtons = sortModeButtons;
    parts.resultExport = resultExport.get();
    parts.jobSite = m_jobSite.get();
    m_caseFiles = std::make_unique<CaseFiles>(host, parts);
}

void TMainForm::ConnectHandlers()
{
    m_events = new velmora::app::MainWindowEvents(*this, *EditGetLowest,
                                                  {[this] { FormActivate(); }, [this](QChar& key) { EditGetLowestKeyPress(key); }});
    connect(PageControl, &velmora::app::PageControl::pageChangedByUser, this, [this] {
        bool allowChange = true;
        PageControlChanging(allowChange);
    });
    connect(ButtonNyusatsuInfo, &QPushButton::clicked, this, &TMainForm::ButtonNyusatsuInfoClick);
    connect(ButtonPrev, &QPushButton::clicked, this, &TMainForm::ButtonPrevClick);
    connect(ButtonNext, &QPushButton::clicked, this, &TMainForm::ButtonNextClick);
    connect(ButtonSendLaLo, &QPushButton::clicked, this, [this] { ButtonSendLaLoClick(ButtonSendLaLo); });
    connect(ButtonGetDistance, &QPushButton::clicked, this, [this] { ButtonGetDistanceClick(ButtonGetDistance); });
    connect(BitBtnGetLowest, &QPushButton::clicked, this, &TMainForm::BitBtnGetLowestClick);
    connect(StringGrid, &QAbstractItemView::doubleClicked, this, &TMainForm::StringGridDblClick);
    m_jobSite->Connect();
    m_caseFiles->Connect(ButtonSaveCase, ButtonOpenCase, this);
}

velmora::web::WebBrowser* TMainForm::BidBrowser()
{
    CreateBrowsers();
    return BrowserNyusatsuInfo;
}

velmora::web::WebBrowser* TMainForm::RouteBrowser()
{
    CreateBrowsers();
    return BrowserGoogleMaps;
}

void TMainForm::CalculationShown()
{
    m_roadDistances->CalculationShown();
    // Only a calculation that went through describes the list now shown.
    resultExport->RememberConditions();
    m_caseFiles->RememberCalculatedCase();
}

std::optional<QPointF> TMainForm::ShownJobSite() const
{
    return m_roadDistances->ShownJobSite();
}

TBrowserPopupForm* TMainForm::popupBrowser() const
{
    return m_bidInfo->Popup();
}
