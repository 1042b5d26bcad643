// The main window's web handlers: capture of the job site from a map page,
// the road-distance exchange with the route page, the cheapest-site search
// and the bid-information browser with its pop-up windows.
#include "TMainForm.h"

#include "PageControl.h"
#include "TWaitCalcDialogForm.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/CJobSiteCoordinatesData.h"
#include "calc/COutputDataManager.h"
#include "data/Error.h"
#include "data/MatchesCostItem.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "ui/KeyCharacter.h"
#include "ui/ResultGrid.h"
#include "web/CMapURLCreate.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/TBrowserPopupForm.h"
#include "web/browser/WebBrowser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QDialog>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <QWindow>

#include <memory>

using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;
namespace names = velmora::web::names;

namespace {

void Warning(const QString& text, const QString& caption)
{
    ShowMessage(text, caption, MessageButtons::Ok, MessageIcon::Exclamation);
}

const QString& WarningCaption()
{
    static const QString caption = QStringLiteral("警告");
    return caption;
}

// Why the route page found no route, as its own status says, on a line of
// its own; empty for a page that does not say.
QString RoutePageFailure(CBrowserInterfaceOperate& page)
{
    const QString id = QStringLiteral("routeError");
    const QString reason = page.HasInput(id) ? page.GetInputValue(id).trimmed() : QString();
    return reason.isEmpty() ? QString() : QStringLiteral("（%1）\r\n").arg(reason);
}

QString TooFarText(double km)
{
    return QStringLiteral("道のり距離 %1km は60kmを超えるため、運搬距離にしませんでした。\r\n"
                          "運搬距離は0km以上60km以下です。")
        .arg(FloatToStr(km));
}

// Runs the given step on every way out of a scope.
class OnExit
{
public:
    explicit OnExit(std::function<void()> step)
        : m_step(std::move(step))
    {
    }
    ~OnExit() { m_step(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    std::function<void()> m_step;
};

} // namespace

void TMainForm::PauseProcessingEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Key filter of the count field and the main window's activation: both come
// as events of other objects, so a small watcher forwards them.
class TMainFormWebEvents : public QObject
{
public:
    explicit TMainFormWebEvents(TMainForm& form)
        : QObject(&form)
        , m_form(form)
    {
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (!window || window == m_current)
                return;
            m_previous = m_current;
            m_current = window;
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_form && event->type() == QEvent::WindowActivate) {
            if (CountsAsActivation())
                m_form.FormActivate();
            return false;
        }
        if (watched == m_form.EditGetLowest && event->type() == QEvent::KeyPress) {
            QChar key = velmora::ui::TypedCharacter(static_cast<QKeyEvent*>(event));
            if (key.isNull())
                return false;
            const QChar typed = key;
            m_form.EditGetLowestKeyPress(key);
            if (key.isNull())
                return true;
            if (key != typed) {
                m_form.EditGetLowest->insert(QString(key));
                return true;
            }
            return false;
        }
        if (watched == m_form.EditGetLowest && event->type() == QEvent::InputMethod) {
            // Characters from an input method (full-width digits) go through
            // the same filter one by one.
            auto* im = static_cast<QInputMethodEvent*>(event);
            if (im->commitString().isEmpty())
                return false;
            for (QChar c : im->commitString()) {
                m_form.EditGetLowestKeyPress(c);
                if (!c.isNull())
                    m_form.EditGetLowest->insert(QString(c));
            }
            QInputMethodEvent rest(im->preeditString(), im->attributes());
            QCoreApplication::sendEvent(m_form.EditGetLowest, &rest);
            return true;
        }
        return false;
    }

private:
    // The first showing, and every return from another window of the
    // program; not a return from a message box or from another program.
    bool CountsAsActivation()
    {
        const QWindow* self = m_form.windowHandle();
        const QWindow* from = m_current == self ? m_previous.data() : m_current.data();
        if (!m_activatedBefore) {
            m_activatedBefore = true;
            return true;
        }
        if (!from || from == self)
            return false;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() == from)
                return !qobject_cast<QDialog*>(w);
        }
        return false;
    }

    TMainForm& m_form;
    QPointer<QWindow> m_current;
    QPointer<QWindow> m_previous;
    bool m_activatedBefore = false;
};

