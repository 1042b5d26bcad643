#pragma once

#include <QChar>

class QKeyEvent;

namespace velmora::ui {

// The character a key press types, as the key filters of the window judge
// it: Enter is CR, Backspace BS, Escape ESC, Ctrl+letter its control code.
// Keys that type nothing (arrows, Delete, Tab, function keys) give a null
// character and are never filtered.
QChar TypedCharacter(const QKeyEvent* event);

// The same, for the number fields whose validator reads full-width text as
// meant: a full-width character is judged as its half-width form, so "１"
// typed is the digit one.
QChar TypedNumberCharacter(const QKeyEvent* event);

// Paste, select all and copy: shortcuts a number field leaves to the field
// itself. None of them types a character; a paste is judged whole by the
// field's validator.
bool IsEditingShortcut(const QKeyEvent* event);

} // namespace velmora::ui
