#pragma once

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <QString>

#include <functional>
#include <ostream>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace velmora::test {

// Lets the browser and the local server work until `condition` holds.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 15000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Processes events for a while, for checks that something does NOT happen.
inline void Settle(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// Answers every message box instead of the user and remembers it.
class RecordedBoxes
{
public:
    explicit RecordedBoxes(velmora::platform::MessageAnswer answer = velmora::platform::MessageAnswer::Yes)
        : m_answer(answer)
    {
        m_previous = velmora::platform::SetMessageHook([this](const velmora::platform::MessageRecord& record) {
            m_boxes.push_back(record);
            if (m_whileShown)
                m_whileShown(record);
            return m_answer;
        });
    }
    ~RecordedBoxes() { velmora::platform::SetMessageHook(m_previous); }
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;

    const std::vector<velmora::platform::MessageRecord>& boxes() const { return m_boxes; }
    size_t count() const { return m_boxes.size(); }
    void clear() { m_boxes.clear(); }
    void setAnswer(velmora::platform::MessageAnswer answer) { m_answer = answer; }
    // Runs while a box is "open", e.g. to process events the way a real
    // modal box does.
    void setWhileShown(std::function<void(const velmora::platform::MessageRecord&)> f) { m_whileShown = std::move(f); }

private:
    velmora::platform::MessageAnswer m_answer;
    velmora::platform::MessageHook m_previous;
    std::vector<velmora::platform::MessageRecord> m_boxes;
    std::function<void(const velmora::platform::MessageRecord&)> m_whileShown;
};

} // namespace velmora::test