void TMainForm::ConnectWebHandlers()
{
    auto* watcher = new TMainFormWebEvents(*this);
    webEvents = watcher;
    installEventFilter(watcher);
    EditGetLowest->installEventFilter(watcher);
    EditGetLowest->setAttribute(Qt::WA_InputMethodEnabled, true);

    using velmora::web::WebBrowser;
    connect(BrowserNyusatsuInfo, &WebBrowser::BeforeNavigate2, this,
            [this](const QString& address, bool, bool* cancel) { BrowserNyusatsuInfoBeforeNavigate2(address, cancel); });
    connect(BrowserNyusatsuInfo, &WebBrowser::NavigateComplete2, this, &TMainForm::BrowserNyusatsuInfoNavigateComplete2);
    connect(BrowserNyusatsuInfo, &WebBrowser::NewWindow2, this, &TMainForm::BrowserNyusatsuInfoNewWindow2);
    connect(BrowserNyusatsuInfo, &WebBrowser::WindowClosing, this, &TMainForm::BrowserNyusatsuInfoWindowClosing);
    connect(PageControl, &velmora::app::PageControl::pageChangedByUser, this, [this] {
        bool allowChange = true;
        PageControlChanging(allowChange);
    });

    connect(ButtonNyusatsuInfo, &QPushButton::clicked, this, &TMainForm::ButtonNyusatsuInfoClick);
    connect(ButtonPrev, &QPushButton::clicked, this, &TMainForm::ButtonPrevClick);
    connect(ButtonNext, &QPushButton::clicked, this, &TMainForm::ButtonNextClick);
    connect(ButtonGetCoord, &QPushButton::clicked, this, &TMainForm::ButtonGetCoordClick);
    connect(ButtonSendLaLo, &QPushButton::clicked, this, [this] { ButtonSendLaLoClick(ButtonSendLaLo); });
    connect(ButtonGetDistance, &QPushButton::clicked, this, [this] { ButtonGetDistanceClick(ButtonGetDistance); });
    connect(BitBtnGetLowest, &QPushButton::clicked, this, &TMainForm::BitBtnGetLowestClick);
    connect(StringGrid, &QAbstractItemView::doubleClicked, this, &TMainForm::StringGridDblClick);
}

// ---- Bid-information browser -------------------------------------------

void TMainForm::ButtonNyusatsuInfoClick()
{
    BrowserNyusatsuInfo->Navigate(GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::home));
}

void TMainForm::ButtonPrevClick()
{
    BrowserNyusatsuInfo->GoBack();
}

void TMainForm::ButtonNextClick()
{
    BrowserNyusatsuInfo->GoForward();
}

void TMainForm::BrowserNyusatsuInfoBeforeNavigate2(const QString& address, bool* cancel)
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (def->ContainsValue(names::section::URL_click, names::key::clear, address))
        return;
    if (def->LineEquals(names::section::not_show_HP, address)) {
        Warning(QStringLiteral("本ツールで閲覧することは出来ません。\r\nInternetExplorer等のブラウザで閲覧してください。"),
                WarningCaption());
        *cancel = true;
        return;
    }
    if (def->ContainsValue(names::section::URL_click, names::key::tenpu, address)) {
        Warning(QStringLiteral("本ツールでは添付ファイルを閲覧することは出来ません。\r\n"
                               "InternetExplorer等のブラウザで閲覧してください。"),
                WarningCaption());
        *cancel = true;
        return;
    }
    if (!def->ValueEquals(names::section::URL_click, names::key::javascript_void, address))
        lastNavigatedUrl = address;
    if (def->ContainsValue(names::section::URL_click, names::key::koukoku, address))
        velmora::platform::BringToForeground(this);
}

