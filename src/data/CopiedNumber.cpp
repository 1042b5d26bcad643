#include "CopiedNumber.h"

#include "MatchesCostItem.h"

#include <QRegularExpression>

namespace velmora::data {

QString ReadCopiedNumber(const QString& text, CopiedNumberKind kind)
{
    QString s = ToHalfWidth(text);
    // The minus sign of typeset pages.
    s.replace(QChar(0x2212), u'-');
    s = s.trimmed();
    auto dropSuffix = [&s](const QString& suffix) {
        if (s.size() > suffix.size() && s.endsWith(suffix, Qt::CaseInsensitive))
            s = s.chopped(suffix.size()).trimmed();
    };
    switch (kind) {
    case CopiedNumberKind::Distance:
        dropSuffix(QStringLiteral("km"));
        break;
    case CopiedNumberKind::Fee: {
        dropSuffix(QStringLiteral("円"));
        // Separators only where they group thousands: "4,50" is no fee.
        static const QRegularExpression grouped(QStringLiteral("^[0-9]{1,3}(,[0-9]{3})+$"));
        if (grouped.match(s).hasMatch())
            s.remove(u',');
        break;
    }
    case CopiedNumberKind::Coordinate:
        break;
    }
    return s;
}

} // namespace velmora::data
