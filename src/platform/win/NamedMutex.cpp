#include "NamedMutex.h"

#include <windows.h>

namespace velmora::platform::win {

NamedMutex::NamedMutex(const std::wstring& name)
{
    HANDLE h = CreateMutexW(nullptr, TRUE, name.c_str());
    if (!h)
        return;
    // Read at once: any later call may overwrite the thread's last error.
    const DWORD error = GetLastError();
    m_handle = h;
    m_state = error == ERROR_ALREADY_EXISTS ? State::AlreadyExists : State::Acquired;
}

NamedMutex::~NamedMutex()
{
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
}

} // namespace velmora::platform::win
