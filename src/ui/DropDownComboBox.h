#pragma once

#include <QComboBox>

namespace velmora::ui {

// A pick-only list that announces when it is about to open, so the window
// can widen the opened list to its longest entry first.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DropDownComboBox(QWidget* parent = nullptr);

    // The width asked for the opened list; the list is never narrower than
    // the box itself.
    void setDropDownWidth(int width);
    int dropDownWidth() const { return m_dropDownWidth; }

    void showPopup() override;

Q_SIGNALS:
    void droppedDown();

private:
    int m_dropDownWidth = 0;
};

} // namespace velmora::ui
