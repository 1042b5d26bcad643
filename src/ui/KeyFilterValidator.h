#pragma once

#include <QValidator>
#include <functional>

namespace velmora::ui {

// Judges a field's whole text by the field's key filter: a text is
// acceptable when typing it into the empty field, one character after
// another, passes the filter at every character. Text that arrives without
// keys (pasted by shortcut, menu or middle click, dropped) therefore meets
// the rules typed text meets, and so does a key typed in the middle of the
// text. A number whose digits before the decimal point were deleted (".5"
// from "5.5") stays editable: deleting is never refused. A text that is not
// typeable as it stands is read once more as copied text (full-width digits,
// a unit after the number) and taken in that form when that form is typeable.
class KeyFilterValidator : public QValidator
{
public:
    // Whether `key` may be typed at the end of a field holding `before`.
    using KeyRule = std::function<bool(const QString& before, QChar key)>;

    // The form a copied text was meant in; the text itself when none.
    using Reader = std::function<QString(const QString& text)>;

    KeyFilterValidator(KeyRule rule, QObject* parent, Reader reader = {});

    State validate(QString& input, int& pos) const override;

    // Whether `text` could be typed into the empty field.
    bool Typeable(const QString& text) const;

private:
    KeyRule m_rule;
    Reader m_reader;
};

} // namespace velmora::ui
