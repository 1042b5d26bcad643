#pragma once

namespace velmora::platform::win {

// The C library's error number for a Win32 error code (GetLastError), for
// the codes a file operation reports, so that one table of Japanese reasons
// serves every platform. 0 for a code without one.
int ErrnoOfWin32Error(unsigned long code);

} // namespace velmora::platform::win
