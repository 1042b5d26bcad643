#pragma once

namespace velmora::platform::win {

// Height in physical pixels of the strip the taskbar takes from the top or the
// bottom of the screen, from the rectangle the shell reports for it. 0 when
// the shell reports none, and for a taskbar docked at the left or right: that
// one takes no height from the screen.
int TaskbarHeight();

// The rule above on a reported rectangle: a strip wider than high is across
// the screen and counts with its height; anything else counts as 0.
int StripHeight(long left, long top, long right, long bottom);

} // namespace velmora::platform::win
