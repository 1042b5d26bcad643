#include "web/browser/WebBrowser.h"

#include "BrowserTesting.h"
#include "data/Error.h"
#include "support/LocalWebServer.h"
#include "web/browser/CBrowserInterfaceOperate.h"

#include <gtest/gtest.h>

#include <QWebEnginePage>
#include <QWidget>

#include <memory>

using velmora::test::LocalWebServer;
using velmora::test::BoxRecorder;
using velmora::test::Settle;
using velmora::test::WaitUntil;
using velmora::web::WebBrowser;

namespace {

// What one browser announced, in order.
struct Events
{
    QStringList before;     // "main:<address>" or "frame:<address>"
    QStringList completed;
    int newWindows = 0;
    int closings = 0;
};

class Browser : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = new LocalWebServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(server->isListening());
        browser = std::make_unique<WebBrowser>();
        browser->resize(640, 480);
        Watch(browser.get(), events);
    }

    static void Watch(WebBrowser* b, Events& e)
    {
        QObject::connect(b, &WebBrowser::BeforeNavigate2, b, [&e](const QString& address, bool main, bool*) {
            e.before << (main ? QStringLiteral("main:") : QStringLiteral("frame:")) + address;
        });
        QObject::connect(b, &WebBrowser::NavigateComplete2, b, [&e](const QString& address) { e.completed << address; });
        QObject::connect(b, &WebBrowser::NewWindow2, b, [&e](QWebEnginePage**, bool*) { ++e.newWindows; });
        QObject::connect(b, &WebBrowser::WindowClosing, b, [&e](bool, bool*) { ++e.closings; });
    }

    static void Load(WebBrowser* b, const QString& address)
    {
        b->Navigate(address);
        ASSERT_TRUE(b->WaitForDocument(15000)) << address.toStdString();
    }

    static QVariant Eval(WebBrowser* b, const QString& script) { return velmora::test::EvalScript(b, script); }

    static void Click(WebBrowser* b, const QString& id) { velmora::test::ClickElement(b, id); }

    static LocalWebServer* server;
    std::unique_ptr<WebBrowser> browser;
    Events events;
};

LocalWebServer* Browser::server = nullptr;

} // namespace

TEST_F(Browser, StateFollowsTheDocumentNotTheRequest)
{
    EXPECT_EQ(browser->ReadyState(), WebBrowser::ReadyStateUninitialized);
    EXPECT_FALSE(browser->Busy());
    EXPECT_TRUE(browser->LocationURL().isEmpty());
    EXPECT_FALSE(browser->HasDocument());

    const QString first = server->url(QStringLiteral("test/elements.html"));
    browser->Navigate(first);
    EXPECT_TRUE(browser->Busy());
    EXPECT_EQ(browser->ReadyState(), WebBrowser::ReadyStateLoading);
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), first);
    EXPECT_EQ(browser->ReadyState(), WebBrowser::ReadyStateComplete);
    EXPECT_EQ(events.completed, QStringList{first});
    EXPECT_EQ(events.before, QStringList{QStringLiteral("main:") + first});

    // Right after the request the old document is still shown and complete
    // in itself; the browser must nevertheless count as loading.
    const QString second = server->url(QStringLiteral("test/frame-second.html"));
    browser->Navigate(second);
    EXPECT_TRUE(browser->Busy());
    EXPECT_NE(browser->ReadyState(), WebBrowser::ReadyStateComplete);
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), second);
    EXPECT_EQ(events.completed.last(), second);
}

