#include "KeyFilterValidator.h"

namespace velmora::ui {

KeyFilterValidator::KeyFilterValidator(KeyRule rule, QObject* parent, Reader reader)
    : QValidator(parent)
    , m_rule(std::move(rule))
    , m_reader(std::move(reader))
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

QValidator::State KeyFilterValidator::validate(QString& input, int& pos) const
{
    if (Typeable(input))
        return Acceptable;
    if (m_reader) {
        const QString meant = m_reader(input);
        if (meant != input && Typeable(meant)) {
            // A cursor at the end stays there; elsewhere it moves back by
            // what was dropped, staying inside the number.
            pos = pos >= input.size() ? int(meant.size())
                                      : qBound(0, pos - int(input.size() - meant.size()), int(meant.size()));
            input = meant;
            return Acceptable;
        }
    }
    // A leading digit short of a typeable number: what deleting the digits
    // before the decimal point leaves; a digit typed next mends it.
    QString mended = input;
    mended.insert(input.startsWith(u'-') ? 1 : 0, u'0');
    return Typeable(mended) ? Intermediate : Invalid;
}

} // namespace velmora::ui
