#pragma once

#include "calc/CaseFile.h"
#include "ui/MainWindowState.h"
#include "ui/FlowPlacement.h"
#include "web/RoadDistanceMatrix.h"
#include "web/browser/WebBrowser.h"

#include <QMainWindow>
#include <QPointF>
#include <QPointer>
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

namespace velmora::app {
class BidCaseCapture;
class PageControl;
}


// The main window: a frame of three pages around the condition panel, the
// result grid and the two browsers. It owns the selection lists, the
// remembered conditions and the calculation driver, and shares its state
// fields (selectedRow, calcMode, sortMode, resultList, …) with every handler.
// Members stay public so the web handlers, which are members too, and the
// widget tests reach every control by the name the estimators' manual uses.
class TMainForm : public QMainWindow, public velmora::ui::MainWindowState
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 1162;
    static constexpr int ClientHeight = 631;
    static constexpr int DesignWidth = 1178;
    static constexpr int DesignHeight = 669;
    static constexpr int TopPanelHeight = 91;
    static constexpr int PageMain = 0;
    static constexpr int PageCalcResult = 1;
    static constexpr int PageGoogleMap = 2;

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

    // Closing.
    void ButtonCloseClick();
    // Asks "Velmoraを終了しますか？", then, when the table holds values no case
    // file has, whether to lose them; true when the window may close.
    bool FormCloseQuery();

    // Condition panel and result grid, as the handlers call them.
    void ApplyCalcMode();
    void UpdateCalcButton();
    void SaveConditions();
    void RunCalculation();
    void ShowCalcResult(bool costItemChanged);
    void ClearResultGrid();
    void RestoreSelectedRow(const QString& previousName);
    void RadioGroupSortModeClick(int item);
    void ButtonToMainClick();
    void ButtonAreaSaveClick();

    // Case files (TMainFormCase.cpp). The buttons ask for the file; the
    // ...To/...From variants take it. False when nothing was saved or
    // opened (the estimator has been told why).
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
    // Which bid case a captured job site belongs to.
    velmora::app::BidCaseCapture* bidCaseCapture = nullptr;

    // Makes a page the active one without counting as the user's switch.
    void SetActivePage(int index);
    int ActivePage() const;

    // Web handlers (TMainFormWeb.cpp).
    // How long a send waits for the route page (tests shorten it).
    int routeLoadLimitMs = 30000;
    static constexpr int DistanceReads = 10;
    static constexpr int DistancePauseMs = 300;
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
    std::optional<QPointF> ShownJobSite() const { return m_shownJobSite; }
    // The pop-up window opened from the bid-information browser.
    QPointer<TBrowserPopupForm> popupBrowser;
    // Filters the window's and EditGetLowest's events; it must go before the
    // window's members do, or the child events of the destruction reach it.
    QObject* webEvents = nullptr;

    // Owned objects, destroyed in the reverse order of this list.
    std::unique_ptr<velmora::ui::ComboBoxTarget> unpanSyubetsuTarget;
    std::unique_ptr<velmora::ui::ComboBoxTarget> garaHasseiTarget;
    std::unique_ptr<velmora::ui::ComboBoxTarget> tsumikomiTarget;
    std::unique_ptr<CHimokuRowSource> himokuSource;
    std::unique_ptr<CSPHimokuRowSource> spHimokuSource;
    std::unique_ptr<CSyubetsuComboBox> syubetsuModel;
    std::unique_ptr<CSPSyubetsuComboBox> spSyubetsuModel;
    std::unique_ptr<CSPGaraHasseiComboBox> spGaraHasseiModel;
    std::unique_ptr<CSPTsumikomiComboBox> spTsumikomiModel;
    std::unique_ptr<CCalcConditionData> conditions;
    std::unique_ptr<COutputDataManager> driver;
    // Copy, CSV and evidence sheet of the result page.
    std::unique_ptr<velmora::ui::ResultExport> resultExport;
    // The result map page and the GeoJSON button.
    std::unique_ptr<velmora::ui::ResultMapFeature> resultMapFeature;

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
    velmora::web::WebBrowser* BrowserNyusatsuInfo;
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
    velmora::web::WebBrowser* BrowserGoogleMaps;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildForm();
    void BuildMainPage();
    void BuildCalcResultPage();
    void BuildGoogleMapPage();
    void FormShow();
    // Where the window first appears: the middle of the screen.
    void CentreOnScreen();
    // The extra room kept right of the bid-information browser on a narrow screen.
    void NarrowBrowserPanel(int pixels);

    void ConnectWebHandlers();
    void ConnectCaseFiles();
    // What the next case file describes, taken when a calculation has gone
    // through: the panel may change afterwards without a new result.
    void RememberCalculatedCase();
    // The result page's top panel: its blocks at their design positions
    // while they fit, flowing onto further rows on a narrower window.
    void PlaceCalcResultPanel();
    QList<velmora::ui::PlacedBlock> m_calcResultBlocks;
    // The panel's height before anything flowed (the design's, or the one
    // the start-up fitted to a low screen).
    int m_calcResultPanelHeight = TopPanelHeight;
    void DestroyPopupBrowser();
    // Grid row of the site last sent to the route page; 0 when not shown.
    int RowOfSentSite();
    // Lets the browsers, timers and the wait dialog work for `ms` milliseconds.
    static void PauseProcessingEvents(int ms);
    // The cheapest-site search through the route page's matrix call, when
    // the definitions name one (TMainFormRoadMatrix.cpp).
    bool UsesMatrixSearch() const;
    // Fetches road distances for the top `n` rows, many sites per request,
    // until those rows rest on road distances or fail; the failures in a row
    // at the end (3 or more means the search gave up).
    int MatrixSearch(int n);
    velmora::web::MatrixAnswer RequestRoadDistances(const QList<CDisplayCalcResultData*>& rows);
    // Whether the route page (loaded again when it is not shown) offers the matrix call.
    bool RoutePageOffersMatrix();
    // A calculation went through: its job site is the one shown, and what
    // was sent for an earlier one no longer counts.
    void CalculationShown();
    // Whether the route page shown offers the inputs a send writes.
    bool RoutePageReady();
    struct RouteSite
    {
        bool known = false;
        QString name;
        double x = 0;
        double y = 0;
        // The job site the route started from.
        QPointF jobSite;
    };
    RouteSite m_routeSite;
    std::optional<QPointF> m_shownJobSite;

    std::unique_ptr<velmora::calc::CaseData> m_calculatedCase;
    // The case last saved or opened, as written; empty when none.
    QByteArray m_savedCase;

    int m_startupExitCode = 0;
    int m_browserRightMargin = 0;
};
