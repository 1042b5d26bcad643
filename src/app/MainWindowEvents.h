#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QLineEdit;
class QWidget;
class QWindow;

namespace velmora::app {

// The main window's activation and the key filter of the count field: both
// come as events of other objects, so this watcher hands them over.
class MainWindowEvents : public QObject
{
public:
    struct Handlers
    {
        // The first showing, and every return from another window of the program.
        std::function<void()> activated;
        // A character typed in the count field; a null key is dropped.
        std::function<void(QChar&)> countKey;
    };

    MainWindowEvents(QWidget& window, QLineEdit& countField, Handlers handlers);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The first showing, and every return from another window of the
    // program; not a return from a message box or from another program.
    bool CountsAsActivation();

    QWidget& m_window;
    QLineEdit& m_countField;
    Handlers m_handlers;
    QPointer<QWindow> m_current;
    QPointer<QWindow> m_previous;
    bool m_activatedBefore = false;
};

} // namespace velmora::app
