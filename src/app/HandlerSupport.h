#pragma once

#include <QString>
#include <functional>

namespace velmora::app {

// An exclamation box with an OK button.
void Warning(const QString& text, const QString& caption);

// "（reason）" on a line of its own, for a box that gives the route page's
// reason; empty when there is none.
QString ReasonLine(const QString& reason);

// Lets the browsers, timers and the wait dialog work for `ms` milliseconds.
void PauseProcessingEvents(int ms);

// Runs the given step on every way out of a scope.
class OnExit
{
public:
    explicit OnExit(std::function<void()> step)
        : m_step(std::move(step))
    {
    }
    ~OnExit() { m_step(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    std::function<void()> m_step;
};

} // namespace velmora::app
