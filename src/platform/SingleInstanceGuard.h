#pragma once

#include <QString>

#ifdef Q_OS_WIN
#include <memory>

namespace velmora::platform::win {
class NamedMutex;
} // namespace velmora::platform::win
#endif

namespace velmora::platform {

// Lets one copy of the program run per user session. The lock belongs to the
// process: the system drops it when the process ends, however it ends, so a
// crashed copy never blocks the next start.
class SingleInstanceGuard
{
public:
    enum class State { Acquired, AlreadyRunning, Failed };

    // `directory` empty: the user's runtime directory (one per session).
    explicit SingleInstanceGuard(const QString& name, const QString& directory = QString());
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    State state() const { return m_state; }
    // Where the lock lives (the lock file, or the mutex name on Windows).
    const QString& lockName() const { return m_lockName; }

private:
    State m_state = State::Failed;
    QString m_lockName;
#ifdef Q_OS_WIN
    std::unique_ptr<win::NamedMutex> m_mutex;
#else
    int m_fd = -1;
#endif
};

} // namespace velmora::platform
