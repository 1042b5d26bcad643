#include "ComboBoxTarget.h"

#include <QComboBox>

namespace velmora::ui {

ComboBoxTarget::ComboBoxTarget(QComboBox* combo)
    : m_combo(combo)
{
}

void ComboBoxTarget::clearItems()
{
    m_combo->clear();
    if (m_combo->isEditable())
        m_combo->clearEditText();
}

void ComboBoxTarget::appendItem(const QString& text)
{
    m_combo->addItem(text);
}

void ComboBoxTarget::setCurrentIndex(int index)
{
    // An index outside the items selects nothing, as the list would.
    m_combo->setCurrentIndex(index >= 0 && index < m_combo->count() ? index : -1);
}

int ComboBoxTarget::currentIndex() const
{
    return m_combo->currentIndex();
}

int ComboBoxTarget::count() const
{
    return m_combo->count();
}

QString ComboBoxTarget::itemText(int index) const
{
    return m_combo->itemText(index);
}

} // namespace velmora::ui
