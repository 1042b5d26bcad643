#include "Placement.h"

#include <QLabel>
#include <QPushButton>

namespace velmora::ui {

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent, const QPoint& at)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry)
{
    return Place(new QPushButton(caption, parent), name, geometry);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

QFont WindowFont(int pixelSize)
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP")});
    f.setPixelSize(pixelSize);
    return f;
}

QString ShownText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace velmora::ui
