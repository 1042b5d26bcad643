#pragma once

class COutputDataManager;
class QWidget;

namespace velmora::ui {
struct MainWindowState;
}
namespace velmora::web {
class WebBrowser;
}

namespace velmora::app {

// The pages of the main window, in tab order.
enum Page { PageMain = 0, PageCalcResult = 1, PageGoogleMap = 2 };

// What a feature of the main window may reach of it: the shared state
// fields, the calculation driver, showing the result and switching pages.
// The browsers are made after the window's first paint; asking for one
// earlier makes it at once, so a feature never sees a missing browser.
class MainWindowHost
{
public:
    virtual ~MainWindowHost() = default;

    virtual velmora::ui::MainWindowState& State() = 0;
    // Null when the master data could not be loaded.
    virtual COutputDataManager* Driver() = 0;
    // Shows the result list in the grid again (after a recalculation).
    virtual void ShowCalcResult(bool costItemChanged) = 0;
    virtual void SetActivePage(int index) = 0;
    // The window boxes and dialogs belong to.
    virtual QWidget* Window() = 0;
    virtual velmora::web::WebBrowser* BidBrowser() = 0;
    virtual velmora::web::WebBrowser* RouteBrowser() = 0;
};

} // namespace velmora::app
