#include "NumberText.h"

#include "Error.h"

#include <QByteArray>
#include <QHash>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace {

bool isBlank(QChar c) { return c.unicode() <= 32; }

bool parseInt(const QString& text, int& out)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i >= n)
        return false;
    long long value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool parseFloat(const QString& text, double& out)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    // Only the characters of a plain decimal number; this keeps "inf", "nan"
    // and hexadecimal floats out of the tables.
    bool digit = false;
    for (QChar c : trimmed) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = true;
        else if (u != u'+' && u != u'-' && u != u'.' && u != u'e' && u != u'E')
            return false;
    }
    if (!digit)
        return false;
    const QByteArray latin = trimmed.toLatin1();
    const char* begin = latin.constData();
    const char* const end = begin + latin.size();
    // from_chars reads "." whatever the desktop's locale (strtod follows
    // LC_NUMERIC, which the application object takes from the desktop). It
    // takes no leading "+": one is skipped, but not before another sign.
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-' && begin[1] != '+')
        ++begin;
    double v = 0;
    auto [stop, error] = std::from_chars(begin, end, v);
    if (error == std::errc::result_out_of_range) {
        // Below the range of a double the text is still a number, close to
        // or equal to zero ("1E-400", or what FloatToStr writes for such a
        // value); only an overflow is not.
        long double wide = 0;
        const auto widened = std::from_chars(begin, end, wide);
        stop = widened.ptr;
        error = widened.ec;
        v = static_cast<double>(wide);
    }
    if (error != std::errc() || stop != end || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// Table figures stay texts and are converted at every lookup, so the same
// few texts come back for every disposal site of a calculation. A converted
// text is remembered (per thread, up to a bound); the same text always gives
// the same double, so this changes the speed and nothing else.
bool parseFloatRemembered(const QString& text, double& out)
{
    constexpr qsizetype kMaxRemembered = 4096;
    thread_local QHash<QString, double> remembered;
    const auto found = remembered.constFind(text);
    if (found != remembered.constEnd()) {
        out = found.value();
        return true;
    }
    if (!parseFloat(text, out))
        return false;
    if (remembered.size() >= kMaxRemembered)
        remembered.clear();
    remembered.insert(text, out);
    return true;
}

} // namespace

int StrToInt(const QString& text)
{
    int v = 0;
    if (!parseInt(text, v))
        throw velmora::ConvertError(QStringLiteral("'%1' は整数値ではありません。").arg(text));
    return v;
}

double StrToFloat(const QString& text)
{
    double v = 0;
    if (!parseFloatRemembered(text, v))
        throw velmora::ConvertError(QStringLiteral("'%1' は浮動小数点数値ではありません。").arg(text));
    return v;
}

int StrToIntDefault(const QString& text, int fallback)
{
    int v = 0;
    return parseInt(text, v) ? v : fallback;
}

double StrToFloatDefault(const QString& text, double fallback)
{
    double v = 0;
    return parseFloatRemembered(text, v) ? v : fallback;
}

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    // Round to 15 significant digits once, then lay the digits out; to_chars
    // writes "." whatever the desktop's locale.
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const QString s = QString::fromLatin1(buf, static_cast<qsizetype>(written.ptr - buf));
    const qsizetype ePos = s.indexOf(u'e');
    const bool negative = s.startsWith(u'-');
    QString digits = s.left(ePos);
    digits.remove(u'-');
    digits.remove(u'.');
    const int exponent = s.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.left(1);
        if (digits.size() > 1)
            out += u'.' + digits.mid(1);
        out += u'E' + (exponent < 0 ? QStringLiteral("-") : QString()) + QString::number(std::abs(exponent));
    } else if (exponent < 0) {
        out = QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() <= exponent + 1) {
        out = digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        out = digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
    }
    return negative ? u'-' + out : out;
}

QString IntToStr(int value) { return QString::number(value); }
