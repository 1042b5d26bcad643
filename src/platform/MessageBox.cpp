#include "MessageBox.h"

#include "data/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <exception>
#include <new>

namespace velmora::platform {
namespace {

MessageHook& hook()
{
    static MessageHook h;
    return h;
}

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageHook SetMessageHook(MessageHook h)
{
    MessageHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

MessageAnswer ShowMessage(const QString& text, const QString& caption, MessageButtons buttons, MessageIcon icon)
{
    if (hook()) {
        // Copy first: the hook may install another one while it runs.
        const MessageHook h = hook();
        const MessageAnswer answer = h(MessageRecord{text, caption, buttons, icon});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return answer == MessageAnswer::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }

    // The texts are written with CR LF; a label would show the CR as a glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');

    QMessageBox box(toQtIcon(icon), caption, shown, QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (buttons == MessageButtons::YesNo) {
        box.addButton(QMessageBox::Yes);
        box.setDefaultButton(box.addButton(QMessageBox::No));
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
    }
    box.raise();
    const int pressed = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

MessageAnswer AskSaveDiscardCancel(const QString& text, const QString& caption, const QString& saveText,
                                   const QString& discardText)
{
    if (hook()) {
        const MessageHook h = hook();
        const MessageAnswer answer = h(MessageRecord{text, caption, MessageButtons::SaveDiscardCancel, MessageIcon::Question});
        return answer == MessageAnswer::Save || answer == MessageAnswer::Discard ? answer : MessageAnswer::Cancel;
    }
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Question, caption, shown, QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QPushButton* save = box.addButton(saveText, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(discardText, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.raise();
    box.exec();
    if (box.clickedButton() == save)
        return MessageAnswer::Save;
    return box.clickedButton() == discard ? MessageAnswer::Discard : MessageAnswer::Cancel;
}

QString GenericErrorText()
{
    return QStringLiteral("予期しないエラーが発生しました。");
}

QString ErrorBoxCaption()
{
    return QStringLiteral("VelmoraPro");
}

void ShowErrorBox(const QString& message)
{
    ShowMessage(message.isEmpty() ? GenericErrorText() : message, ErrorBoxCaption(), MessageButtons::Ok,
                MessageIcon::Error);
}

QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const velmora::Error& e) {
        return e.message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("メモリが不足しています。");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return GenericErrorText();
    }
}

} // namespace velmora::platform
