#pragma once

#include <string>
#include <vector>

namespace velmora::platform::win {

// The executable file names (no directory, as the system spells them) of the
// running processes, in the order of a process snapshot. Empty when no
// snapshot can be taken.
std::vector<std::wstring> RunningExecutableNames();

} // namespace velmora::platform::win
