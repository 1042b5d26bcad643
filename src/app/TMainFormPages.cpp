// The main window's pages and controls at their design positions, their fit
// to a small screen, and the two browsers made after the first paint.
#include "TMainForm.h"

#include "BidInfoBrowser.h"
#include "JobSiteCapture.h"
#include "PageControl.h"
#include "ui/ConditionPanel.h"
#include "ui/DropDownComboBox.h"
#include "ui/FlowPlacement.h"
#include "ui/Placement.h"
#include "ui/ResultExport.h"
#include "ui/ResultGrid.h"
#include "ui/ResultMapFeature.h"
#include "platform/Desktop.h"
#include "web/browser/WebBrowser.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

using velmora::ui::MakeButton;
using velmora::ui::MakeLabel;
using velmora::ui::Place;
using velmora::ui::SetTextColour;

void TMainForm::BuildForm()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Velmora"));
    setFont(velmora::ui::WindowFont(11));
    resize(ClientWidth, ClientHeight);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    setStatusBar(StatusBar);

    PageControl = new velmora::app::PageControl(this);
    setCentralWidget(PageControl);
    BuildMainPage();
    BuildCalcResultPage();
    BuildGoogleMapPage();
    PageControl->addTab(TabSheetMain, QStringLiteral("メイン"));
    PageControl->addTab(TabSheetCalcResult, QStringLiteral("計算結果"));
    PageControl->addTab(TabSheetGoogleMap, QStringLiteral("GoogleMap"));

    // The page "地図" and "GeoJSON保存", tied to the grid.
    m_resultMap = std::make_unique<velmora::ui::ResultMapFeature>(velmora::ui::ResultMapHost{
        *this, PageControl, StringGrid, PanelCalcResult, resultExport.get(), [this] { return driver.get(); }});
    m_calcResultBlocks.append(m_resultMap->ButtonBlock());
}

void TMainForm::BuildMainPage()
{
    TabSheetMain = new QWidget;
    TabSheetMain->setObjectName(QStringLiteral("TabSheetMain"));
    auto* row = new QHBoxLayout(TabSheetMain);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    conditionPanel = new velmora::ui::ConditionPanel(*this, TabSheetMain);
    row->addWidget(conditionPanel);

    auto* browserSide = new QWidget(TabSheetMain);
    browserSide->setObjectName(QStringLiteral("PanelBrowserSide"));
    auto* column = new QVBoxLayout(browserSide);
    column->setContentsMargins(4, 0, 4, 4);
    column->setSpacing(2);
    auto* bar = new QWidget(browserSide);
    bar->setObjectName(QStringLiteral("PanelBrowserBar"));
    bar->setFixedHeight(36);
    ButtonPrev = MakeButton(QStringLiteral("ButtonPrev"), QStringLiteral("戻る"), bar, QRect(0, 6, 60, 25));
    ButtonNext = MakeButton(QStringLiteral("ButtonNext"), QStringLiteral("進む"), bar, QRect(64, 6, 60, 25));
    LabelAttention = Place(new QLabel(bar), QStringLiteral("LabelAttention"), QRect(136, 2, 520, 32));
    SetTextColour(LabelAttention, Qt::red);
    // On a narrow screen the browser side is narrower than the label's
    // design width; the label ends where the side ends.
    velmora::ui::OnResize(bar, [this, bar] { LabelAttention->resize(std::min(520, bar->width() - 136), LabelAttention->height()); });
    column->addWidget(bar);

    PanelBrowser = new QWidget(browserSide);
    PanelBrowser->setObjectName(QStringLiteral("PanelBrowser"));
    auto* browserLayout = new QVBoxLayout(PanelBrowser);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(PanelBrowser, 1);
    row->addWidget(browserSide, 1);

    velmora::ui::ConditionPanel* p = conditionPanel;
    LabelVerJa = p->LabelVerJa;
    LabelVerEn = p->LabelVerEn;
    GroupBoxCalcMode = p->GroupBoxCalcMode;
    RadioButtonSP = p->RadioButtonSP;
    RadioButtonBugakari = p->RadioButtonBugakari;
    LabelArea = p->LabelArea;
    ComboBoxArea = p->ComboBoxArea;
    ButtonAreaSave = p->ButtonAreaSave;
    LabelX = p->LabelX;
    EditX = p->EditX;
    LabelY = p->LabelY;
    EditY = p->EditY;
    ButtonGetCoord = p->ButtonGetCoord;
    LabelSyobunHimoku = p->LabelSyobunHimoku;
    ComboBoxSyobunHimoku = p->ComboBoxSyobunHimoku;
    LabelUnpanSyubetsu = p->LabelUnpanSyubetsu;
    ComboBoxUnpanSyubetsu = p->ComboBoxUnpanSyubetsu;
    PanelGaraUnpan = p->PanelGaraUnpan;
    ComboBoxGaraHassei = p->ComboBoxGaraHassei;
    ComboBoxTsumikomi = p->ComboBoxTsumikomi;
    PanelDensen = p->PanelDensen;
    ComboBoxSekisai = p->ComboBoxSekisai;
    PanelJinkai = p->PanelJinkai;
    ComboBoxJinkai = p->ComboBoxJinkai;
    RadioButtonDTCarry = p->RadioButtonDTCarry;
    RadioButtonDTLend = p->RadioButtonDTLend;
    PanelCommon = p->PanelCommon;
    RadioButtonDIDTrue = p->RadioButtonDIDTrue;
    RadioButtonDIDFalse = p->RadioButtonDIDFalse;
    ButtonCalc = p->ButtonCalc;
    ButtonCloseMainTab = p->ButtonCloseMainTab;
    ButtonNyusatsuInfo = p->ButtonNyusatsuInfo;
    LabelExplain = p->LabelExplain;
}