TEST_F(Browser, RefusedNavigationsLeaveThePageAndEndTheBusyState)
{
    const QString start = server->url(QStringLiteral("test/elements.html"));
    Load(browser.get(), start);
    QObject::connect(browser.get(), &WebBrowser::BeforeNavigate2, browser.get(),
                     [](const QString& address, bool, bool* cancel) {
                         if (address.contains(QStringLiteral("frame-second")))
                             *cancel = true;
                     });
    events.completed.clear();

    browser->Navigate(server->url(QStringLiteral("test/frame-second.html")));
    ASSERT_TRUE(browser->WaitForDocument(15000));
    Click(browser.get(), QStringLiteral("away"));
    Eval(browser.get(), QStringLiteral("goSecond(); true"));
    Settle(300);
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), start);
    EXPECT_EQ(Eval(browser.get(), QStringLiteral("marker")).toString(), QStringLiteral("elements"));
    EXPECT_TRUE(events.completed.isEmpty()) << events.completed.join(u' ').toStdString();
    // The typed load, the link and the script's own navigation were all announced.
    EXPECT_EQ(events.before.filter(QStringLiteral("frame-second")).size(), 3);
}

TEST_F(Browser, ScriptAddressesRunInThePageShownWithoutLeavingIt)
{
    const QString start = server->url(QStringLiteral("test/elements.html"));
    Load(browser.get(), start);
    events.completed.clear();

    // Percent-encoded UTF-8 is decoded; a string result does not replace the document.
    browser->Navigate(QStringLiteral("javascript:document.title='%E6%B4%A5%20' + marker; 'replaced'"));
    ASSERT_TRUE(WaitUntil([&] { return Eval(browser.get(), QStringLiteral("document.title")).toString() != QStringLiteral("elements"); }));
    EXPECT_EQ(Eval(browser.get(), QStringLiteral("document.title")).toString(), QStringLiteral("津 elements"));
    EXPECT_EQ(Eval(browser.get(), QStringLiteral("document.getElementById('text').value")).toString(), QStringLiteral("初期値"));
    EXPECT_EQ(browser->LocationURL(), start);
    EXPECT_FALSE(browser->Busy());
    EXPECT_TRUE(events.completed.isEmpty());
    EXPECT_EQ(events.before.last(), QStringLiteral("main:javascript:document.title='%E6%B4%A5%20' + marker; 'replaced'"));
}

TEST_F(Browser, ScriptLinksAreAnnouncedAndRunOnlyWhenAllowed)
{
    Load(browser.get(), server->url(QStringLiteral("test/frames.html")));
    bool refuse = true;
    QObject::connect(browser.get(), &WebBrowser::BeforeNavigate2, browser.get(),
                     [&refuse](const QString& address, bool, bool* cancel) {
                         if (address.startsWith(QStringLiteral("javascript:")))
                             *cancel = refuse;
                     });
    const QString ranInFrame = QStringLiteral("document.getElementById('inner').contentDocument.body.getAttribute('data-ran')");
    const QString clickInFrame =
        QStringLiteral("document.getElementById('inner').contentDocument.getElementById('run').click(); true");

    Eval(browser.get(), clickInFrame);
    ASSERT_TRUE(WaitUntil([&] { return !events.before.filter(QStringLiteral("javascript:")).isEmpty(); }));
    Settle(200);
    EXPECT_TRUE(Eval(browser.get(), ranInFrame).isNull());
    EXPECT_EQ(events.before.filter(QStringLiteral("javascript:")),
              QStringList{QStringLiteral("frame:javascript:document.body.setAttribute('data-ran', 'yes')")});

    refuse = false;
    Eval(browser.get(), clickInFrame);
    ASSERT_TRUE(WaitUntil([&] { return Eval(browser.get(), ranInFrame).toString() == QStringLiteral("yes"); }));
    EXPECT_EQ(browser->LocationURL(), server->url(QStringLiteral("test/frames.html")));
}

TEST_F(Browser, FramesAnnounceTheirNavigationsAndCompletions)
{
    const QString first = server->url(QStringLiteral("test/frame-first.html"));
    const QString second = server->url(QStringLiteral("test/frame-second.html"));
    Load(browser.get(), server->url(QStringLiteral("test/frames.html")));
    EXPECT_TRUE(events.before.contains(QStringLiteral("frame:") + first));
    ASSERT_TRUE(WaitUntil([&] { return events.completed.contains(first); }));

    // A link into a named frame stays in that frame: no new window.
    Click(browser.get(), QStringLiteral("intoFrame"));
    ASSERT_TRUE(WaitUntil([&] { return events.completed.contains(second); }));
    EXPECT_TRUE(events.before.contains(QStringLiteral("frame:") + second));
    EXPECT_EQ(events.newWindows, 0);
}

