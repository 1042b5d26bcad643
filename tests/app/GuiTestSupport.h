#pragma once

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
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

} // namespace velmora::test