void TMainForm::BuildCalcResultPage()
{
    TabSheetCalcResult = new QWidget;
    TabSheetCalcResult->setObjectName(QStringLiteral("TabSheetCalcResult"));
    auto* column = new QVBoxLayout(TabSheetCalcResult);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    PanelCalcResult = new QWidget(TabSheetCalcResult);
    PanelCalcResult->setObjectName(QStringLiteral("PanelCalcResult"));
    PanelCalcResult->setFixedHeight(TopPanelHeight);
    QWidget* top = PanelCalcResult;
    ButtonCloseCalcResultTab = MakeButton(QStringLiteral("ButtonCloseCalcResultTab"), QStringLiteral("プログラムの終了"), top,
                                      QRect(6, 6, 130, 30));
    ButtonToMain = MakeButton(QStringLiteral("ButtonToMain"), QStringLiteral("計算条件再選択"), top, QRect(6, 44, 130, 30));
    ButtonSendLaLo = MakeButton(QStringLiteral("ButtonSendLaLo"), QStringLiteral("GoogleMapsサイトを開き、座標情報を送る"), top,
                            QRect(146, 6, 300, 30));
    LabelCalcResult1 = MakeLabel(QStringLiteral("LabelCalcResult1"),
                             QStringLiteral("※距離を調べたい処分場にカーソルをあわせてから上のボタンを押してください。"), top,
                             {146, 48});
    SetTextColour(LabelCalcResult1, Qt::blue);
    LabelCalcResult2 = MakeLabel(QStringLiteral("LabelCalcResult2"), QStringLiteral("上位"), top, {466, 14});
    EditGetLowest = Place(new QLineEdit(top), QStringLiteral("EditGetLowest"), QRect(494, 10, 36, 21));
    LabelCalcResult3 = MakeLabel(QStringLiteral("LabelCalcResult3"), QStringLiteral("件"), top, {534, 14});
    BitBtnGetLowest = MakeButton(QStringLiteral("BitBtnGetLowest"), QString(), top, QRect(552, 4, 190, 36));

    RadioGroupSortMode = Place(new QGroupBox(QStringLiteral("並び替えの方法"), top), QStringLiteral("RadioGroupSortMode"),
                               QRect(760, 4, 170, 66));
    sortModeButtons = new QButtonGroup(RadioGroupSortMode);
    auto* byAmount = Place(new QRadioButton(QStringLiteral("金額で並び替え"), RadioGroupSortMode),
                           QStringLiteral("RadioGroupSortModeItem0"), QRect(10, 20, 150, 20));
    auto* byDistance = Place(new QRadioButton(QStringLiteral("距離で並び替え"), RadioGroupSortMode),
                             QStringLiteral("RadioGroupSortModeItem1"), QRect(10, 42, 150, 20));
    sortModeButtons->addButton(byAmount, 0);
    sortModeButtons->addButton(byDistance, 1);
    byAmount->setChecked(true);
    connect(sortModeButtons, &QButtonGroup::idClicked, this, &TMainForm::RadioGroupSortModeClick);
    connect(ButtonToMain, &QPushButton::clicked, this, &TMainForm::ButtonToMainClick);
    // Taking the result out, and the case files: three rows of buttons in
    // the room right of the sort choice.
    ButtonCopyTable = MakeButton(QStringLiteral("ButtonCopyTable"), velmora::ui::ResultExport::CopyCaption(), top,
                                 QRect(940, 4, 104, 25));
    ButtonSaveCsv = MakeButton(QStringLiteral("ButtonSaveCsv"), velmora::ui::ResultExport::CsvCaption(), top,
                               QRect(1048, 4, 104, 25));
    ButtonEvidenceSheet = MakeButton(QStringLiteral("ButtonEvidenceSheet"), velmora::ui::ResultExport::SheetCaption(), top,
                                     QRect(940, 32, 212, 25));
    ButtonSaveCase = MakeButton(QStringLiteral("ButtonSaveCase"), QStringLiteral("案件を保存"), top, QRect(940, 60, 104, 25));
    ButtonOpenCase = MakeButton(QStringLiteral("ButtonOpenCase"), QStringLiteral("案件を開く"), top, QRect(1048, 60, 104, 25));
    ButtonSaveCase->setToolTip(QStringLiteral("計算条件と道のり距離・手入力の値を案件ファイルに保存します (Ctrl+S)"));
    ButtonOpenCase->setToolTip(QStringLiteral("案件ファイルを開き、同じ条件で計算し直します (Ctrl+O)"));
    {
        using velmora::ui::PlacedBlock;
        PlacedBlock close, route, sort, files;
        close.add(ButtonCloseCalcResultTab);
        close.add(ButtonToMain);
        for (QWidget* w : std::initializer_list<QWidget*>{ButtonSendLaLo, LabelCalcResult1, LabelCalcResult2, EditGetLowest,
                                                         LabelCalcResult3, BitBtnGetLowest})
            route.add(w);
        sort.add(RadioGroupSortMode);
        for (QWidget* w : std::initializer_list<QWidget*>{ButtonCopyTable, ButtonSaveCsv, ButtonEvidenceSheet, ButtonSaveCase,
                                                         ButtonOpenCase})
            files.add(w);
        m_calcResultBlocks = {close, route, sort, files};
        velmora::ui::OnResize(PanelCalcResult, [this] { PlaceCalcResultPanel(); });
    }
    resultExport = std::make_unique<velmora::ui::ResultExport>(*this, *conditionPanel, this);
    resultExport->Connect(ButtonCopyTable, ButtonSaveCsv, ButtonEvidenceSheet);
    column->addWidget(PanelCalcResult);

    StringGrid = new velmora::ui::ResultGrid(*this, TabSheetCalcResult);
    StringGrid->setShowResultPage([this] { SetActivePage(PageCalcResult); });
    conditionPanel->setShowCalcResult([this](bool changed) {
        ShowCalcResult(changed);
        CalculationShown();
    });
    column->addWidget(StringGrid, 1);
}