TEST_F(Browser, HistoryWorksAfterScriptedNavigations)
{
    const QString start = server->url(QStringLiteral("test/elements.html"));
    const QString scripted = server->url(QStringLiteral("test/frame-second.html?scripted=1"));
    Load(browser.get(), start);
    Eval(browser.get(), QStringLiteral("goSecond(); true"));
    ASSERT_TRUE(WaitUntil([&] { return browser->LocationURL() == scripted && !browser->Busy(); }));

    browser->GoBack();
    EXPECT_TRUE(browser->Busy());
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), start);
    browser->GoForward();
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), scripted);
    // Past the end nothing happens and nothing hangs.
    browser->GoForward();
    EXPECT_FALSE(browser->Busy());
    EXPECT_EQ(browser->LocationURL(), scripted);
}

TEST_F(Browser, ScriptedWindowsLoadInTheBrowserHandedOver)
{
    WebBrowser popup;
    Events popupEvents;
    Watch(&popup, popupEvents);
    QObject::connect(browser.get(), &WebBrowser::NewWindow2, browser.get(),
                     [&popup](QWebEnginePage** window, bool*) { *window = popup.Application(); });
    const QString home = server->url(QStringLiteral("nyusatsu/index.html"));
    Load(browser.get(), home);
    events.before.clear();

    Click(browser.get(), QStringLiteral("byCategory"));
    const QString address = server->url(QStringLiteral("nyusatsu/popup.html?categoryCode=0101"));
    ASSERT_TRUE(WaitUntil([&] { return popupEvents.completed.contains(address); }));
    EXPECT_EQ(popup.LocationURL(), address);
    EXPECT_EQ(events.newWindows, 1);
    // The opener announced only the link's do-nothing script, not the window.
    EXPECT_EQ(events.before, QStringList{QStringLiteral("main:javascript:void(0)")});
    EXPECT_TRUE(popupEvents.before.contains(QStringLiteral("main:") + address));
    EXPECT_EQ(browser->LocationURL(), home);
}

TEST_F(Browser, RefusedWindowsOpenNowhere)
{
    WebBrowser unused;
    QObject::connect(browser.get(), &WebBrowser::NewWindow2, browser.get(), [](QWebEnginePage**, bool* cancel) { *cancel = true; });
    Load(browser.get(), server->url(QStringLiteral("nyusatsu/index.html")));
    server->clearRequests();
    Click(browser.get(), QStringLiteral("byCategory"));
    ASSERT_TRUE(WaitUntil([&] { return events.newWindows == 1; }));
    Settle(300);
    EXPECT_TRUE(server->requests().filter(QStringLiteral("popup.html")).isEmpty());
    EXPECT_TRUE(unused.LocationURL().isEmpty());
}

TEST_F(Browser, LinksToNewWindowsAreAnnouncedByTheOpenerFirst)
{
    WebBrowser popup;
    Events popupEvents;
    Watch(&popup, popupEvents);
    QStringList order;
    bool refuse = true;
    QObject::connect(browser.get(), &WebBrowser::BeforeNavigate2, browser.get(),
                     [&](const QString& address, bool, bool* cancel) {
                         if (address.contains(QStringLiteral("from=top"))) {
                             order << QStringLiteral("before");
                             *cancel = refuse;
                         }
                     });
    QObject::connect(browser.get(), &WebBrowser::NewWindow2, browser.get(), [&](QWebEnginePage** window, bool*) {
        order << QStringLiteral("new");
        *window = popup.Application();
    });
    Load(browser.get(), server->url(QStringLiteral("test/frames.html")));

    Click(browser.get(), QStringLiteral("newWindow"));
    ASSERT_TRUE(WaitUntil([&] { return !order.isEmpty(); }));
    Settle(200);
    EXPECT_EQ(order, QStringList{QStringLiteral("before")});

    refuse = false;
    order.clear();
    Click(browser.get(), QStringLiteral("newWindow"));
    const QString address = server->url(QStringLiteral("test/frame-second.html?from=top"));
    ASSERT_TRUE(WaitUntil([&] { return popupEvents.completed.contains(address); }));
    EXPECT_EQ(order, (QStringList{QStringLiteral("before"), QStringLiteral("new")}));
}

