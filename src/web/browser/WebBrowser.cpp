#include "web/browser/WebBrowser.h"

#include "platform/MessageBox.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <memory>

namespace velmora::web {
namespace {

const QString kBlank = QStringLiteral("about:blank");

// Runs in a world of its own in every frame, out of the page's reach: it
// reports script links, links that open a new window, a frame's committed
// document and the page's request to close its window. Reports travel as
// console lines that start with a secret the page cannot read, so a page
// cannot forge them.
const char* const kWatcherScript = R"JS(
(function () {
  'use strict';
  var secret = %1;
  var isTop = window === window.top;
  function framePath() {
    var parts = [];
    var w = window;
    while (w !== w.top) {
      var p = w.parent, i = 0;
      for (; i < p.frames.length; ++i) if (p.frames[i] === w) break;
      parts.unshift(i);
      w = p;
    }
    return parts.join('.');
  }
  function report(kind, address) {
    console.log(secret + JSON.stringify({k: kind, f: isTop ? '' : framePath(), u: address}));
  }
  if (!isTop && location.href !== 'about:blank' && location.href !== 'about:srcdoc')
    report('frame', location.href);
  window.addEventListener('velmora-window-close', function () { if (isTop) report('close', ''); });
  function namedFrameExists(name) {
    function search(w) {
      for (var i = 0; i < w.frames.length; ++i) {
        try { if (w.frames[i].name === name || search(w.frames[i])) return true; } catch (e) {}
      }
      return false;
    }
    try { return search(window.top); } catch (e) { return false; }
  }
  window.addEventListener('click', function (e) {
    if (e.defaultPrevented || e.button !== 0 || e.ctrlKey || e.shiftKey || e.metaKey || e.altKey) return;
    var a = e.target && e.target.closest ? e.target.closest('a[href],area[href]') : null;
    if (!a) return;
    var raw = (a.getAttribute('href') || '').trim();
    if (/^javascript:/i.test(raw)) {
      e.preventDefault();
      report('script', raw);
      return;
    }
    var target = (a.getAttribute('target') || '').trim();
    var lower = target.toLowerCase();
    if (target === '' || lower === '_self' || lower === '_parent' || lower === '_top') return;
    if (lower !== '_blank' && namedFrameExists(target)) return;
    e.preventDefault();
    report('newwindow', a.href);
  });
})();
)JS";

// Runs in the page's own world of the top document only: a page may close
// its window whenever it likes, so the request is passed to the watcher
// instead of being left to the engine, which ignores it for most windows.
const char* const kCloseHookScript = R"JS(
(function () {
  if (window !== window.top) return;
  var request = function close() { window.dispatchEvent(new Event('velmora-window-close')); };
  try { Object.defineProperty(window, 'close', {value: request, writable: true, configurable: true}); } catch (e) {}
})();
)JS";

QString Encoded(const QUrl& url)
{
    return QString::fromUtf8(url.toEncoded());
}

// Handlers run from inside the engine's own call stack. An escaping error
// must never unwind through it, and navigations a handler starts there are
// held back until the engine has returned (see WebBrowser::Navigate).
int g_engineCallbackDepth = 0;

template <typename F>
bool Guarded(F&& f)
{
    ++g_engineCallbackDepth;
    bool ok = true;
    try {
        f();
    } catch (...) {
        ok = false;
        velmora::platform::ShowErrorBox(velmora::platform::CurrentExceptionMessage());
    }
    --g_engineCallbackDepth;
    return ok;
}

} // namespace

namespace {
const QString kScriptScheme = QStringLiteral("javascript:");
}

bool IsScriptAddress(const QString& address)
{
    return address.trimmed().startsWith(kScriptScheme, Qt::CaseInsensitive);
}

QString ScriptOfAddress(const QString& address)
{
    if (!IsScriptAddress(address))
        return QString();
    const QString trimmed = address.trimmed();
    return QString::fromUtf8(QByteArray::fromPercentEncoding(trimmed.mid(kScriptScheme.size()).toUtf8()));
}

