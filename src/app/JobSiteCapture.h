#pragma once

#include "calc/CaseFile.h"

#include <QString>

class QObject;

namespace velmora::ui {
class ConditionPanel;
}
namespace velmora::web {
class WebBrowser;
}

namespace velmora::app {

class BidCaseCapture;
class MainWindowHost;

// "座標取得": the job site read from the map page the bid-information
// browser shows, into the condition panel's coordinate fields, and the bid
// case that job site belongs to.
class JobSiteCapture
{
public:
    // `owner` keeps the objects this feature makes.
    JobSiteCapture(MainWindowHost& host, velmora::ui::ConditionPanel& panel, QObject* owner);

    // Connects the capture button: the capture itself, and around it the
    // fields' texts that tell a capture from a failed one.
    void Connect();
    void Capture();
    // The bid-information browser, once it has been made.
    void Watch(velmora::web::WebBrowser* browser);

    // The bid case of the job site the fields hold now; empty when typed.
    velmora::calc::BidCase CurrentBidCase() const;
    // A reopened case: its job site counts as captured for its bid case.
    void Restore(const velmora::calc::BidCase& bidCase);

private:
    MainWindowHost& m_host;
    velmora::ui::ConditionPanel& m_panel;
    BidCaseCapture* m_bidCase;
};

} // namespace velmora::app