// Served over http, a window that its opener writes into used to crash the
// engine as soon as its view was shown or resized.
TEST_F(Browser, AWrittenWindowCanBeShownAndResized)
{
    QWidget host;
    host.resize(471, 514);
    auto* popup = new WebBrowser(&host);
    popup->setGeometry(0, 0, 471, 490);
    Events popupEvents;
    Watch(popup, popupEvents);
    QObject::connect(browser.get(), &WebBrowser::NewWindow2, browser.get(),
                     [popup](QWebEnginePage** window, bool*) { *window = popup->Application(); });
    QObject::connect(popup, &WebBrowser::NavigateComplete2, popup, [&host, popup](const QString& address) {
        if (address == QStringLiteral("about:blank")) {
            host.resize(270, 300);
            popup->setGeometry(0, 0, 270, 276);
            host.show();
        }
    });
    Load(browser.get(), server->url(QStringLiteral("nyusatsu/index.html")));
    Click(browser.get(), QStringLiteral("notice"));
    ASSERT_TRUE(WaitUntil([&] { return host.isVisible(); }));
    EXPECT_EQ(popupEvents.completed, QStringList{QStringLiteral("about:blank")});
    EXPECT_EQ(popup->LocationURL(), QStringLiteral("about:blank"));
    EXPECT_TRUE(popupEvents.before.isEmpty());
    Settle(300);
    popup->resize(300, 200);
    host.resize(320, 260);
    Settle(300);
    EXPECT_EQ(Eval(popup, QStringLiteral("document.getElementById('notice').textContent")).toString(),
              QStringLiteral("システム保守のお知らせ"));
    EXPECT_EQ(host.size(), QSize(320, 260));
}

TEST_F(Browser, APageAskingToCloseItsWindowCanBeRefused)
{
    bool refuse = true;
    QObject::connect(browser.get(), &WebBrowser::WindowClosing, browser.get(), [&refuse](bool child, bool* cancel) {
        EXPECT_FALSE(child);
        *cancel = refuse;
    });
    Load(browser.get(), server->url(QStringLiteral("nyusatsu/index.html")));
    Load(browser.get(), server->url(QStringLiteral("nyusatsu/close.html")));
    Click(browser.get(), QStringLiteral("closeButton"));
    ASSERT_TRUE(WaitUntil([&] { return events.closings == 1; }));
    refuse = false;
    Click(browser.get(), QStringLiteral("closeButton"));
    ASSERT_TRUE(WaitUntil([&] { return events.closings == 2; }));
    // The view never goes away by itself.
    Settle(200);
    EXPECT_EQ(browser->LocationURL(), server->url(QStringLiteral("nyusatsu/close.html")));
    EXPECT_TRUE(Eval(browser.get(), QStringLiteral("!!document.getElementById('closeButton')")).toBool());
}

