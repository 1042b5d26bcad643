#pragma once

#include <QString>

class QScreen;
class QWidget;

namespace velmora::platform {

// Starts a program and forgets it: no arguments, the current working
// directory, no waiting, no result looked at. False when it could not start.
bool StartDetached(const QString& program);

// Height of the strip the desktop keeps for its panels and taskbars: what the
// screen has minus what windows may use; on Windows the strip of the taskbar
// rectangle the shell reports. 0 without a screen.
int TaskbarHeight(const QScreen* screen);

// Raises the window and asks the window system to give it the focus.
void BringToForeground(QWidget* window);

} // namespace velmora::platform
