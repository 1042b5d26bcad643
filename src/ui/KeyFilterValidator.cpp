#include "KeyFilterValidator.h"

namespace velmora::ui {

KeyFilterValidator::KeyFilterValidator(KeyRule rule, QObject* parent)
    : QValidator(parent)
    , m_rule(std::move(rule))
{
}

bool KeyFilterValidator::Typeable(const QString& text) const
{
    QString typed;
    for (const QChar c : text) {
        if (!m_rule(typed, c))
            return false;
        typed.append(c);
    }
    return true;
}

QValidator::State KeyFilterValidator::validate(QString& input, int&) const
{
    if (Typeable(input))
        return Acceptable;
    // A leading digit short of a typeable number: what deleting the digits
    // before the decimal point leaves; a digit typed next mends it.
    QString mended = input;
    mended.insert(input.startsWith(u'-') ? 1 : 0, u'0');
    return Typeable(mended) ? Intermediate : Invalid;
}

} // namespace velmora::ui