void TMainForm::BrowserNyusatsuInfoNavigateComplete2(const QString& address)
{
    DestroyPopupBrowser();

    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (!def->ValueEquals(names::section::URL, names::key::MieClickMaps, address))
        return;
    QString text;
    if (mapKind == CMapURLCreate::MapKindGsi || mapKind == CMapURLCreate::MapKindMieClickMaps) {
        text = QStringLiteral("有効な座標情報を取得できなかったため、\r\n"
                              "工事現場を表示できませんでした。\r\n\r\n"
                              "ブラウザで開かれた地図の情報を元に\r\n"
                              "手動で工事現場の場所を合わせた後、\r\n"
                              "”座標取得”ボタンをクリックし、座標を取得してください。\r\n\r\n"
                              "VelmoraProの地図の位置が、\r\n三重県津市\u3000三重県庁に設定されました。");
    } else if (mapKind == CMapURLCreate::MapKindOther) {
        text = QStringLiteral("国土地理院以外の地図が使用されていたため、\r\n"
                              "工事現場を表示できませんでした。\r\n\r\n"
                              "ブラウザで開かれた地図の情報を元に\r\n"
                              "手動で工事現場の場所を合わせた後、\r\n"
                              "”座標取得”ボタンをクリックし、座標を取得してください。\r\n\r\n\r\n"
                              "VelmoraProの地図のマーカー位置が、\r\n三重県庁\u3000に設定されました。");
    } else {
        return;
    }
    ShowMessage(text, QStringLiteral("VelmoraPro"), MessageButtons::Ok, MessageIcon::Information);
}

void TMainForm::BrowserNyusatsuInfoNewWindow2(QWebEnginePage** newWindow, bool* cancel)
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (def->ContainsValue(names::section::URL_click, names::key::denshi_nyuusatu, lastNavigatedUrl)) {
        Warning(QStringLiteral("本ツールから電子入札を行うことは出来ません。\r\n"
                               "InternetExplorer等のブラウザから行ってください。"),
                WarningCaption());
        *cancel = true;
        return;
    }
    if (def->ContainsValue(names::section::URL_click, names::key::gis, lastNavigatedUrl)) {
        auto creator = std::make_unique<CMapURLCreate>();
        const QString target = creator->CreateMapURL(lastNavigatedUrl);
        mapKind = creator->GetMapKind();
        if (mapKind == CMapURLCreate::MapKindOther)
            BrowserNyusatsuInfo->Navigate(def->ReadValue(names::section::URL, names::key::MieClickMaps));
        else
            BrowserNyusatsuInfo->Navigate(target);
        *cancel = true;
        return;
    }
    if (def->ContainsValue(names::section::URL_click, names::key::URL_click, lastNavigatedUrl)) {
        *cancel = true;
        return;
    }
    auto* popup = new TBrowserPopupForm(this, BrowserNyusatsuInfo, this);
    DestroyPopupBrowser();
    popupBrowser = popup;
    *newWindow = popup->Browser->Application();
}

void TMainForm::BrowserNyusatsuInfoWindowClosing(bool, bool* cancel)
{
    ButtonPrevClick();
    *cancel = true;
}

void TMainForm::PageControlChanging(bool& allowChange)
{
    DestroyPopupBrowser();
    allowChange = true;
}

void TMainForm::DestroyPopupBrowser()
{
    if (popupBrowser)
        popupBrowser->Discard();
    popupBrowser = nullptr;
}

// ---- Job-site capture and the route page -------------------------------

void TMainForm::ButtonGetCoordClick()
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (!def->ContainsValue(names::section::URL, names::key::MieClickMaps, BrowserNyusatsuInfo->LocationURL())) {
        Warning(QStringLiteral("MieClickMapsのページが表示されている状態で\r\n「座標取得」ボタンを押してください。"),
                QStringLiteral("無効なページ"));
        return;
    }
    auto operate = std::make_unique<CBrowserInterfaceOperate>(BrowserNyusatsuInfo);
    double x = 0;
    double y = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        x = StrToFloat(operate->GetInputValue(QStringLiteral("y2")));
        y = StrToFloat(operate->GetInputValue(QStringLiteral("x2")));
        if (x != 0 && y != 0)
            break;
    }
    if (x == 0 || y == 0) {
        Warning(QStringLiteral("座標取得に失敗しました。\r\n再度「座標取得」ボタンをクリックしてください。"),
                QStringLiteral("座標取得失敗"));
        return;
    }
    EditX->setText(FloatToStr(x));
    EditY->setText(FloatToStr(y));
    UpdateCalcButton();
}

