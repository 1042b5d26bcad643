#include "StartProgram.h"

#include <windows.h>
#include <shellapi.h>

namespace velmora::platform::win {

bool StartProgram(const std::wstring& path)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are the shell's error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace velmora::platform::win
