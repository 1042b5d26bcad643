#pragma once

#include "data/ComboTarget.h"

class QComboBox;

namespace velmora::ui {

// Lets the selection-list models of the core fill a combo box of the window.
// Writing through here never counts as the user's choice: the window reacts
// to `activated` only, which programmatic changes do not emit.
class ComboBoxTarget final : public velmora::data::ComboTarget
{
public:
    explicit ComboBoxTarget(QComboBox* combo);

    void clearItems() override;
    void appendItem(const QString& text) override;
    void setCurrentIndex(int index) override;
    int currentIndex() const override;
    int count() const override;
    QString itemText(int index) const override;

    QComboBox* combo() const { return m_combo; }

private:
    QComboBox* m_combo;
};

} // namespace velmora::ui
