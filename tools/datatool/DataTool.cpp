#include "DataTool.h"

#include "data/CEnDecryption.h"
#include "data/Error.h"
#include "data/IniFile.h"

#include <QStringDecoder>

namespace velmora::tools {
namespace {

struct NamedEncoding
{
    const char* name;
    Encoding encoding;
};

constexpr NamedEncoding kEncodings[] = {
    {"utf16le", Encoding::Utf16Le},
    {"utf16le-bom", Encoding::Utf16LeBom},
    {"utf16le-scrambled", Encoding::Utf16LeScrambled},
    {"utf16be-bom", Encoding::Utf16BeBom},
    {"cp932", Encoding::Cp932},
    {"utf8-bom", Encoding::Utf8Bom},
    {"utf8", Encoding::Utf8},
};

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeMark("\xFF\xFE", 2);
const QByteArray kUtf16BeMark("\xFE\xFF", 2);

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8);
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        out.append(bigEndian ? hi : lo);
        out.append(bigEndian ? lo : hi);
    }
    return out;
}

QString fromUtf16(const QByteArray& bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        throw velmora::ConvertError(
            QStringLiteral("UTF-16 のファイルのバイト数が奇数です (%1 バイト)。").arg(bytes.size()));
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar a = p[2 * i];
        const uchar b = p[2 * i + 1];
        text[i] = QChar(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // A lone surrogate cannot be written as UTF-8: it would come out as a
    // replacement character and the maintainer would edit damaged text.
    if (!QStringView(text).isValidUtf16())
        throw velmora::ConvertError(QStringLiteral("UTF-16 として正しくない文字 (対になっていないサロゲート) があります。"));
    return text;
}

// 1-based line and column of a position, for messages about source text.
QString positionOf(const QString& text, qsizetype index)
{
    const qsizetype line = QStringView(text).left(index).count(u'\n') + 1;
    const qsizetype lineStart = text.lastIndexOf(u'\n', index - 1) + 1;
    return QStringLiteral("%1 行 %2 文字目").arg(line).arg(index - lineStart + 1);
}

QByteArray toCp932(const QString& text)
{
    const QByteArray bytes = velmora::data::EncodeCp932(text);
    const QString back = velmora::data::DecodeCp932(bytes);
    if (back == text)
        return bytes;
    // The converter substitutes what it cannot map; shipping that would
    // silently change a list entry, so name the first character instead.
    qsizetype i = 0;
    while (i < text.size() && i < back.size() && text.at(i) == back.at(i))
        ++i;
    const QString what = i < text.size() ? QStringLiteral("「%1」(U+%2)").arg(text.at(i)).arg(text.at(i).unicode(), 4, 16, QChar(u'0')).toUpper()
                                         : QString();
    throw velmora::ConvertError(QStringLiteral("%1 の文字 %2 は CP932 (Shift-JIS) で表せません。")
                                    .arg(positionOf(text, i), what));
}

} // namespace

std::optional<Encoding> ParseEncoding(const QString& name)
{
    for (const NamedEncoding& e : kEncodings)
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return e.encoding;
    return std::nullopt;
}

QString EncodingName(Encoding encoding)
{
    for (const NamedEncoding& e : kEncodings)
        if (e.encoding == encoding)
            return QString::fromLatin1(e.name);
    return QString();
}

QStringList EncodingNames()
{
    QStringList names;
    for (const NamedEncoding& e : kEncodings)
        names.append(QString::fromLatin1(e.name));
    return names;
}

Encoding GuessEncoding(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.startsWith(kUtf8Mark))
        return Encoding::Utf8Bom;
    if (bytes.startsWith(kUtf16LeMark))
        return Encoding::Utf16LeBom;
    if (bytes.startsWith(kUtf16BeMark))
        return Encoding::Utf16BeBom;
    for (const QString& key : CEnDecryption::ScrambledKeys()) {
        if (fileName.contains(key))
            return Encoding::Utf16LeScrambled;
        if (fileName.contains(u'D' + key.mid(1)))
            return Encoding::Utf16Le;
    }
    return Encoding::Cp932;
}

QString ReadUtf8Source(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes.startsWith(kUtf8Mark) ? bytes.mid(3) : bytes);
    if (decoder.hasError())
        throw velmora::ConvertError(QStringLiteral("入力が UTF-8 のテキストではありません。"));
    return text;
}

QString StripCommentLines(const QString& text, const QString& prefix)
{
    if (prefix.isEmpty())
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        // Take the line's own break along: CR LF, CR or LF.
        qsizetype next = end;
        if (next < text.size() && text.at(next) == u'\r') {
            ++next;
            if (next < text.size() && text.at(next) == u'\n')
                ++next;
        } else if (next < text.size()) {
            ++next;
        }
        if (!QStringView(text).mid(start, end - start).startsWith(prefix))
            out += QStringView(text).mid(start, next - start);
        start = next;
    }
    return out;
}

QString ToLf(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

QString ToCrLf(const QString& text)
{
    QString out = ToLf(text);
    out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

QByteArray EncodeText(const QString& text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf16Le:
        return utf16(text, false);
    case Encoding::Utf16LeBom:
        return kUtf16LeMark + utf16(text, false);
    case Encoding::Utf16LeScrambled:
        return CEnDecryption::Transform(utf16(text, false));
    case Encoding::Utf16BeBom:
        return kUtf16BeMark + utf16(text, true);
    case Encoding::Cp932:
        return toCp932(text);
    case Encoding::Utf8Bom:
        return kUtf8Mark + text.toUtf8();
    case Encoding::Utf8:
        return text.toUtf8();
    }
    return QByteArray();
}

QString DecodeBytes(const QByteArray& bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf16Le:
    case Encoding::Utf16LeBom:
        return fromUtf16(bytes.startsWith(kUtf16LeMark) ? bytes.mid(2) : bytes, false);
    case Encoding::Utf16LeScrambled: {
        const QByteArray plain = CEnDecryption::Transform(bytes);
        return fromUtf16(plain.startsWith(kUtf16LeMark) ? plain.mid(2) : plain, false);
    }
    case Encoding::Utf16BeBom:
        return fromUtf16(bytes.startsWith(kUtf16BeMark) ? bytes.mid(2) : bytes, true);
    case Encoding::Cp932: {
        const QString text = velmora::data::DecodeCp932(bytes);
        // The converter stands in SUB (U+001A) or U+FFFD for bytes it cannot
        // read; a real SUB byte is a single byte in this code page.
        qsizetype bad = text.indexOf(QChar(QChar::ReplacementCharacter));
        if (bad < 0 && text.count(QChar(0x1A)) != bytes.count('\x1A'))
            bad = text.indexOf(QChar(0x1A));
        if (bad >= 0)
            throw velmora::ConvertError(QStringLiteral("%1 は CP932 (Shift-JIS) として読めません。").arg(positionOf(text, bad)));
        return text;
    }
    case Encoding::Utf8Bom:
    case Encoding::Utf8:
        return ReadUtf8Source(bytes);
    }
    return QString();
}

} // namespace velmora::tools
