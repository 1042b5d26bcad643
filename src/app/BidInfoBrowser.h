#pragma once

#include <QPointer>
#include <QString>

class QWebEnginePage;
class TBrowserPopupForm;

namespace velmora::app {

class MainWindowHost;

// The bid-information browser: its start page, the addresses it refuses or
// leads elsewhere (the web-site definitions' lists), the map a GIS link
// opens, and the one pop-up window it may have open.
class BidInfoBrowser
{
public:
    explicit BidInfoBrowser(MainWindowHost& host);
    ~BidInfoBrowser();

    void ShowHome();
    void GoBack();
    void GoForward();
    void BeforeNavigate(const QString& address, bool* cancel);
    void NavigateComplete(const QString& address);
    void NewWindow(QWebEnginePage** newWindow, bool* cancel);
    // A page's script closed the window: back one page instead.
    void WindowClosing(bool* cancel);
    // The pop-up goes when the page shown changes.
    void DestroyPopup();

    TBrowserPopupForm* Popup() const;

private:
    MainWindowHost& m_host;
    QPointer<TBrowserPopupForm> m_popup;
};

} // namespace velmora::app
