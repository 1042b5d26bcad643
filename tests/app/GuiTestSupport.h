#pragma once

#include "platform/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

namespace velmora::test {

// Answers every box the program shows while it lives and keeps what was
// asked, so a headless test never blocks on a modal box.
class BoxRecorder
{
public:
    using Answer = velmora::platform::MessageAnswer;

    explicit BoxRecorder(Answer fallback = Answer::No)
        : m_fallback(fallback)
    {
        m_previous = velmora::platform::SetMessageHook([this](const velmora::platform::MessageRecord& r) {
            records.push_back(r);
            if (onBox)
                onBox(r);
            if (answers.empty())
                return m_fallback;
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~BoxRecorder() { velmora::platform::SetMessageHook(std::move(m_previous)); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    QStringList captions() const
    {
        QStringList c;
        for (const auto& r : records)
            c.append(r.caption);
        return c;
    }

    std::vector<velmora::platform::MessageRecord> records;
    std::deque<Answer> answers;
    std::function<void(const velmora::platform::MessageRecord&)> onBox;

private:
    Answer m_fallback;
    velmora::platform::MessageHook m_previous;
};

// Processes events until `done` holds or `ms` pass; true when it held.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Drops `text` onto `target` as a drag from another program would: a drop
// reaches only a widget that took the drag's entry. True when it was taken.
inline bool DropText(QWidget* target, const QString& text)
{
    QMimeData mime;
    mime.setText(text);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// Starts the real program from a copy beside the deployment in `exeDir`
// (it reads its files from its own folder), headless, with `runtimeDir` as
// its session folder so the single-instance lock of any other copy running
// on this machine does not refuse it. `binary` is another build of the
// program from the build's bin folder (one with a test driver in it).
// False when it could not be started.
inline bool StartProgramCopy(QProcess& program, const QString& exeDir, const QString& runtimeDir,
                             const QString& binary = QStringLiteral("velmora"))
{
    const QString copy = exeDir + binary;
    if (!QFile::exists(copy) && !QFile::copy(QStringLiteral(VELMORA_BIN_DIR "/") + binary, copy))
        return false;
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(runtimeDir);
    program.start(copy, {});
    return program.waitForStarted();
}

} // namespace velmora::test
