#include "KeyCharacter.h"

#include "data/MatchesCostItem.h"

#include <QKeyEvent>

namespace velmora::ui {

QChar TypedCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(u'\r');
    case Qt::Key_Backspace:
        return QChar(u'\b');
    case Qt::Key_Escape:
        return QChar(char16_t(0x1b));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return QChar();
    default:
        break;
    }
    // Shortcuts such as Ctrl+V would otherwise bring in text the filters
    // never saw; as control characters they are judged like any other.
    if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(char16_t(key - Qt::Key_A + 1));
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() == 0x7f)
        return QChar();
    return text.at(0);
}

QChar TypedNumberCharacter(const QKeyEvent* event)
{
    const QChar typed = TypedCharacter(event);
    if (typed.isNull())
        return typed;
    const QString half = ToHalfWidth(QString(typed));
    return half.size() == 1 ? half.at(0) : typed;
}

bool IsEditingShortcut(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll)
           || event->matches(QKeySequence::Copy);
}

} // namespace velmora::ui
