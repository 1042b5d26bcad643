#include "TWaitStartForm.h"
#include "ui/Placement.h"

#include "platform/Desktop.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TWaitStartForm::TWaitStartForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("WaitStartForm"));
    setWindowTitle(QStringLiteral("VelmoraPro"));
    setFixedSize(ClientWidth, ClientHeight);
    setAttribute(Qt::WA_ShowWithoutActivating, false);

    setFont(velmora::ui::WindowFont(16));

    LabelStarting = new QLabel(QStringLiteral("VelmoraPro起動中"), this);
    LabelStarting->setObjectName(QStringLiteral("LabelStarting"));
    LabelStarting->setGeometry(16, 18, ClientWidth - 32, 24);
    LabelWait = new QLabel(QStringLiteral("しばらくお待ちください．．．"), this);
    LabelWait->setObjectName(QStringLiteral("LabelWait"));
    LabelWait->setGeometry(16, 54, ClientWidth - 32, 24);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    }
}

void TWaitStartForm::showAndPaint()
{
    show();
    // One pass of the event loop maps the window; then it is painted before
    // the long, uninterrupted start-up sequence goes on.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TWaitStartForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    velmora::platform::BringToForeground(this);
}

void TWaitStartForm::closeEvent(QCloseEvent* event)
{
    // Only its owner ends it, by destroying it.
    event->ignore();
}
