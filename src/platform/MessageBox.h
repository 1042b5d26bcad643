#pragma once

#include <QString>
#include <functional>

namespace velmora::platform {

enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };
enum class MessageIcon { Exclamation, Information, Question, Error };
enum class MessageAnswer { Ok, Yes, No, Save, Discard, Cancel };

// One box as the program asked for it. The text keeps its CR LF line breaks
// exactly as written, so a test can compare it with the wording it expects.
struct MessageRecord
{
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Information;
};

// Every box of the program goes through here. It stays above all other
// windows and returns the button pressed (closing a Yes/No box counts as No).
MessageAnswer ShowMessage(const QString& text, const QString& caption, MessageButtons buttons, MessageIcon icon);

// A question with three ways on: save, go on without saving (both named by
// the caller, e.g. "保存して終了" / "保存せずに終了") and "キャンセル", the
// default. Returns Save, Discard or Cancel (closing the box counts as Cancel).
MessageAnswer AskSaveDiscardCancel(const QString& text, const QString& caption, const QString& saveText,
                                   const QString& discardText);

// A hook answers boxes instead of the user: headless tests must never block
// on a modal box. Returns the previous hook; an empty hook shows real boxes.
using MessageHook = std::function<MessageAnswer(const MessageRecord&)>;
MessageHook SetMessageHook(MessageHook hook);

// The box the framework shows for an error that escaped a handler.
void ShowErrorBox(const QString& message);
// The message of the exception being handled: velmora::Error's own text,
// what() of any other std::exception, a generic text for anything else.
// Call only inside a catch block.
QString CurrentExceptionMessage();
QString GenericErrorText();
QString ErrorBoxCaption();

} // namespace velmora::platform
