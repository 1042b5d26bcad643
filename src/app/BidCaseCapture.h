#pragma once

#include "calc/CaseFile.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace velmora::web {
class WebBrowser;
}

namespace velmora::app {

// Remembers which bid case a captured job site belongs to. A case page of
// the bid-information service carries the case number in its address
// ("ankenNo") and the name in its "件名" line; its map link leads to the map
// page that "座標取得" reads. When a capture fills the coordinate fields from
// a map page reached from a case page, that case goes with the job site for
// as long as the fields keep the captured texts.
class BidCaseCapture : public QObject
{
    Q_OBJECT

public:
    explicit BidCaseCapture(QObject* parent);
    // The bid-information browser, once it has been made.
    void Watch(velmora::web::WebBrowser* browser);

    // Around a press of "座標取得": the fields' texts before and after it.
    void BeforeCapture(const QString& x, const QString& y);
    void AfterCapture(const QString& x, const QString& y);

    // The bid case of a job site with these field texts; empty when they
    // were typed rather than captured.
    velmora::calc::BidCase CaseFor(const QString& x, const QString& y) const;
    // A case reopened from a file: its job site is the captured one again.
    void Restore(const velmora::calc::BidCase& bidCase, const QString& x, const QString& y);

    // The case page last shown, while the browser stays on it or on a map.
    const velmora::calc::BidCase& LastCasePage() const { return m_lastCasePage; }

private:
    void PageLoaded();

    QPointer<velmora::web::WebBrowser> m_browser;
    velmora::calc::BidCase m_lastCasePage;
    velmora::calc::BidCase m_captured;
    QString m_capturedX;
    QString m_capturedY;
    QString m_beforeX;
    QString m_beforeY;
};

} // namespace velmora::app