class BrowserPage : public QWebEnginePage
{
public:
    explicit BrowserPage(WebBrowser* view)
        : QWebEnginePage(QWebEngineProfile::defaultProfile(), view)
        , m_view(view)
    {
        const quint64 a = QRandomGenerator::system()->generate64();
        const quint64 b = QRandomGenerator::system()->generate64();
        m_secret = QStringLiteral("velmora:%1%2:").arg(a, 16, 16, QLatin1Char('0')).arg(b, 16, 16, QLatin1Char('0'));

        QWebEngineScript watcher;
        watcher.setName(QStringLiteral("velmora-watcher"));
        watcher.setWorldId(QWebEngineScript::ApplicationWorld);
        watcher.setInjectionPoint(QWebEngineScript::DocumentCreation);
        watcher.setRunsOnSubFrames(true);
        const QString quotedSecret = QString::fromUtf8(QJsonDocument(QJsonArray{m_secret}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
        watcher.setSourceCode(QString::fromUtf8(kWatcherScript).arg(quotedSecret));
        scripts().insert(watcher);

        QWebEngineScript closeHook;
        closeHook.setName(QStringLiteral("velmora-close"));
        closeHook.setWorldId(QWebEngineScript::MainWorld);
        closeHook.setInjectionPoint(QWebEngineScript::DocumentCreation);
        closeHook.setRunsOnSubFrames(false);
        closeHook.setSourceCode(QString::fromUtf8(kCloseHookScript));
        scripts().insert(closeHook);

        settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);

        connect(this, &QWebEnginePage::loadStarted, this, [this] {
            m_requested = false;
            m_loading = true;
        });
        connect(this, &QWebEnginePage::loadFinished, this, &BrowserPage::onLoadFinished);
        connect(this, &QWebEnginePage::windowCloseRequested, this, [this] { requestClose(); });
    }

    bool busy() const { return m_requested || m_loading || m_settling; }
    bool everLoaded() const { return m_everLoaded; }
    bool openedAsWindow() const { return m_openedAsWindow; }
    bool fresh() const { return !m_everLoaded && !m_requested && !m_loading && url().isEmpty(); }

    void markRequested() { m_requested = true; }

    void runScriptAddress(const QString& address, const QString& framePath)
    {
        if (framePath.isEmpty()) {
            runJavaScript(ScriptOfAddress(address), 0);
            return;
        }
        // A frame's own script world is not reachable from here; navigating
        // the frame to the address runs the script in that frame.
        const QJsonArray args{framePath, address};
        const QString call = QStringLiteral(
            "(function (path, address) { var w = window; var parts = path.split('.');"
            " for (var i = 0; i < parts.length; ++i) { w = w.frames[+parts[i]]; if (!w) return; }"
            " try { w.location.href = address; } catch (e) {} }).apply(null, %1)")
                                 .arg(QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact)));
        runJavaScript(call, QWebEngineScript::ApplicationWorld);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (m_internalLoad && isMainFrame) {
            m_internalLoad = false;
            return true;
        }
        // The control announces what the user or the page asked for, not the
        // server's redirects or a reload of the same document.
        if (type == NavigationTypeRedirect || type == NavigationTypeReload) {
            if (isMainFrame)
                m_requested = true;
            return true;
        }
        bool cancel = false;
        const QString address = Encoded(url);
        QPointer<BrowserPage> self(this);
        const bool ok = Guarded([&] { Q_EMIT m_view->BeforeNavigate2(address, isMainFrame, &cancel); });
        if (!self)
            return false;
        if (!ok)
            cancel = true;
        if (isMainFrame)
            m_requested = !cancel;
        return !cancel;
    }

    QWebEnginePage* createWindow(WebWindowType) override
    {
        return askForNewWindow();
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override
    {
        if (!message.startsWith(m_secret)) {
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
            return;
        }
        const QJsonObject report = QJsonDocument::fromJson(message.mid(m_secret.size()).toUtf8()).object();
        const QString kind = report.value(QStringLiteral("k")).toString();
        const QString frame = report.value(QStringLiteral("f")).toString();
        const QString address = report.value(QStringLiteral("u")).toString();
        const bool isMainFrame = frame.isEmpty();
        // A handler may destroy this page's view (a pop-up that is replaced),
        // so the page is looked at again after every signal.
        QPointer<BrowserPage> self(this);
        if (kind == QStringLiteral("script")) {
            bool cancel = false;
            if (Guarded([&] { Q_EMIT m_view->BeforeNavigate2(address, isMainFrame, &cancel); }) && !cancel && self)
                runScriptAddress(address, frame);
        } else if (kind == QStringLiteral("newwindow")) {
            bool cancel = false;
            if (!Guarded([&] { Q_EMIT m_view->BeforeNavigate2(Encoded(QUrl(address)), isMainFrame, &cancel); }) || cancel
                || !self)
                return;
            if (QWebEnginePage* target = askForNewWindow())
                target->load(QUrl(address));
        } else if (kind == QStringLiteral("frame")) {
            Guarded([&] { Q_EMIT m_view->NavigateComplete2(Encoded(QUrl(address))); });
        } else if (kind == QStringLiteral("close")) {
            requestClose();
        }
    }

private:
    QWebEnginePage* askForNewWindow()
    {
        QWebEnginePage* target = nullptr;
        bool cancel = false;
        if (!Guarded([&] { Q_EMIT m_view->NewWindow2(&target, &cancel); }) || cancel || !target)
            return nullptr;
        auto* page = dynamic_cast<BrowserPage*>(target);
        if (!page || page == this || !page->fresh() || page->profile() != profile())
            return nullptr;
        page->m_openedAsWindow = true;
        page->m_requested = true;
        return page;
    }

    void requestClose()
    {
        bool cancel = false;
        Guarded([&] { Q_EMIT m_view->WindowClosing(false, &cancel); });
    }

    void onLoadFinished(bool ok)
    {
        m_loading = false;
        m_requested = false;
        if (m_settling) {
            m_settling = false;
            Guarded([&] { Q_EMIT m_view->NavigateComplete2(kBlank); });
            return;
        }
        if (!ok)
            return;
        m_everLoaded = true;
        const QUrl shown = url();
        if (m_openedAsWindow && !m_settled && (shown.isEmpty() || shown == QUrl(kBlank))) {
            settleWrittenWindow();
            return;
        }
        Guarded([&] { Q_EMIT m_view->NavigateComplete2(Encoded(shown)); });
    }

    // A window that its opener wrote into has no document of its own, and
    // the engine crashes once such a view is shown or resized. Committing the
    // written markup as this page's own document first makes it an ordinary
    // page; only then is the completion announced, so the host can show it.
    void settleWrittenWindow()
    {
        m_settled = true;
        m_settling = true;
        waitForWrittenDocument(0);
    }

    void waitForWrittenDocument(int attempt)
    {
        QPointer<BrowserPage> self(this);
        runJavaScript(QStringLiteral("document.readyState"), QWebEngineScript::ApplicationWorld,
                      [self, attempt](const QVariant& state) {
                          if (!self)
                              return;
                          // An opener that never closes its document gets about a second.
                          if (state.toString() != QStringLiteral("complete") && attempt < 20) {
                              QTimer::singleShot(50, self, [self, attempt] {
                                  if (self)
                                      self->waitForWrittenDocument(attempt + 1);
                              });
                              return;
                          }
                          self->toHtml([self](const QString& html) {
                              if (!self)
                                  return;
                              self->m_internalLoad = true;
                              self->setHtml(html, QUrl(kBlank));
                          });
                      });
    }

    WebBrowser* m_view;
    QString m_secret;
    bool m_requested = false;
    bool m_loading = false;
    bool m_settling = false;
    bool m_settled = false;
    bool m_internalLoad = false;
    bool m_everLoaded = false;
    bool m_openedAsWindow = false;
};

