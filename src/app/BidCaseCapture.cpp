#include "BidCaseCapture.h"

#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/browser/WebBrowser.h"

#include <QPointer>
#include <QUrl>
#include <QUrlQuery>
#include <QWebEnginePage>

namespace velmora::app {
namespace {

// The text beside the "件名" heading of the case page.
const QString kCaseNameScript = QStringLiteral(
    "(function () {"
    "  var heads = document.querySelectorAll('th, dt');"
    "  for (var i = 0; i < heads.length; ++i) {"
    "    if (heads[i].textContent.trim() === '件名') {"
    "      var next = heads[i].nextElementSibling;"
    "      return next ? next.textContent.trim() : '';"
    "    }"
    "  }"
    "  return '';"
    "})()");

bool IsMapPage(const QString& address)
{
    const auto def = GetSharedWebDataDef();
    return def && def->ContainsValue(velmora::web::names::section::URL, velmora::web::names::key::MieClickMaps, address);
}

} // namespace

BidCaseCapture::BidCaseCapture(QObject* parent)
    : QObject(parent)
{
}

void BidCaseCapture::Watch(velmora::web::WebBrowser* browser)
{
    m_browser = browser;
    connect(browser, &QWebEngineView::loadFinished, this, &BidCaseCapture::PageLoaded);
}

void BidCaseCapture::PageLoaded()
{
    const QString address = m_browser->LocationURL();
    const QString number = QUrlQuery(QUrl(address)).queryItemValue(QStringLiteral("ankenNo"), QUrl::FullyDecoded);
    if (number.isEmpty()) {
        // The map page opened from the case keeps it; any other page ends it.
        if (!IsMapPage(address))
            m_lastCasePage = {};
        return;
    }
    m_lastCasePage = {number, QString()};
    QPointer<BidCaseCapture> self(this);
    m_browser->page()->runJavaScript(kCaseNameScript, [self, number](const QVariant& name) {
        if (self && self->m_lastCasePage.number == number)
            self->m_lastCasePage.name = name.toString();
    });
}

void BidCaseCapture::BeforeCapture(const QString& x, const QString& y)
{
    m_beforeX = x;
    m_beforeY = y;
}

void BidCaseCapture::AfterCapture(const QString& x, const QString& y)
{
    // A failed capture leaves the fields as they were.
    if (x == m_beforeX && y == m_beforeY && !(x == m_capturedX && y == m_capturedY))
        return;
    if (!m_browser || !IsMapPage(m_browser->LocationURL()))
        return;
    m_captured = m_lastCasePage;
    m_capturedX = x;
    m_capturedY = y;
}

velmora::calc::BidCase BidCaseCapture::CaseFor(const QString& x, const QString& y) const
{
    if (x == m_capturedX && y == m_capturedY)
        return m_captured;
    return {};
}

void BidCaseCapture::Restore(const velmora::calc::BidCase& bidCase, const QString& x, const QString& y)
{
    m_captured = bidCase;
    m_capturedX = x;
    m_capturedY = y;
}

} // namespace velmora::app
