#pragma once

#include "app/MainWindowFixture.h"
#include "calc/CDisplayCalcResultList.h"
#include "support/LocalWebServer.h"
#include "support/StandInWebDataDef.h"
#include "web/browser/BrowserTesting.h"
#include "web/browser/WebBrowser.h"

namespace velmora::test {

using velmora::web::WebBrowser;

// The main window on the stand-in web pages, served on 127.0.0.1 by one
// server for the whole suite.
class WebWindow : public MainWindowFixture
{
protected:
    static void SetUpTestSuite() { server = new LocalWebServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void writeDefinitions(const QString& text)
    {
        deployment.writeIni(QStringLiteral("status/WebDataDef.ini"), text, velmora::data::IniEncoding::Utf8Bom);
    }

    // The window on the stand-in sites, shown, with the start page and the
    // route page loaded. `routeQuery` goes to the route page.
    TMainForm& startWeb(const QString& routeQuery = QStringLiteral("delay=50"))
    {
        writeDefinitions(StandInWebDataDefText(server->host(), routeQuery));
        startShown();
        TMainForm& f = withBrowsers();
        EXPECT_TRUE(WaitUntil([&] { return f.BrowserGoogleMaps->ReadyState() == 4 && !f.BrowserGoogleMaps->Busy(); }, 15000));
        EXPECT_TRUE(f.BrowserNyusatsuInfo->WaitForDocument(15000));
        return f;
    }

    // A calculated window whose route page answers `routeQuery`.
    TMainForm& startCalculated(const QString& routeQuery = QStringLiteral("delay=50"))
    {
        TMainForm& f = startWeb(routeQuery);
        calculateAt(tsuX(), tsuY());
        EXPECT_GT(f.StringGrid->RowCount(), 4);
        boxes.records.clear();
        return f;
    }

    // A calculated window whose search asks the Google route page, on the
    // stand-in library answering `query`, for many sites at once.
    TMainForm& startMatrixSearch(const QString& query)
    {
        QString text = StandInWebDataDefText(server->host(), QStringLiteral("key=TESTKEY&") + query);
        text.replace(QStringLiteral("/maps/route.html"), QStringLiteral("/test/route-google.html"));
        text.replace(QStringLiteral("calcRoute=javascript:calcRoute()\n"),
                     QStringLiteral("calcRoute=javascript:calcRoute()\ncalcMatrix=javascript:calcMatrix()\n"));
        writeDefinitions(text);
        TMainForm& f = startShown();
        EXPECT_TRUE(WaitUntil([&] { return route()->ReadyState() == 4 && !route()->Busy(); }, 15000));
        calculateAt(tsuX(), tsuY());
        boxes.records.clear();
        return f;
    }

    static QString url(const QString& path) { return server->url(path); }

    static QVariant eval(WebBrowser* b, const QString& script) { return velmora::test::EvalScript(b, script); }

    static void click(WebBrowser* b, const QString& id) { velmora::test::ClickElement(b, id); }

    WebBrowser* bid() const { return form->BrowserNyusatsuInfo; }
    WebBrowser* route() { return withBrowsers().BrowserGoogleMaps; }

    void open(const QString& path)
    {
        bid()->Navigate(url(path));
        ASSERT_TRUE(bid()->WaitForDocument(15000));
    }

    bool showsOnly(const QString& address) const
    {
        return bid()->LocationURL() == address && !bid()->Busy();
    }

    QString caption(size_t i) const { return i < boxes.records.size() ? boxes.records[i].caption : QString(); }

    double distanceOf(const QString& site) const
    {
        const CDisplayCalcResultData* row = form->resultList->FindByName(site);
        return row ? row->GetTransportDistance() : -1;
    }

    static inline LocalWebServer* server = nullptr;
};


} // namespace velmora::test
