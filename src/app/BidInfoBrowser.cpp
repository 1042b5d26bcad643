#include "BidInfoBrowser.h"

#include "HandlerSupport.h"
#include "MainWindowHost.h"
#include "platform/Desktop.h"
#include "platform/MessageBox.h"
#include "ui/MainWindowState.h"
#include "web/CMapURLCreate.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/TBrowserPopupForm.h"
#include "web/browser/WebBrowser.h"

#include <memory>

namespace names = velmora::web::names;

namespace velmora::app {

namespace {

const QString& WarningCaption()
{
    static const QString caption = QStringLiteral("警告");
    return caption;
}

} // namespace

BidInfoBrowser::BidInfoBrowser(MainWindowHost& host)
    : m_host(host)
{
}

BidInfoBrowser::~BidInfoBrowser()
{
    delete m_popup.data();
}

TBrowserPopupForm* BidInfoBrowser::Popup() const
{
    return m_popup.data();
}

void BidInfoBrowser::ShowHome()
{
    m_host.BidBrowser()->Navigate(GetSharedWebDataDef()->ReadValue(names::section::URL, names::key::home));
}

void BidInfoBrowser::GoBack()
{
    m_host.BidBrowser()->GoBack();
}

void BidInfoBrowser::GoForward()
{
    m_host.BidBrowser()->GoForward();
}

void BidInfoBrowser::BeforeNavigate(const QString& address, bool* cancel)
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
        m_host.State().lastNavigatedUrl = address;
    if (def->ContainsValue(names::section::URL_click, names::key::koukoku, address))
        velmora::platform::BringToForeground(m_host.Window());
}

void BidInfoBrowser::NavigateComplete(const QString& address)
{
    DestroyPopup();

    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (!def->ValueEquals(names::section::URL, names::key::MieClickMaps, address))
        return;
    const int mapKind = m_host.State().mapKind;
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
    using namespace velmora::platform;
    ShowMessage(text, QStringLiteral("VelmoraPro"), MessageButtons::Ok, MessageIcon::Information);
}

void BidInfoBrowser::NewWindow(QWebEnginePage** newWindow, bool* cancel)
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    velmora::ui::MainWindowState& state = m_host.State();
    velmora::web::WebBrowser* browser = m_host.BidBrowser();
    if (def->ContainsValue(names::section::URL_click, names::key::denshi_nyuusatu, state.lastNavigatedUrl)) {
        Warning(QStringLiteral("本ツールから電子入札を行うことは出来ません。\r\n"
                               "InternetExplorer等のブラウザから行ってください。"),
                WarningCaption());
        *cancel = true;
        return;
    }
    if (def->ContainsValue(names::section::URL_click, names::key::gis, state.lastNavigatedUrl)) {
        auto creator = std::make_unique<CMapURLCreate>();
        const QString target = creator->CreateMapURL(state.lastNavigatedUrl);
        state.mapKind = creator->GetMapKind();
        if (state.mapKind == CMapURLCreate::MapKindOther)
            browser->Navigate(def->ReadValue(names::section::URL, names::key::MieClickMaps));
        else
            browser->Navigate(target);
        *cancel = true;
        return;
    }
    if (def->ContainsValue(names::section::URL_click, names::key::URL_click, state.lastNavigatedUrl)) {
        *cancel = true;
        return;
    }
    auto* popup = new TBrowserPopupForm(m_host.Window(), browser, m_host.Window());
    DestroyPopup();
    m_popup = popup;
    *newWindow = popup->Browser->Application();
}

void BidInfoBrowser::WindowClosing(bool* cancel)
{
    GoBack();
    *cancel = true;
}

void BidInfoBrowser::DestroyPopup()
{
    if (m_popup)
        m_popup->Discard();
    m_popup = nullptr;
}

} // namespace velmora::app
