#include "app/GuiTestSupport.h"
#include "app/MainWindowHost.h"
#include "app/RoadDistanceExchange.h"
#include "ui/MainWindowState.h"

#include <gtest/gtest.h>

#include <QPushButton>

using namespace velmora::test;
using velmora::app::RoadDistanceExchange;

namespace {

// The window as the exchange sees it, without browsers: asking for one is
// counted, and would crash if the exchange used it.
class HostWithoutBrowsers : public velmora::app::MainWindowHost
{
public:
    velmora::ui::MainWindowState& State() override { return state; }
    COutputDataManager* Driver() override { return nullptr; }
    void ShowCalcResult(bool) override {}
    void SetActivePage(int index) override { page = index; }
    QWidget* Window() override { return nullptr; }
    velmora::web::WebBrowser* BidBrowser() override { return ++browsersAsked, nullptr; }
    velmora::web::WebBrowser* RouteBrowser() override { return ++browsersAsked, nullptr; }

    velmora::ui::MainWindowState state;
    int page = -1;
    int browsersAsked = 0;
};

} // namespace

TEST(RoadDistanceExchange, SendWithoutAShownCalculationWarnsAndLeavesTheRoutePageAlone)
{
    BoxRecorder boxes;
    HostWithoutBrowsers host;
    QPushButton fetch;
    RoadDistanceExchange roads(host, {nullptr, &fetch});

    host.state.selectedRow = 1;
    EXPECT_FALSE(roads.Send());
    // Without master data there is no job site to show either.
    roads.CalculationShown();
    EXPECT_FALSE(roads.ShownJobSite());
    EXPECT_FALSE(roads.Send());

    EXPECT_EQ(boxes.captions(), QStringList({QStringLiteral("行の未選択"), QStringLiteral("行の未選択")}));
    EXPECT_EQ(host.browsersAsked, 0);
    EXPECT_EQ(host.page, -1);
    EXPECT_FALSE(host.state.routeSent);
    EXPECT_TRUE(fetch.isEnabled());
}