void TMainForm::BuildGoogleMapPage()
{
    TabSheetGoogleMap = new QWidget;
    TabSheetGoogleMap->setObjectName(QStringLiteral("TabSheetGoogleMap"));
    auto* column = new QVBoxLayout(TabSheetGoogleMap);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    PanelGoogleMap = new QWidget(TabSheetGoogleMap);
    PanelGoogleMap->setObjectName(QStringLiteral("PanelGoogleMap"));
    PanelGoogleMap->setFixedHeight(TopPanelHeight);
    ButtonCloseGoogleMapTab = MakeButton(QStringLiteral("ButtonCloseGoogleMapTab"), QStringLiteral("プログラムの終了"),
                                     PanelGoogleMap, QRect(6, 6, 130, 30));
    ButtonGetDistance = MakeButton(QStringLiteral("ButtonGetDistance"), QStringLiteral("GoogleMapsサイトから距離を取得する"),
                               PanelGoogleMap, QRect(146, 6, 300, 30));
    LabelGoogleMaps = MakeLabel(QStringLiteral("LabelGoogleMaps"),
                            QStringLiteral("※GoogleMapsサイトにてルート調整をしてから上のボタンを押してください。"),
                            PanelGoogleMap, {146, 48});
    SetTextColour(LabelGoogleMaps, Qt::blue);
    column->addWidget(PanelGoogleMap);
    // The route page's browser comes below the panel (CreateBrowsers).
    column->addStretch(1);
}

QSize TMainForm::OuterSize() const
{
    const QSize frame = frameGeometry().size() - geometry().size();
    // Before the window is mapped the window system has not told us its
    // frame; the design's frame stands in.
    if (frame.width() > 0 || frame.height() > 0)
        return size() + frame;
    return size() + QSize(DesignWidth - ClientWidth, DesignHeight - ClientHeight);
}