void TMainForm::FormActivate()
{
    SetActivePage(PageGoogleMap);
    BrowserGoogleMaps->Navigate(GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::GoogleMaps));
    SetActivePage(PageMain);
}

void TMainForm::CalculationShown()
{
    m_routeSite = RouteSite{};
    if (!driver)
        return;
    const CJobSiteCoordinatesData& site = driver->JobSite();
    m_shownJobSite = QPointF(StrToFloat(site.GetXText()), StrToFloat(site.GetYText()));
}

bool TMainForm::RoutePageReady()
{
    return !BrowserGoogleMaps->LocationURL().isEmpty()
           && CBrowserInterfaceOperate(BrowserGoogleMaps).HasInput(QStringLiteral("hand"));
}

bool TMainForm::ButtonSendLaLoClick(QObject*)
{
    CDisplayCalcResultData* site = (selectedRow > 0 && resultList) ? resultList->RowAt(selectedRow) : nullptr;
    if (!site || !m_shownJobSite) {
        Warning(QStringLiteral("座標を送りたい処分場の\r\n行を選択してください。"), QStringLiteral("行の未選択"));
        return false;
    }
    const QString siteName = site->GetSiteName();
    const double siteX = site->GetSiteX();
    const double siteY = site->GetSiteY();
    const QPointF jobSite = *m_shownJobSite;

    ButtonGetDistance->setEnabled(false);
    // An error on the way must not leave the fetch button dead.
    OnExit enableFetch([this] { ButtonGetDistance->setEnabled(true); });

    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    const auto pageLoaded = [this] {
        if (BrowserGoogleMaps->WaitForDocument(routeLoadLimitMs))
            return true;
        Warning(QStringLiteral("GoogleMapsサイトの表示が%1秒以内に終わりませんでした。\r\n"
                               "通信の状態を確かめてから、もう一度送ってください。")
                    .arg(routeLoadLimitMs / 1000),
                QStringLiteral("距離の計算に失敗"));
        return false;
    };
    // A page that did not load at activation (no server, an error page)
    // would otherwise fail every send until the window is activated again.
    bool reload = routeSent || BrowserGoogleMaps->LocationURL().isEmpty();
    if (!reload) {
        if (!pageLoaded())
            return false;
        reload = !RoutePageReady();
    }
    if (reload)
        BrowserGoogleMaps->Navigate(def->ReadValue(names::section::URL, names::key::GoogleMaps));
    SetActivePage(PageGoogleMap);
    if (!pageLoaded())
        return false;

    auto operate = std::make_unique<CBrowserInterfaceOperate>(BrowserGoogleMaps);
    operate->SetChecked(QStringLiteral("hand"), false);

    // The route starts where the shown calculation was made, whatever the
    // condition panel holds by now.
    CCoordinatesConvert convert;
    double latitude = 0;
    double longitude = 0;
    convert.PlaneToLatLon(jobSite.x(), jobSite.y(), latitude, longitude);
    operate->SetInputValue(QStringLiteral("stLat"), FloatToStr(latitude));
    operate->SetInputValue(QStringLiteral("stLng"), FloatToStr(longitude));
    convert.PlaneToLatLon(siteX, siteY, latitude, longitude);
    operate->SetInputValue(QStringLiteral("edLat"), FloatToStr(latitude));
    operate->SetInputValue(QStringLiteral("edLng"), FloatToStr(longitude));

    BrowserGoogleMaps->Navigate(def->ReadValue(names::section::javascript, names::key::calcRoute));
    routeSent = true;
    m_routeSite = RouteSite{true, siteName, siteX, siteY, jobSite};
    return true;
}

