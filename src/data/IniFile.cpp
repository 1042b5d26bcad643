#include "IniFile.h"

#include "SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>

namespace velmora::data {
namespace {

struct ConverterCloser
{
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openCp932()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status))
        return nullptr;
    return conv;
}

// Japanese text in CP932 is almost never valid UTF-8 (its half-width kana
// and most lead bytes cannot start a UTF-8 sequence), so text with bytes
// beyond ASCII that decodes as UTF-8 without a fault was saved as UTF-8.
bool IsPlainlyUtf8(const QByteArray& bytes)
{
    const bool beyondAscii = std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return (c & 0x80) != 0; });
    if (!beyondAscii)
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoder reports a fault only once the text is taken from it.
    const QString text = utf8.decode(bytes);
    return !utf8.hasError() && !text.isEmpty();
}

QString fromUtf16(const QByteArray& bytes, qsizetype offset, bool bigEndian)
{
    const qsizetype units = (bytes.size() - offset) / 2;
    QString text(units, Qt::Uninitialized);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + offset;
    QChar* out = text.data();
    for (qsizetype i = 0; i < units; ++i) {
        const uchar a = p[2 * i];
        const uchar b = p[2 * i + 1];
        out[i] = QChar(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return text;
}

void appendUtf16(QByteArray& out, const QString& text, bool bigEndian)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        if (bigEndian) {
            out.append(hi);
            out.append(lo);
        } else {
            out.append(lo);
            out.append(hi);
        }
    }
}

} // namespace

