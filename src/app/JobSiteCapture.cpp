#include "JobSiteCapture.h"

#include "BidCaseCapture.h"
#include "HandlerSupport.h"
#include "MainWindowHost.h"
#include "data/NumberText.h"
#include "ui/ConditionPanel.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/CBrowserInterfaceOperate.h"
#include "web/browser/WebBrowser.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

namespace names = velmora::web::names;

namespace velmora::app {

JobSiteCapture::JobSiteCapture(MainWindowHost& host, velmora::ui::ConditionPanel& panel, QObject* owner)
    : m_host(host)
    , m_panel(panel)
    , m_bidCase(new BidCaseCapture(owner))
{
}

void JobSiteCapture::Connect()
{
    QPushButton* button = m_panel.ButtonGetCoord;
    QLineEdit* x = m_panel.EditX;
    QLineEdit* y = m_panel.EditY;
    BidCaseCapture* bidCase = m_bidCase;
    QObject::connect(button, &QPushButton::pressed, bidCase, [bidCase, x, y] { bidCase->BeforeCapture(x->text(), y->text()); });
    QObject::connect(button, &QPushButton::clicked, bidCase, [this] { Capture(); });
    QObject::connect(button, &QPushButton::clicked, bidCase, [bidCase, x, y] { bidCase->AfterCapture(x->text(), y->text()); });
}

void JobSiteCapture::Watch(velmora::web::WebBrowser* browser)
{
    m_bidCase->Watch(browser);
}

void JobSiteCapture::Capture()
{
    velmora::web::WebBrowser* browser = m_host.BidBrowser();
    if (!GetSharedWebDataDef()->ContainsValue(names::section::URL, names::key::MieClickMaps, browser->LocationURL())) {
        Warning(QStringLiteral("MieClickMapsのページが表示されている状態で\r\n「座標取得」ボタンを押してください。"),
                QStringLiteral("無効なページ"));
        return;
    }
    auto operate = std::make_unique<CBrowserInterfaceOperate>(browser);
    double x = 0;
    double y = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        x = StrToFloat(operate->GetInputValue(QStringLiteral("y2")));
        y = StrToFloat(operate->GetInputValue(QStringLiteral("x2")));
        if (x != 0 && y != 0)
            break;
    }
    if (x == 0 || y == 0) {
        Warning(QStringLiteral("座標取得に失敗しました。\r\n再度「座標取得」ボタンをクリックしてください。"),
                QStringLiteral("座標取得失敗"));
        return;
    }
    m_panel.EditX->setText(FloatToStr(x));
    m_panel.EditY->setText(FloatToStr(y));
    m_panel.UpdateCalcButton();
}

velmora::calc::BidCase JobSiteCapture::CurrentBidCase() const
{
    return m_bidCase->CaseFor(m_panel.EditX->text(), m_panel.EditY->text());
}

void JobSiteCapture::Restore(const velmora::calc::BidCase& bidCase)
{
    m_bidCase->Restore(bidCase, m_panel.EditX->text(), m_panel.EditY->text());
}

} // namespace velmora::app
