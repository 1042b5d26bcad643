#pragma once

#include <QString>
#include <QVariant>
#include <QWebEngineView>

#include <functional>

class QWebEnginePage;

namespace velmora::web {

class BrowserPage;

// The embedded browser of the main window and of the pop-ups. It behaves as
// the handlers expect of a browser control: every navigation of the page or
// one of its frames is announced before it happens and can be refused, a
// completed navigation is announced with its address, a page's request for a
// new window is either refused or handed the page of another WebBrowser, and
// a page's request to close its window can be refused.
//
// Links whose address is a script ("javascript:...") are announced like any
// other navigation and run only when nobody refused them; so are links that
// open their address in a new window, before the new window is asked for.
// Windows opened by the page's own script ask for the new window directly.
class WebBrowser : public QWebEngineView
{
    Q_OBJECT

public:
    // ReadyState values, as the control reports them.
    enum { ReadyStateUninitialized = 0, ReadyStateLoading = 1, ReadyStateComplete = 4 };

    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Starts loading and returns at once. A script address runs its
    // (percent-decoded) script in the page shown, which stays. An empty
    // address does nothing.
    void Navigate(const QString& address);
    // Move through this browser's history; nothing happens at either end.
    void GoBack();
    void GoForward();

    // The address of the document shown (fully percent-encoded); empty while
    // nothing has been loaded, "about:blank" for a window its opener wrote.
    QString LocationURL() const;
    // 4 once the current document has fully loaded, 1 while loading, 0 before
    // anything was loaded. A navigation that has been asked for but not yet
    // answered already counts as loading: the old document is not "complete".
    int ReadyState() const;
    bool Busy() const;
    // Whether a document is shown that scripts can reach.
    bool HasDocument() const;

    // The object handed to a new-window request so that the new page loads
    // here. Only a browser that has not loaded anything can take one.
    QWebEnginePage* Application() const;

    // Runs `script` in the page's own script world and waits for its value,
    // processing events (but no user input) meanwhile. finished is false when
    // the page gave no answer within `timeoutMs`; a late answer is dropped.
    struct ScriptOutcome
    {
        bool finished = false;
        QVariant value;
    };
    ScriptOutcome EvaluateJavaScript(const QString& script, int timeoutMs);

    // Processes events until ReadyState is 4 and the browser is not busy.
    // False when `timeoutMs` passed first, or when `stopped` (checked after
    // every round of events) says the wait is no longer wanted.
    bool WaitForDocument(int timeoutMs, const std::function<bool()>& stopped = {});

Q_SIGNALS:
    // Before every navigation of the page or a frame; set *cancel to refuse it.
    void BeforeNavigate2(const QString& address, bool isMainFrame, bool* cancel);
    // A navigation of the page or a frame has completed.
    void NavigateComplete2(const QString& address);
    // The page asks for a new window: either set *cancel, or set *newWindow to
    // the Application() of another WebBrowser, in which the new page then
    // loads. Leaving both alone refuses the window as well.
    void NewWindow2(QWebEnginePage** newWindow, bool* cancel);
    // The page's script asks to close its window. The view never closes
    // itself; setting *cancel tells the page it stays.
    void WindowClosing(bool isChildWindow, bool* cancel);

private:
    friend class BrowserPage;
    // Runs `step` now, or once the engine has returned when a handler called
    // from inside the engine asks for a navigation.
    void WhenEngineReturned(const std::function<void()>& step);

    BrowserPage* m_page = nullptr;
};

bool IsScriptAddress(const QString& address);
// The script of a "javascript:" address as it runs: the text after the
// scheme, percent-decoded as UTF-8. Empty for any other address.
QString ScriptOfAddress(const QString& address);

} // namespace velmora::web
