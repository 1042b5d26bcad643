#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QStatusBar;
class QWebEnginePage;

namespace velmora::web {
class WebBrowser;
}

// A window of the bid-information service opened by one of its pages. It
// stays hidden until its page is one the estimator needs to see; a case page
// is handed back to the main browser instead. Each pop-up hangs from the
// window that opened it (the main window or another pop-up), which destroys
// it; closing it only hides it.
class TBrowserPopupForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 471;
    static constexpr int ClientHeight = 514;
    static constexpr int BlankWidth = 270;
    static constexpr int BlankHeight = 300;

    // `owner`: the window that opened it (destroys it). `mainBrowser`: where
    // case pages go. `mainWindow`: the window it is centred on.
    TBrowserPopupForm(QWidget* owner, velmora::web::WebBrowser* mainBrowser, QWidget* mainWindow);
    ~TBrowserPopupForm() override;

    // True when the address contains one of allowedUrlParts.
    bool IsShownAddress(const QString& address) const;

    void BrowserNavigateComplete2(const QString& address);
    void BrowserNewWindow2(QWebEnginePage** newWindow, bool* cancel);
    void BrowserWindowClosing(bool isChildWindow, bool* cancel);
    void FormShow();
    void FormClose();

    // Hides this pop-up and the ones opened from it, and has them destroyed.
    void Discard();

    // "BrowserPopupForm", or that name with "_1", "_2", … when taken.
    static QString UniqueName();

    velmora::web::WebBrowser* Browser;
    QStatusBar* StatusBar;
    const QStringList allowedUrlParts;
    QPointer<TBrowserPopupForm> childPopup;
    bool closing = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceOnScreen(QWidget* owner);

    QPointer<velmora::web::WebBrowser> mainBrowser;
    QPointer<QWidget> mainWindow;
};