QString DecodeCp932(const QByteArray& bytes)
{
    Converter conv = openCp932();
    if (!conv || bytes.isEmpty())
        return QString::fromLatin1(conv ? QByteArray() : bytes);
    UErrorCode status = U_ZERO_ERROR;
    QString out(bytes.size() + 1, Qt::Uninitialized);
    const int32_t len = ucnv_toUChars(conv.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                      bytes.constData(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString();
    out.truncate(len);
    return out;
}

QByteArray EncodeCp932(const QString& text)
{
    Converter conv = openCp932();
    if (!conv || text.isEmpty())
        return QByteArray();
    UErrorCode status = U_ZERO_ERROR;
    QByteArray out(text.size() * 2 + 1, Qt::Uninitialized);
    const int32_t len = ucnv_fromUChars(conv.get(), out.data(), static_cast<int32_t>(out.size()),
                                        reinterpret_cast<const UChar*>(text.constData()), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return QByteArray();
    out.truncate(len);
    return out;
}

QString IniFile::decode(const QByteArray& bytes, Decode decode, IniEncoding* found)
{
    IniEncoding enc = IniEncoding::Cp932;
    QString text;
    if (decode == Decode::AlwaysUtf16Le) {
        enc = IniEncoding::Utf16LeBom;
        text = fromUtf16(bytes, 0, false);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        enc = IniEncoding::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        enc = IniEncoding::Utf16LeBom;
        text = fromUtf16(bytes, 2, false);
    } else if (bytes.startsWith("\xFE\xFF")) {
        enc = IniEncoding::Utf16BeBom;
        text = fromUtf16(bytes, 2, true);
    } else if (IsPlainlyUtf8(bytes)) {
        enc = IniEncoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        text = DecodeCp932(bytes);
    }
    if (found)
        *found = enc;
    return text;
}

IniFile IniFile::load(const QString& path, Decode decode)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return IniFile();
    IniFile ini = fromBytes(file.readAll(), decode);
    ini.m_exists = true;
    return ini;
}

IniFile IniFile::fromBytes(const QByteArray& bytes, Decode decode)
{
    IniFile ini;
    ini.m_exists = true;
    const QString text = IniFile::decode(bytes, decode, &ini.m_encoding);
    Section* current = nullptr;
    qsizetype start = 0;
    const qsizetype n = text.size();
    // Line numbers as an editor shows them (CR LF is one break), for messages.
    int lineNumber = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && text.at(i) != u'\r' && text.at(i) != u'\n')
            continue;
        const QString line = text.mid(start, i - start).trimmed();
        const bool secondHalfOfCrLf = i > 0 && i < n && text.at(i) == u'\n' && text.at(i - 1) == u'\r';
        start = i + 1;
        if (secondHalfOfCrLf)
            continue;
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = ini.find(name);
            if (!current) {
                ini.m_sections.push_back({name, {}, {}, {}});
                current = &ini.m_sections.back();
            } else {
                // A repeated section adds nothing: the first occurrence counts.
                current->repeatedAt.push_back(lineNumber);
                current = nullptr;
                ini.m_sections.push_back({QString(), {}, {}, {}});
                current = &ini.m_sections.back();
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            current->lines.append(line);
        else
            current->lines.append(line.left(eq).trimmed() + u'=' + line.mid(eq + 1).trimmed());
        current->lineNumbers.push_back(lineNumber);
    }
    // Drop the placeholders of repeated sections.
    std::vector<Section> kept;
    for (Section& s : ini.m_sections)
        if (!s.name.isNull())
            kept.push_back(std::move(s));
    ini.m_sections = std::move(kept);
    return ini;
}

const IniFile::Section* IniFile::find(const QString& name) const
{
    for (const Section& s : m_sections)
        if (!s.name.isNull() && s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

IniFile::Section* IniFile::find(const QString& name)
{
    return const_cast<Section*>(static_cast<const IniFile*>(this)->find(name));
}

qsizetype IniFile::findKey(const QStringList& lines, const QString& key)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const qsizetype eq = line.indexOf(u'=');
        const QString name = eq < 0 ? line : line.left(eq);
        if (eq >= 0 && name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasSection(const QString& section) const
{
    const Section* s = find(section);
    return s && !s->lines.isEmpty();
}

QStringList IniFile::sectionLines(const QString& section) const
{
    const Section* s = find(section);
    return s ? s->lines : QStringList();
}

std::vector<int> IniFile::sectionLineNumbers(const QString& section) const
{
    const Section* s = find(section);
    return s ? s->lineNumbers : std::vector<int>();
}

std::vector<int> IniFile::repeatedSectionLines(const QString& section) const
{
    const Section* s = find(section);
    return s ? s->repeatedAt : std::vector<int>();
}

QStringList IniFile::sectionNames() const
{
    QStringList names;
    for (const Section& s : m_sections)
        names.append(s.name);
    return names;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const Section* s = find(section);
    return s && findKey(s->lines, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    const Section* s = find(section);
    if (!s)
        return fallback;
    const qsizetype i = findKey(s->lines, key);
    if (i < 0)
        return fallback;
    const QString& line = s->lines.at(i);
    return line.mid(line.indexOf(u'=') + 1);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    Section* s = find(section);
    if (!s) {
        m_sections.push_back({section, {}, {}, {}});
        s = &m_sections.back();
    }
    const qsizetype i = findKey(s->lines, key);
    const QString line = key + u'=' + value;
    if (i < 0)
        s->lines.append(line);
    else
        s->lines[i] = s->lines.at(i).left(s->lines.at(i).indexOf(u'=')) + u'=' + value;
}

QString IniFile::text() const
{
    QString out;
    for (const Section& s : m_sections) {
        out += u'[' + s.name + QStringLiteral("]\r\n");
        for (const QString& line : s.lines)
            out += line + QStringLiteral("\r\n");
        out += QStringLiteral("\r\n");
    }
    return out;
}

QByteArray IniFile::encode(IniEncoding encoding) const
{
    const QString t = text();
    QByteArray out;
    switch (encoding) {
    case IniEncoding::Utf8Bom:
        out = QByteArray("\xEF\xBB\xBF") + t.toUtf8();
        break;
    case IniEncoding::Utf16LeBom:
        out = QByteArray("\xFF\xFE", 2);
        appendUtf16(out, t, false);
        break;
    case IniEncoding::Utf16BeBom:
        out = QByteArray("\xFE\xFF", 2);
        appendUtf16(out, t, true);
        break;
    case IniEncoding::Utf8:
        out = t.toUtf8();
        break;
    case IniEncoding::Cp932:
        out = EncodeCp932(t);
        break;
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const
{
    const IniEncoding encoding = m_exists ? m_encoding : IniEncoding::Cp932;
    QByteArray bytes = encode(encoding);
    // CP932 cannot hold every character; rather than write a substitute that
    // would not read back, such a file goes out as UTF-8 with its mark.
    if (encoding == IniEncoding::Cp932 && DecodeCp932(bytes) != text())
        bytes = encode(IniEncoding::Utf8Bom);
    QString reason;
    if (!ReplaceFileContents(path, bytes, &reason)) {
        if (error)
            *error = QStringLiteral("ファイル %1 を作成できません。 %2").arg(QFileInfo(path).absoluteFilePath(), reason);
        return false;
    }
    return true;
}

} // namespace velmora::data
