#include "StringListTarget.h"

namespace velmora::data {

void StringListTarget::clearItems()
{
    m_items.clear();
    m_current = -1;
}

void StringListTarget::appendItem(const QString& text) { m_items.append(text); }

void StringListTarget::setCurrentIndex(int index) { m_current = index >= 0 && index < count() ? index : -1; }

QString StringListTarget::itemText(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index) : QString();
}

} // namespace velmora::data
