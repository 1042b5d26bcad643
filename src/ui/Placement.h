#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The window is laid out in pixels, as its users know it from the manual;
// these helpers name and place a control in one step.
namespace velmora::ui {

template <typename W>
W* Place(W* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// A label sized to its caption with its top-left corner at `at`.
QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent, const QPoint& at);
QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry);
void SetTextColour(QWidget* widget, const QColor& colour);

// Tahoma where the desktop has it; the CJK face carries every Japanese
// caption (and all of them where Tahoma is missing).
QFont WindowFont(int pixelSize);

// Captions are written with CR LF; a label or a button shows CR as a glyph.
QString ShownText(QString text);

} // namespace velmora::ui
