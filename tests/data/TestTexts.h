#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>

namespace velmora::test {

// A list of texts written as UTF-16 literals.
inline QStringList L(std::initializer_list<const char16_t*> items)
{
    QStringList out;
    for (const char16_t* s : items)
        out.append(QString::fromUtf16(s));
    return out;
}

// Lines as a data file holds them: each ended by CR LF.
inline QString crlfLines(const QStringList& lines) { return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); }

} // namespace velmora::test
