#pragma once

#include <string>

namespace velmora::platform::win {

// Asks the shell to open the program: no arguments, the current directory,
// nothing waited for. True when the shell reports that it started.
bool StartProgram(const std::wstring& path);

} // namespace velmora::platform::win
