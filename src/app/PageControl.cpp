#include "PageControl.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace velmora::app {
namespace {

// Counts a user action for as long as the base class handles the event.
class UserAction
{
public:
    explicit UserAction(int& counter)
        : m_counter(counter)
    {
        ++m_counter;
    }
    ~UserAction() { --m_counter; }

private:
    int& m_counter;
};

} // namespace

PageTabBar::PageTabBar(QWidget* parent)
    : QTabBar(parent)
{
    setObjectName(QStringLiteral("PageControlTabBar"));
    setDrawBase(true);
    setExpanding(false);
}

QPoint PageTabBar::captionOrigin(int index) const
{
    const QRect r = tabRect(index);
    const int dx = index == currentIndex() ? ActiveOffset : InactiveOffset;
    return {r.left() + dx, r.top() + TopOffset};
}

QSize PageTabBar::tabSizeHint(int index) const
{
    const QFontMetrics fm(font());
    // Room for the caption at the larger offset and a margin on the right.
    return {fm.horizontalAdvance(tabText(index)) + ActiveOffset + 12, fm.height() + 2 * TopOffset};
}

void PageTabBar::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        // The tab's frame comes from the style; its face and caption are ours.
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        const QRect face = tabRect(i).adjusted(2, 2, -2, -1);
        painter.fillRect(face, palette().color(QPalette::Button));
        painter.setPen(Qt::black);
        painter.setFont(font());
        const QPoint origin = captionOrigin(i);
        painter.drawText(QRect(origin, QPoint(tabRect(i).right(), tabRect(i).bottom())),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, tabText(i));
    }
}

void PageTabBar::mousePressEvent(QMouseEvent* event)
{
    UserAction action(m_userAction);
    QTabBar::mousePressEvent(event);
}

void PageTabBar::keyPressEvent(QKeyEvent* event)
{
    UserAction action(m_userAction);
    QTabBar::keyPressEvent(event);
}

void PageTabBar::wheelEvent(QWheelEvent* event)
{
    UserAction action(m_userAction);
    QTabBar::wheelEvent(event);
}

PageControl::PageControl(QWidget* parent)
    : QTabWidget(parent)
    , m_tabBar(new PageTabBar(this))
{
    setObjectName(QStringLiteral("PageControl"));
    setTabBar(m_tabBar);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_tabBar->userAction())
            Q_EMIT pageChangedByUser(index);
    });
}

void PageControl::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab and Ctrl+PgUp/PgDown switch pages from anywhere in the page.
    UserAction action(m_tabBar->m_userAction);
    QTabWidget::keyPressEvent(event);
}

} // namespace velmora::app