WebBrowser::WebBrowser(QWidget* parent)
    : QWebEngineView(parent)
    , m_page(new BrowserPage(this))
{
    setPage(m_page);
}

WebBrowser::~WebBrowser()
{
    // The page goes before the view so that no signal reaches a half-destroyed view.
    delete m_page;
    m_page = nullptr;
}

void WebBrowser::WhenEngineReturned(const std::function<void()>& step)
{
    if (g_engineCallbackDepth == 0) {
        step();
        return;
    }
    QTimer::singleShot(0, this, step);
}

void WebBrowser::Navigate(const QString& address)
{
    if (address.trimmed().isEmpty())
        return;
    if (IsScriptAddress(address)) {
        bool cancel = false;
        Q_EMIT BeforeNavigate2(address, true, &cancel);
        if (!cancel)
            WhenEngineReturned([this, address] { m_page->runScriptAddress(address, QString()); });
        return;
    }
    m_page->markRequested();
    WhenEngineReturned([this, address] { m_page->load(QUrl(address)); });
}

void WebBrowser::GoBack()
{
    if (!m_page->history()->canGoBack())
        return;
    m_page->markRequested();
    WhenEngineReturned([this] { m_page->history()->back(); });
}

void WebBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        return;
    m_page->markRequested();
    WhenEngineReturned([this] { m_page->history()->forward(); });
}

QString WebBrowser::LocationURL() const
{
    const QUrl shown = m_page->url();
    if (shown.isEmpty())
        return m_page->openedAsWindow() && m_page->everLoaded() ? kBlank : QString();
    return Encoded(shown);
}

int WebBrowser::ReadyState() const
{
    if (Busy())
        return ReadyStateLoading;
    return LocationURL().isEmpty() ? ReadyStateUninitialized : ReadyStateComplete;
}

bool WebBrowser::Busy() const
{
    return m_page->busy();
}

bool WebBrowser::HasDocument() const
{
    return !LocationURL().isEmpty();
}

QWebEnginePage* WebBrowser::Application() const
{
    return m_page;
}

WebBrowser::ScriptOutcome WebBrowser::EvaluateJavaScript(const QString& script, int timeoutMs)
{
    struct State
    {
        bool finished = false;
        QVariant value;
        QEventLoop* loop = nullptr;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    m_page->runJavaScript(script, 0, [state](const QVariant& value) {
        state->finished = true;
        state->value = value;
        if (state->loop)
            state->loop->quit();
    });
    if (!state->finished) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    state->loop = nullptr;
    return ScriptOutcome{state->finished, state->value};
}

bool WebBrowser::WaitForDocument(int timeoutMs, const std::function<bool()>& stopped)
{
    QDeadlineTimer deadline(timeoutMs);
    QPointer<WebBrowser> self(this);
    while (self && (ReadyState() != ReadyStateComplete || Busy())) {
        if (deadline.hasExpired() || (stopped && stopped()))
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !self.isNull();
}

} // namespace velmora::web
