#include "SingleInstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "win/NamedMutex.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace velmora::platform {

#ifdef Q_OS_WIN

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& /*directory*/)
    : m_lockName(name)
    , m_mutex(std::make_unique<win::NamedMutex>(name.toStdWString()))
{
    switch (m_mutex->state()) {
    case win::NamedMutex::State::Acquired:
        m_state = State::Acquired;
        break;
    case win::NamedMutex::State::AlreadyExists:
        m_state = State::AlreadyRunning;
        break;
    case win::NamedMutex::State::Failed:
        m_state = State::Failed;
        break;
    }
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

#else

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& directory)
{
    QString dir = directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_lockName = QDir(dir).filePath(name + QStringLiteral(".lock"));

    // flock belongs to the open file description, so the kernel releases it
    // when the process dies. CLOEXEC keeps the detached update checker from
    // inheriting it and holding the lock after we are gone.
    const QByteArray path = QFile::encodeName(m_lockName);
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_state = State::Failed;
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_state = State::Acquired;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::AlreadyRunning : State::Failed;
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // The file stays: removing it could let a third copy lock a new file
    // while a second one still holds the old one.
    if (m_fd >= 0)
        ::close(m_fd);
}

#endif

} // namespace velmora::platform