int TMainForm::RowOfSentSite()
{
    if (!m_routeSite.known || !resultList || m_shownJobSite != m_routeSite.jobSite)
        return 0;
    for (int n = 1; n <= resultList->Count(); ++n) {
        const CDisplayCalcResultData* row = resultList->RowAt(n);
        if (row && row->GetSiteX() == m_routeSite.x && row->GetSiteY() == m_routeSite.y
            && row->GetSiteName() == m_routeSite.name)
            return n;
    }
    return 0;
}

bool TMainForm::ButtonGetDistanceClick(QObject* sender)
{
    const bool silent = sender && sender->objectName() == QStringLiteral("BitBtnGetLowest");
    const QString noRoute = QStringLiteral("先に計算結果から処分場の座標を\r\nGoogleMapsサイト上へ送り、\r\n距離を取得してください。");
    const auto refuse = [this, silent](const QString& text) {
        if (!silent) {
            Warning(text, QStringLiteral("距離の取得に失敗"));
            SetActivePage(PageCalcResult);
        }
        return false;
    };
    if (BrowserGoogleMaps->LocationURL().isEmpty()) {
        Warning(noRoute, QStringLiteral("距離の取得に失敗"));
        SetActivePage(PageCalcResult);
        return false;
    }

    auto operate = std::make_unique<CBrowserInterfaceOperate>(BrowserGoogleMaps);
    QString text;
    for (int read = 0; read < DistanceReads; ++read) {
        text = operate->GetInputValue(QStringLiteral("totaldaze"));
        if (!text.isEmpty())
            break;
        PauseProcessingEvents(DistancePauseMs);
    }
    if (text.isEmpty()) {
        if (!silent) {
            Warning(QStringLiteral("距離の計算に失敗しました。\r\n") + RoutePageFailure(*operate)
                        + QStringLiteral("再度「GoogleMapsサイトを開き、座標情報を送る」ボタンをクリックしてください。"),
                    QStringLiteral("距離の計算に失敗"));
            SetActivePage(PageCalcResult);
        }
        return false;
    }
    if (!text.endsWith(QStringLiteral("km")))
        return refuse(QStringLiteral("GoogleMapsサイトの距離「%1」は km 単位ではないため、運搬距離にしませんでした。").arg(text));
    const double distance = StrToFloat(text.chopped(2));
    // A negative road distance would lower the transport cost it feeds;
    // whatever the page answered, it is not a route.
    if (!(distance >= 0) || !std::isfinite(distance))
        throw velmora::ConvertError(QStringLiteral("'%1' は道のり距離ではありません。").arg(text));
    if (distance > velmora::ui::ResultGrid::MaxDistanceKm)
        return refuse(TooFarText(distance));

    // The distance belongs to the site that was sent from the job site shown,
    // wherever the re-sorted table shows it now and whichever row is selected.
    if (!m_routeSite.known)
        return refuse(noRoute);
    const int row = RowOfSentSite();
    CDisplayCalcResultData* site = resultList ? resultList->RowAt(row) : nullptr;
    if (row == 0 || !site || !driver)
        return refuse(QStringLiteral("距離を調べた処分場「%1」が、表示中の計算結果にありません。\r\n"
                                     "距離は入力しませんでした。").arg(m_routeSite.name));
    StringGrid->SetCell(velmora::ui::ResultGrid::DistanceColumn, row, FloatToStr(distance));
    site->SetTransportDistance(distance, CDisplayCalcResultData::DistanceSource::RoutePage);
    driver->SetSortMode(sortMode);
    resultList = &driver->Calculate(false);
    ShowCalcResult(false);
    SetActivePage(PageCalcResult);
    return true;
}

void TMainForm::StringGridDblClick()
{
    const int col = StringGrid->Col();
    if (StringGrid->Row() != 0 && col != velmora::ui::ResultGrid::DistanceColumn
        && col != velmora::ui::ResultGrid::ManualFeeColumn)
        ButtonSendLaLoClick(StringGrid);
}

// ---- Cheapest-site search ----------------------------------------------