int TMainForm::TaskbarHeight() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return velmora::platform::TaskbarHeight(s);
}

void TMainForm::FitToScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    FitToScreen(s->geometry().size(), TaskbarHeight());
}

void TMainForm::FitToScreen(const QSize& screenSize, int taskbarHeight)
{
    const QSize frame = OuterSize() - size();
    if (screenSize.width() < DesignWidth) {
        // The window system keeps a window no wider than the screen.
        if (OuterSize().width() > screenSize.width())
            resize(screenSize.width() - frame.width(), height());
        const int outerWidth = OuterSize().width();
        const double f = static_cast<double>(DesignWidth) / outerWidth;
        NarrowBrowserPanel(DesignWidth - outerWidth);
        for (int c = 0; c < velmora::ui::ResultGrid::ColumnCount; ++c)
            StringGrid->SetColWidth(c, static_cast<int>(std::trunc(StringGrid->ColWidth(c) / f)));
    }
    if (screenSize.height() < DesignHeight) {
        const int outerHeight = screenSize.height() - static_cast<int>(std::trunc(taskbarHeight / 2.0));
        resize(width(), outerHeight - frame.height());
        const double ratio = static_cast<double>(DesignHeight) / outerHeight;
        const int panelHeight = static_cast<int>(std::trunc(PanelCalcResult->height() / ratio));
        m_calcResultPanelHeight = panelHeight;
        PanelCalcResult->setFixedHeight(panelHeight);
        PanelGoogleMap->setFixedHeight(panelHeight);
    }
}

void TMainForm::PlaceCalcResultPanel()
{
    const velmora::ui::FlowOutcome placed = velmora::ui::FlowBlocks(m_calcResultBlocks, PanelCalcResult->width());
    const int height = placed.wrapped ? std::max(m_calcResultPanelHeight, placed.bottom + 6) : m_calcResultPanelHeight;
    if (PanelCalcResult->maximumHeight() != height)
        PanelCalcResult->setFixedHeight(height);
}

void TMainForm::CentreOnScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->geometry();
    const QSize outer = OuterSize();
    move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
}

void TMainForm::NarrowBrowserPanel(int pixels)
{
    if (pixels <= 0)
        return;
    m_browserRightMargin += pixels;
    QLayout* layout = TabSheetMain->layout();
    QMargins m = layout->contentsMargins();
    m.setRight(m_browserRightMargin);
    layout->setContentsMargins(m);
}

void TMainForm::CreateBrowsers()
{
    if (BrowserNyusatsuInfo)
        return;
    m_browsersScheduled = true;
    using velmora::web::WebBrowser;
    // As the start-up had it: the bid-information browser and its first
    // page, then the route page's browser, loaded when the window has been
    // activated.
    BrowserNyusatsuInfo = new WebBrowser(PanelBrowser);
    BrowserNyusatsuInfo->setObjectName(QStringLiteral("BrowserNyusatsuInfo"));
    PanelBrowser->layout()->addWidget(BrowserNyusatsuInfo);
    connect(BrowserNyusatsuInfo, &WebBrowser::BeforeNavigate2, this,
            [this](const QString& address, bool, bool* cancel) { BrowserNyusatsuInfoBeforeNavigate2(address, cancel); });
    connect(BrowserNyusatsuInfo, &WebBrowser::NavigateComplete2, this, &TMainForm::BrowserNyusatsuInfoNavigateComplete2);
    connect(BrowserNyusatsuInfo, &WebBrowser::NewWindow2, this, &TMainForm::BrowserNyusatsuInfoNewWindow2);
    connect(BrowserNyusatsuInfo, &WebBrowser::WindowClosing, this, &TMainForm::BrowserNyusatsuInfoWindowClosing);
    m_jobSite->Watch(BrowserNyusatsuInfo);

    BrowserGoogleMaps = new WebBrowser(TabSheetGoogleMap);
    BrowserGoogleMaps->setObjectName(QStringLiteral("BrowserGoogleMaps"));
    auto* column = static_cast<QVBoxLayout*>(TabSheetGoogleMap->layout());
    delete column->takeAt(1); // the stretch that stood in for it
    column->addWidget(BrowserGoogleMaps, 1);

    m_bidInfo->ShowHome();
    if (m_activationPending) {
        m_activationPending = false;
        FormActivate();
    }
}
