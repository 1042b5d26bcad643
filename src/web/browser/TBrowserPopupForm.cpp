#include "web/browser/TBrowserPopupForm.h"

#include "platform/Desktop.h"
#include "web/browser/WebBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const QString kBaseName = QStringLiteral("BrowserPopupForm");

bool NameTaken(const QString& name)
{
    const QWidgetList all = QApplication::allWidgets();
    for (const QWidget* w : all) {
        if (w->isWindow() && w->objectName() == name)
            return true;
    }
    return false;
}

} // namespace

TBrowserPopupForm::TBrowserPopupForm(QWidget* owner, velmora::web::WebBrowser* mainBrowserControl, QWidget* mainWindowWidget)
    : QWidget(owner, Qt::Window)
    , allowedUrlParts{QStringLiteral("categoryCode"), QStringLiteral("orderOrganHCode"), QStringLiteral("orderOrganVCode"),
                      QStringLiteral("orderOrganPCode"), QStringLiteral("about:blank"), QStringLiteral("pub?s=C001")}
    , mainBrowser(mainBrowserControl)
    , mainWindow(mainWindowWidget)
{
    setObjectName(UniqueName());
    setWindowTitle(QStringLiteral("三重県　入札情報サービス"));
    resize(ClientWidth, ClientHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Browser = new velmora::web::WebBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    column->addWidget(Browser, 1);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    column->addWidget(StatusBar);

    connect(Browser, &velmora::web::WebBrowser::NavigateComplete2, this, &TBrowserPopupForm::BrowserNavigateComplete2);
    connect(Browser, &velmora::web::WebBrowser::NewWindow2, this, &TBrowserPopupForm::BrowserNewWindow2);
    connect(Browser, &velmora::web::WebBrowser::WindowClosing, this, &TBrowserPopupForm::BrowserWindowClosing);

    PlaceOnScreen(owner);
}

TBrowserPopupForm::~TBrowserPopupForm() = default;

QString TBrowserPopupForm::UniqueName()
{
    if (!NameTaken(kBaseName))
        return kBaseName;
    for (int n = 1;; ++n) {
        const QString name = kBaseName + QLatin1Char('_') + QString::number(n);
        if (!NameTaken(name))
            return name;
    }
}

void TBrowserPopupForm::PlaceOnScreen(QWidget* owner)
{
    // A pop-up opened from the pop-up whose name it extends keeps the window
    // system's position; every other one is centred on the main window.
    if (owner && !owner->objectName().isEmpty() && objectName().contains(owner->objectName()))
        return;
    if (!mainWindow)
        return;
    const QRect area = mainWindow->frameGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

bool TBrowserPopupForm::IsShownAddress(const QString& address) const
{
    for (const QString& part : allowedUrlParts) {
        if (address.contains(part))
            return true;
    }
    return false;
}

void TBrowserPopupForm::BrowserNavigateComplete2(const QString& address)
{
    if (closing)
        return;
    if (address.contains(QStringLiteral("ankenNo"))) {
        if (mainBrowser)
            mainBrowser->Navigate(address);
        close();
        return;
    }
    if (address.contains(QStringLiteral("about:blank"))) {
        // The outer size: the window system's frame is part of the 270 × 300,
        // and it is known only once the window is on screen.
        resize(QSize(BlankWidth, BlankHeight) - (frameGeometry().size() - geometry().size()));
        show();
        resize(QSize(BlankWidth, BlankHeight) - (frameGeometry().size() - geometry().size()));
        return;
    }
    if (IsShownAddress(address))
        show();
}

void TBrowserPopupForm::BrowserNewWindow2(QWebEnginePage** newWindow, bool*)
{
    auto* popup = new TBrowserPopupForm(this, mainBrowser, mainWindow);
    if (childPopup)
        childPopup->Discard();
    childPopup = popup;
    *newWindow = popup->Browser->Application();
    popup->show();
}

void TBrowserPopupForm::BrowserWindowClosing(bool, bool*)
{
    close();
    closing = true;
}

void TBrowserPopupForm::FormShow()
{
    velmora::platform::BringToForeground(this);
}

void TBrowserPopupForm::FormClose()
{
    if (childPopup) {
        childPopup->Discard();
        childPopup = nullptr;
    }
}

void TBrowserPopupForm::Discard()
{
    if (childPopup)
        childPopup->Discard();
    hide();
    // Its browser may be in the middle of telling about an event; the
    // window goes once that is over.
    deleteLater();
}

void TBrowserPopupForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TBrowserPopupForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}