void TMainForm::EditGetLowestKeyPress(QChar& key)
{
    if (key == QChar(8) || key == QLatin1Char('.'))
        return;
    if (key == QChar(13))
        BitBtnGetLowest->setFocus();
    else if (EditGetLowest->text().size() >= 5)
        key = QChar();
    const QString half = key.isNull() ? QString() : ToHalfWidth(QString(key));
    if (half.size() == 1 && half.at(0) >= QLatin1Char('0') && half.at(0) <= QLatin1Char('9'))
        key = half.at(0);
    else
        key = QChar();
}

void TMainForm::BitBtnGetLowestClick()
{
    using velmora::ui::ResultGrid;
    if (StringGrid->RowCount() == 2 && StringGrid->Cell(1, 1).isEmpty()) {
        Warning(QStringLiteral("表にデータがありません。\r\n先に計算を実行してください。"), QStringLiteral("無効な処理"));
        SetActivePage(PageMain);
        return;
    }
    if (StrToIntDefault(EditGetLowest->text(), 0) == 0) {
        Warning(QStringLiteral("件数の値が不正です。\r\n再度入力してください。"), QStringLiteral("無効な値"));
        EditGetLowest->clear();
        return;
    }

    QAbstractButton* byAmount = sortModeButtons->button(0);
    if (!byAmount->isChecked()) {
        byAmount->setChecked(true);
        RadioGroupSortModeClick(0);
    }
    sortMode = 0;
    if (driver)
        driver->SetSortMode(0);
    if (resultList)
        resultList->RankByTotal();
    ShowCalcResult(false);

    int n = StrToIntDefault(EditGetLowest->text(), 0);
    const QString question = QStringLiteral("計算結果の上位\u3000") + IntToStr(n)
                             + QStringLiteral("\u3000件の距離が\r\n道のり距離に置き換わるまで\r\n距離を取得し続け、\r\n"
                                              "最安値を計算します。\r\n\r\n実行してもよろしいですか？");
    if (ShowMessage(question, QStringLiteral("確認"), MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes)
        return;
    if (n > StringGrid->RowCount() - 1)
        n = StringGrid->RowCount() - 1;

    setEnabled(false);
    std::unique_ptr<TWaitCalcDialogForm> wait;
    // Whatever ends the search, an error included, the window comes back.
    OnExit restore([this, &wait] {
        wait.reset();
        setEnabled(true);
    });
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    wait = std::make_unique<TWaitCalcDialogForm>(this);
    wait->show();

    int failures = 0;
    // A route page of the office's own without the matrix call still gets
    // its sites one after another.
    if (UsesMatrixSearch() && RoutePageOffersMatrix()) {
        failures = MatrixSearch(n);
    } else {
        for (int r = 1; r <= n; ++r) {
            const double d = StrToFloat(StringGrid->Cell(ResultGrid::DistanceColumn, r));
            if (d == 0) {
                selectedRow = r;
                const QString name = StringGrid->Cell(1, r);
                if (ButtonSendLaLoClick(BitBtnGetLowest))
                    ButtonGetDistanceClick(BitBtnGetLowest);
                const bool failed = StrToFloat(StringGrid->Cell(ResultGrid::DistanceColumn, r)) == 0
                                    && StringGrid->Cell(1, r) == name;
                if (failed) {
                    ++failures;
                } else {
                    failures = 0;
                    r = 0;
                }
            }
            if (failures == 3)
                break;
        }
    }

    if (failures >= 3) {
        Warning(QStringLiteral("最安値の計算に連続で失敗したため、\r\n処理を中断します。\r\n再度実行してください。"),
                QStringLiteral("計算失敗"));
        SetActivePage(PageCalcResult);
    } else {
        const qint64 seconds = QDateTime::currentSecsSinceEpoch() - started;
        ShowMessage(QStringLiteral("計算が完了しました。\r\n所要時間：") + IntToStr(static_cast<int>(seconds)) + QStringLiteral("秒"),
                    QStringLiteral("計算完了"), MessageButtons::Ok, MessageIcon::Information);
    }
}