TEST_F(Browser, HandlersMayRunAModalLoopOrFailWhileAskedAboutANavigation)
{
    BoxRecorder boxes;
    // A real box runs its own event loop while it is open.
    boxes.onBox = [](const auto&) { Settle(150); };
    QObject::connect(browser.get(), &WebBrowser::BeforeNavigate2, browser.get(),
                     [](const QString& address, bool, bool* cancel) {
                         if (address.contains(QStringLiteral("manual"))) {
                             velmora::platform::ShowMessage(QStringLiteral("refused"), QStringLiteral("警告"),
                                                            velmora::platform::MessageButtons::Ok,
                                                            velmora::platform::MessageIcon::Exclamation);
                             *cancel = true;
                         }
                         if (address.contains(QStringLiteral("tenpu")))
                             throw velmora::Error(QStringLiteral("handler failed"));
                     });
    const QString home = server->url(QStringLiteral("nyusatsu/index.html"));
    Load(browser.get(), home);
    Click(browser.get(), QStringLiteral("manual"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 1; }));
    Click(browser.get(), QStringLiteral("attachment"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.records.size() == 2; }));
    EXPECT_EQ(boxes.records.at(1).text, QStringLiteral("handler failed"));
    Settle(300);
    ASSERT_TRUE(browser->WaitForDocument(15000));
    EXPECT_EQ(browser->LocationURL(), home);
}

TEST_F(Browser, InputValuesTravelUnchangedInBothDirections)
{
    Load(browser.get(), server->url(QStringLiteral("test/elements.html")));
    CBrowserInterfaceOperate operate(browser.get());
    EXPECT_EQ(operate.GetInputValue(QStringLiteral("text")), QStringLiteral("初期値"));
    EXPECT_EQ(operate.GetInputValue(QStringLiteral("empty")), QString());
    EXPECT_EQ(operate.GetInputValue(QStringLiteral("number")), QStringLiteral("12.5"));

    const QString awkward = QStringLiteral("a'b\"c\\d</script><script>window.hacked=1</script>%1 \u2028\u2029 三重県$&")
                                .arg(QStringLiteral("`${x}`"));
    operate.SetInputValue(QStringLiteral("text"), awkward);
    EXPECT_EQ(operate.GetInputValue(QStringLiteral("text")), awkward);
    EXPECT_TRUE(Eval(browser.get(), QStringLiteral("typeof window.hacked === 'undefined'")).toBool());
    operate.SetInputValue(QStringLiteral("text"), QString());
    EXPECT_EQ(operate.GetInputValue(QStringLiteral("text")), QString());

    operate.SetChecked(QStringLiteral("box"), true);
    EXPECT_TRUE(Eval(browser.get(), QStringLiteral("document.getElementById('box').checked")).toBool());
    operate.SetChecked(QStringLiteral("box"), false);
    operate.SetChecked(QStringLiteral("box"), false);
    EXPECT_FALSE(Eval(browser.get(), QStringLiteral("document.getElementById('box').checked")).toBool());
}

TEST_F(Browser, MissingDocumentsAndElementsRaiseErrorsNamingTheId)
{
    WebBrowser empty;
    EXPECT_THROW(CBrowserInterfaceOperate(&empty).GetInputValue(QStringLiteral("y2")), velmora::Error);

    Load(browser.get(), server->url(QStringLiteral("test/elements.html")));
    CBrowserInterfaceOperate operate(browser.get());
    const auto messageOf = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const velmora::Error& e) {
            return e.message();
        }
        return QStringLiteral("(no error)");
    };
    EXPECT_TRUE(messageOf([&] { operate.GetInputValue(QStringLiteral("totaldaze")); }).contains(QStringLiteral("totaldaze")));
    EXPECT_TRUE(messageOf([&] { operate.SetInputValue(QStringLiteral("block"), QStringLiteral("x")); })
                    .contains(QStringLiteral("入力欄ではありません")));
    EXPECT_TRUE(messageOf([&] { operate.GetInputValue(QStringLiteral("area")); }).contains(QStringLiteral("入力欄ではありません")));
    EXPECT_TRUE(messageOf([&] { operate.SetChecked(QStringLiteral("text"), false); }).contains(QStringLiteral("チェックボックス")));
    // Ids are data, never script.
    EXPECT_TRUE(messageOf([&] { operate.GetInputValue(QStringLiteral("x'); window.hacked=1; ('")); })
                    .contains(QStringLiteral("見つかりません")));
    EXPECT_TRUE(Eval(browser.get(), QStringLiteral("typeof window.hacked === 'undefined'")).toBool());
}
