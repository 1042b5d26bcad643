#pragma once

#include "ComboTarget.h"

#include <QStringList>

namespace velmora::data {

// A drop-down list without a widget: the command-line calculator and the
// tests let the selection-list models fill one of these.
class StringListTarget final : public ComboTarget
{
public:
    void clearItems() override;
    void appendItem(const QString& text) override;
    // An index outside the items selects nothing, as a combo box does.
    void setCurrentIndex(int index) override;
    int currentIndex() const override { return m_current; }
    int count() const override { return static_cast<int>(m_items.size()); }
    QString itemText(int index) const override;

    const QStringList& items() const { return m_items; }
    // The selected item's text; empty when nothing is selected.
    QString currentText() const { return itemText(m_current); }

private:
    QStringList m_items;
    int m_current = -1;
};

} // namespace velmora::data
