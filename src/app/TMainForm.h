#pragma once

#include "MainWindowHost.h"
#include "calc/CaseFile.h"
#include "ui/FlowPlacement.h"
#include "ui/MainWindowState.h"

#include <QMainWindow>
#include <QPointF>
#include <QSize>
#include <memory>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QWebEnginePage;
class QVBoxLayout;
class TBrowserPopupForm;
class CCalcConditionData;
class CDisplayCalcResultData;
class CHimokuRowSource;
class COutputDataManager;
class CSPGaraHasseiComboBox;
class CSPHimokuRowSource;
class CSPSyubetsuComboBox;
class CSPTsumikomiComboBox;
class CSyubetsuComboBox;

namespace velmora::ui {
class ComboBoxTarget;
class ConditionPanel;
class DropDownComboBox;
class ResultExport;
class ResultGrid;
class ResultMapFeature;
} // namespace velmora::ui

namespace velmora::web {
class WebBrowser;
}

namespace velmora::app {
class BidInfoBrowser;
class CaseFiles;
class CheapestSiteSearch;
class JobSiteCapture;
class MainWindowEvents;
class PageControl;
class RoadDistanceExchange;
} // namespace velmora::app

// The main window: a frame of three pages around the condition panel, the
// result grid and the two browsers. It owns the selection lists, the
// remembered conditions and the calculation driver, keeps the state fields
// (selectedRow, calcMode, sortMode, resultList, …) the panels share, and
// hands each handler over to the feature that does the work: the road-
// distance exchange, the cheapest-site search, the bid-information browser,
// job-site capture and case files. Controls keep the names the estimators'
// manual uses.
//
// The browsers are made right after the window's first paint, so that the
// window and the condition panel are there before the browser engine starts.
class TMainForm : public QMainWindow, public velmora::ui::MainWindowState, private velmora::app::MainWindowHost
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 1162;
    static constexpr int ClientHeight = 631;
    static constexpr int DesignWidth = 1178;
    static constexpr int DesignHeight = 669;
    static constexpr int TopPanelHeight = 91;
    static constexpr int PageMain = velmora::app::PageMain;
    static constexpr int PageCalcResult = velmora::app::PageCalcResult;
    static constexpr int PageGoogleMap = velmora::app::PageGoogleMap;

    // Runs the whole construction and creation sequence. When the web-site
    // definitions are missing, the box has been shown and startupExitCode()
    // is 1: the caller must end the process without showing the window.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    int startupExitCode() const { return m_startupExitCode; }

    // Start-up.
    void FormCreate();
    void InitializeMainWindow();
    void FitToScreen();
    // The same for a given screen size and taskbar height (small screens).
    void FitToScreen(const QSize& screen, int taskbarHeight);
    int TaskbarHeight() const;
    // The window's size including the frame the window system adds.
    QSize OuterSize() const;
    // The browsers, made and sent to their first pages; the window does this
    // itself right after its first paint. Nothing happens the second time.
    void CreateBrowsers();

    // Closing.
    void ButtonCloseClick();
    // Asks "Velmoraを終了しますか？"; when the table holds values no case file
    // has, asks once instead: save and close, close without saving, or
    // cancel (the default). True when the window may close.
    bool FormCloseQuery();
    // Closes the window when closing was confirmed while a handler waited.
    void CloseIfConfirmed();

    // Condition panel and result grid, as the handlers call them.
    void ApplyCalcMode();
    void UpdateCalcButton();
    void SaveConditions();
    void RunCalculation();
    void ShowCalcResult(bool costItemChanged) override;
    void ClearResultGrid();
    void RestoreSelectedRow(const QString& previousName);
    void RadioGroupSortModeClick(int item);
    void ButtonToMainClick();
    void ButtonAreaSaveClick();

    // Case files. The buttons ask for the file; the ...To/...From variants
    // take it. False when nothing was saved or opened (the estimator has
    // been told why).
    bool ButtonSaveCaseClick();
    bool ButtonOpenCaseClick();
    bool SaveCaseTo(const QString& path);
    bool OpenCaseFrom(const QString& path);
    // The calculation shown with its distances and fees, as a case file has it.
    velmora::calc::CaseData CurrentCase();
    // Road distances or typed values in the table that no case file holds.
    bool HasUnsavedWork();
    // Asks before such values are lost; true when they may go.
    bool ConfirmLosingUnsavedWork(const QString& caption, const QString& question);

    // Makes a page the active one without counting as the user's switch.
    void SetActivePage(int index) override;
    int ActivePage() const;

    // Web handlers.
    void ButtonNyusatsuInfoClick();
    void ButtonPrevClick();
    void ButtonNextClick();
    void BrowserNyusatsuInfoBeforeNavigate2(const QString& address, bool* cancel);
    void BrowserNyusatsuInfoNavigateComplete2(const QString& address);
    void BrowserNyusatsuInfoNewWindow2(QWebEnginePage** newWindow, bool* cancel);
    void BrowserNyusatsuInfoWindowClosing(bool isChildWindow, bool* cancel);
    void PageControlChanging(bool& allowChange);
    void ButtonGetCoordClick();
    void FormActivate();
    // False when nothing was sent (no row, or the route page did not load).
    bool ButtonSendLaLoClick(QObject* sender);
    // False when no distance was stored.
    bool ButtonGetDistanceClick(QObject* sender);
    void StringGridDblClick();
    void EditGetLowestKeyPress(QChar& key);
    void BitBtnGetLowestClick();
    // The job site (plane X, Y in metres) of the calculation the grid shows;
    // empty before the first calculation. Road distances belong to it, not
    // to whatever EditX and EditY hold now.
    std::optional<QPointF> ShownJobSite() const;
    // The pop-up window opened from the bid-information browser; null when none.
    TBrowserPopupForm* popupBrowser() const;
    // The road-distance exchange with the route page.
    velmora::app::RoadDistanceExchange& roadDistances() { return *m_roadDistances; }
    velmora::app::CheapestSiteSearch& cheapestSearch() { return *m_cheapestSearch; }
    // The result map page and the GeoJSON button.
    velmora::ui::ResultMapFeature& resultMap() { return *m_resultMap; }

    // Owned objects the panels and the tests work with.
    std::unique_ptr<CSPTsumikomiComboBox> spTsumikomiModel;
    std::unique_ptr<CCalcConditionData> conditions;
    std::unique_ptr<COutputDataManager> driver;
    // Copy, CSV and evidence sheet of the result page.
    std::unique_ptr<velmora::ui::ResultExport> resultExport;

    // Frame.
    velmora::app::PageControl* PageControl;
    QWidget* TabSheetMain;
    QWidget* TabSheetCalcResult;
    QWidget* TabSheetGoogleMap;
    QStatusBar* StatusBar;

    // Page "メイン".
    velmora::ui::ConditionPanel* conditionPanel;
    QLabel* LabelVerJa;
    QLabel* LabelVerEn;
    QGroupBox* GroupBoxCalcMode;
    QRadioButton* RadioButtonSP;
    QRadioButton* RadioButtonBugakari;
    QPushButton* ButtonPrev;
    QPushButton* ButtonNext;
    QLabel* LabelAttention;
    QWidget* PanelBrowser;
    // Null until the browsers are made (CreateBrowsers).
    velmora::web::WebBrowser* BrowserNyusatsuInfo = nullptr;
    QLabel* LabelArea;
    velmora::ui::DropDownComboBox* ComboBoxArea;
    QPushButton* ButtonAreaSave;
    QLabel* LabelX;
    QLineEdit* EditX;
    QLabel* LabelY;
    QLineEdit* EditY;
    QPushButton* ButtonGetCoord;
    QLabel* LabelSyobunHimoku;
    velmora::ui::DropDownComboBox* ComboBoxSyobunHimoku;
    QLabel* LabelUnpanSyubetsu;
    velmora::ui::DropDownComboBox* ComboBoxUnpanSyubetsu;
    QWidget* PanelGaraUnpan;
    velmora::ui::DropDownComboBox* ComboBoxGaraHassei;
    velmora::ui::DropDownComboBox* ComboBoxTsumikomi;
    QWidget* PanelDensen;
    velmora::ui::DropDownComboBox* ComboBoxSekisai;
    QWidget* PanelJinkai;
    velmora::ui::DropDownComboBox* ComboBoxJinkai;
    QRadioButton* RadioButtonDTCarry;
    QRadioButton* RadioButtonDTLend;
    QWidget* PanelCommon;
    QRadioButton* RadioButtonDIDTrue;
    QRadioButton* RadioButtonDIDFalse;
    QPushButton* ButtonCalc;
    QPushButton* ButtonCloseMainTab;
    QPushButton* ButtonNyusatsuInfo;
    QLabel* LabelExplain;

    // Page "計算結果".
    QWidget* PanelCalcResult;
    QPushButton* ButtonCloseCalcResultTab;
    QPushButton* ButtonToMain;
    QPushButton* ButtonSendLaLo;
    QLabel* LabelCalcResult1;
    QLabel* LabelCalcResult2;
    QLineEdit* EditGetLowest;
    QLabel* LabelCalcResult3;
    QPushButton* BitBtnGetLowest;
    QGroupBox* RadioGroupSortMode;
    QButtonGroup* sortModeButtons;
    velmora::ui::ResultGrid* StringGrid;
    QPushButton* ButtonCopyTable;
    QPushButton* ButtonSaveCsv;
    QPushButton* ButtonEvidenceSheet;
    QPushButton* ButtonSaveCase;
    QPushButton* ButtonOpenCase;

    // Page "GoogleMap".
    QWidget* PanelGoogleMap;
    QPushButton* ButtonCloseGoogleMapTab;
    QPushButton* ButtonGetDistance;
    QLabel* LabelGoogleMaps;
    velmora::web::WebBrowser* BrowserGoogleMaps = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What the features reach of the window.
    velmora::ui::MainWindowState& State() override { return *this; }
    COutputDataManager* Driver() override { return driver.get(); }
    QWidget* Window() override { return this; }
    velmora::web::WebBrowser* BidBrowser() override;
    velmora::web::WebBrowser* RouteBrowser() override;

    void BuildForm();
    void BuildMainPage();
    void BuildCalcResultPage();
    void BuildGoogleMapPage();
    // Asks for the browsers once, right after the window has been painted.
    void ScheduleBrowsers();
    void CreateFeatures();
    void ConnectHandlers();
    void FormShow();
    // Where the window first appears: the middle of the screen.
    void CentreOnScreen();
    // The extra room kept right of the bid-information browser on a narrow screen.
    void NarrowBrowserPanel(int pixels);
    // A calculation went through: what the exports, case files and the
    // route exchange take from it.
    void CalculationShown();
    // The result page's top panel: its blocks at their design positions
    // while they fit, flowing onto further rows on a narrower window.
    void PlaceCalcResultPanel();

    // Owned objects, destroyed in the reverse order of this list.
    std::unique_ptr<velmora::ui::ComboBoxTarget> unpanSyubetsuTarget;
    std::unique_ptr<velmora::ui::ComboBoxTarget> garaHasseiTarget;
    std::unique_ptr<velmora::ui::ComboBoxTarget> tsumikomiTarget;
    std::unique_ptr<CHimokuRowSource> himokuSource;
    std::unique_ptr<CSPHimokuRowSource> spHimokuSource;
    std::unique_ptr<CSyubetsuComboBox> syubetsuModel;
    std::unique_ptr<CSPSyubetsuComboBox> spSyubetsuModel;
    std::unique_ptr<CSPGaraHasseiComboBox> spGaraHasseiModel;

    // The features.
    std::unique_ptr<velmora::app::RoadDistanceExchange> m_roadDistances;
    std::unique_ptr<velmora::app::CheapestSiteSearch> m_cheapestSearch;
    std::unique_ptr<velmora::app::BidInfoBrowser> m_bidInfo;
    std::unique_ptr<velmora::app::JobSiteCapture> m_jobSite;
    std::unique_ptr<velmora::app::CaseFiles> m_caseFiles;
    std::unique_ptr<velmora::ui::ResultMapFeature> m_resultMap;
    // Filters the window's and EditGetLowest's events; it must go before the
    // window's members do, or the child events of the destruction reach it.
    velmora::app::MainWindowEvents* m_events = nullptr;

    QList<velmora::ui::PlacedBlock> m_calcResultBlocks;
    // The panel's height before anything flowed (the design's, or the one
    // the start-up fitted to a low screen).
    int m_calcResultPanelHeight = TopPanelHeight;
    int m_startupExitCode = 0;
    int m_browserRightMargin = 0;
    // The browsers are asked for once the window has painted.
    bool m_browsersScheduled = false;
    // The window was activated before the browsers were there: the route
    // page loads as soon as they are.
    bool m_activationPending = false;
    // Closing was confirmed while the cheapest-site search ran: the window
    // closes, without asking again, as soon as the search has stopped.
    bool m_closeConfirmed = false;
};
