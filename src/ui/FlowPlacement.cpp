#include "FlowPlacement.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace velmora::ui {
namespace {

class ResizeWatch : public QObject
{
public:
    ResizeWatch(QWidget* widget, std::function<void()> placed)
        : QObject(widget)
        , m_placed(std::move(placed))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Placing may resize the widget again; that pass changes nothing.
        if (event->type() == QEvent::Resize && !m_placing) {
            m_placing = true;
            m_placed();
            m_placing = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_placed;
    bool m_placing = false;
};

} // namespace

void OnResize(QWidget* widget, std::function<void()> placed)
{
    new ResizeWatch(widget, std::move(placed));
}

void PlacedBlock::add(QWidget* widget)
{
    widgets.append(widget);
    design.append(widget->geometry());
}

QRect PlacedBlock::bounds() const
{
    QRect r;
    for (const QRect& d : design)
        r = r.united(d);
    return r;
}

FlowOutcome FlowBlocks(const QList<PlacedBlock>& blocks, int width, int margin, int gap)
{
    FlowOutcome outcome;
    int rowTop = 0;     // top of the current flowed row
    int rowBottom = 0;  // lowest edge so far in the current row
    int nextLeft = margin;
    for (const PlacedBlock& block : blocks) {
        const QRect r = block.bounds();
        QPoint offset;
        if (!outcome.wrapped && r.right() + 1 + margin <= width) {
            rowBottom = std::max(rowBottom, r.bottom() + 1);
        } else {
            if (!outcome.wrapped || nextLeft + r.width() + margin > width) {
                // A new row under everything placed so far.
                rowTop = (outcome.wrapped ? rowBottom : std::max(rowBottom, outcome.bottom)) + gap;
                nextLeft = margin;
            }
            outcome.wrapped = true;
            offset = QPoint(nextLeft - r.left(), rowTop - r.top());
            nextLeft += r.width() + gap;
            rowBottom = std::max(rowBottom, rowTop + r.height());
        }
        for (qsizetype i = 0; i < block.widgets.size(); ++i)
            block.widgets.at(i)->setGeometry(block.design.at(i).translated(offset));
        outcome.bottom = std::max(outcome.bottom, r.bottom() + 1 + offset.y());
    }
    return outcome;
}

} // namespace velmora::ui
