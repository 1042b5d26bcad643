#pragma once

#include <QChar>

class QKeyEvent;

namespace velmora::ui {

// The character a key press types, as the key filters of the window judge
// it: Enter is CR, Backspace BS, Escape ESC, Ctrl+letter its control code.
// Keys that type nothing (arrows, Delete, Tab, function keys) give a null
// character and are never filtered.
QChar TypedCharacter(const QKeyEvent* event);

} // namespace velmora::ui
