#include "MainWindowEvents.h"

#include "ui/KeyCharacter.h"

#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

namespace velmora::app {

MainWindowEvents::MainWindowEvents(QWidget& window, QLineEdit& countField, Handlers handlers)
    : QObject(&window)
    , m_window(window)
    , m_countField(countField)
    , m_handlers(std::move(handlers))
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (!w || w == m_current)
            return;
        m_previous = m_current;
        m_current = w;
    });
    window.installEventFilter(this);
    countField.installEventFilter(this);
    countField.setAttribute(Qt::WA_InputMethodEnabled, true);
}

bool MainWindowEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::WindowActivate) {
        if (CountsAsActivation())
            m_handlers.activated();
        return false;
    }
    if (watched == &m_countField && event->type() == QEvent::KeyPress) {
        QChar key = velmora::ui::TypedCharacter(static_cast<QKeyEvent*>(event));
        if (key.isNull())
            return false;
        const QChar typed = key;
        m_handlers.countKey(key);
        if (key.isNull())
            return true;
        if (key != typed) {
            m_countField.insert(QString(key));
            return true;
        }
        return false;
    }
    if (watched == &m_countField && event->type() == QEvent::InputMethod) {
        // Characters from an input method (full-width digits) go through
        // the same filter one by one.
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (im->commitString().isEmpty())
            return false;
        for (QChar c : im->commitString()) {
            m_handlers.countKey(c);
            if (!c.isNull())
                m_countField.insert(QString(c));
        }
        QInputMethodEvent rest(im->preeditString(), im->attributes());
        QCoreApplication::sendEvent(&m_countField, &rest);
        return true;
    }
    return false;
}

bool MainWindowEvents::CountsAsActivation()
{
    const QWindow* self = m_window.windowHandle();
    const QWindow* from = m_current == self ? m_previous.data() : m_current.data();
    if (!m_activatedBefore) {
        m_activatedBefore = true;
        return true;
    }
    if (!from || from == self)
        return false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() == from)
            return !qobject_cast<QDialog*>(w);
    }
    return false;
}

} // namespace velmora::app
