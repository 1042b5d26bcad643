#pragma once

#include <initializer_list>

class QPushButton;
class QWidget;

namespace velmora::ui {

// Enter or Return in any of `fields` clicks `button` when it would take a
// click, and goes no further either way. Watches before the fields' own key
// filters, installed earlier, which have no use for the key.
void ClickOnEnter(QPushButton* button, std::initializer_list<QWidget*> fields);

} // namespace velmora::ui
