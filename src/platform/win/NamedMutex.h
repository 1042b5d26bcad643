#pragma once

#include <string>

namespace velmora::platform::win {

// A named mutex created owned by the caller. Whether one of that name existed
// before is all the caller needs: the first copy of the program holds it, a
// later copy learns that it is not alone. The handle is closed with the
// object; the system also drops it when the process ends, however it ends.
class NamedMutex
{
public:
    enum class State { Acquired, AlreadyExists, Failed };

    // The name is used as given: without a "Global\" prefix the mutex lives in
    // the session's namespace, so each logged-on user has their own.
    explicit NamedMutex(const std::wstring& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    State state() const { return m_state; }

private:
    void* m_handle = nullptr;
    State m_state = State::Failed;
};

} // namespace velmora::platform::win
