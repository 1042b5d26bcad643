#pragma once

#include <QList>
#include <QRect>
#include <functional>

class QWidget;

namespace velmora::ui {

// Controls placed together, at their design positions.
struct PlacedBlock
{
    QList<QWidget*> widgets;
    QList<QRect> design;

    void add(QWidget* widget);
    QRect bounds() const;
};

struct FlowOutcome
{
    int bottom = 0;       // lowest edge of any control placed
    bool wrapped = false; // some block went to a row below the first
};

// Puts the blocks at their design positions while they fit into `width`;
// the first block that does not, and every block after it, flows onto rows
// below, left to right from `margin`, `gap` pixels apart.
FlowOutcome FlowBlocks(const QList<PlacedBlock>& blocks, int width, int margin = 6, int gap = 6);

// Runs `placed` whenever `widget` changes its size.
void OnResize(QWidget* widget, std::function<void()> placed);

} // namespace velmora::ui
