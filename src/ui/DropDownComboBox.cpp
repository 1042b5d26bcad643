#include "DropDownComboBox.h"

#include <QAbstractItemView>

namespace velmora::ui {

DropDownComboBox::DropDownComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    // Long entries must not widen the box and push the panel's layout apart.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(1);
}

void DropDownComboBox::setDropDownWidth(int width)
{
    m_dropDownWidth = width;
    view()->setMinimumWidth(qMax(width, this->width()));
}

void DropDownComboBox::showPopup()
{
    Q_EMIT droppedDown();
    QComboBox::showPopup();
}

} // namespace velmora::ui
