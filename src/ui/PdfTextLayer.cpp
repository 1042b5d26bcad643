#include "PdfTextLayer.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QRegularExpression>
#include <QString>

namespace velmora::ui {
namespace {

constexpr char16_t kFirstRadical = 0x2E80; // CJK radicals supplement, Kangxi radicals
constexpr char16_t kLastRadical = 0x2FDF;
constexpr char16_t kFirstKanji = 0x4E00; // CJK unified ideographs
constexpr char16_t kLastKanji = 0x9FFF;

QList<quint32> GlyphsOf(const QRawFont& raw, char16_t first, char16_t last)
{
    QString chars;
    for (char32_t c = first; c <= last; ++c)
        chars.append(QChar(static_cast<char16_t>(c)));
    QList<quint32> glyphs(chars.size());
    int count = static_cast<int>(glyphs.size());
    if (!raw.glyphIndexesForChars(chars.constData(), static_cast<int>(chars.size()), glyphs.data(), &count))
        return {};
    return glyphs;
}

// Radical → the kanji drawn with the same glyph, for the radicals the font
// draws at all.
QHash<char16_t, char16_t> RadicalKanji(const QFont& font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    QHash<char16_t, char16_t> result;
    if (!raw.isValid())
        return result;
    QHash<quint32, char16_t> kanjiOfGlyph;
    const QList<quint32> kanji = GlyphsOf(raw, kFirstKanji, kLastKanji);
    for (qsizetype i = 0; i < kanji.size(); ++i)
        if (kanji[i] != 0 && !kanjiOfGlyph.contains(kanji[i]))
            kanjiOfGlyph.insert(kanji[i], static_cast<char16_t>(kFirstKanji + i));
    const QList<quint32> radicals = GlyphsOf(raw, kFirstRadical, kLastRadical);
    for (qsizetype i = 0; i < radicals.size(); ++i)
        if (radicals[i] != 0 && kanjiOfGlyph.contains(radicals[i]))
            result.insert(static_cast<char16_t>(kFirstRadical + i), kanjiOfGlyph.value(radicals[i]));
    return result;
}

} // namespace

QByteArray MapRadicalsToKanji(const QByteArray& pdf, const QFont& font)
{
    const QHash<char16_t, char16_t> kanjiOf = RadicalKanji(font);
    if (kanjiOf.isEmpty())
        return pdf;
    QByteArray out = pdf;
    // Entries of the form <0014> <0016> [<0050> <2F92> <7A4D>], <001B> <001B>
    // <2F92> and <001B> <2F92>: the last field (or every field in brackets)
    // is the text. A range of several glyphs onto one starting code counts
    // up from it and is left alone.
    static const QRegularExpression entry(QStringLiteral(
        "^<([0-9A-Fa-f]{4})>(?: <([0-9A-Fa-f]{4})>)? (\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)\\s*$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression code(QStringLiteral("<([0-9A-Fa-f]{4})>"));
    for (const char* begin : {"beginbfrange", "beginbfchar"}) {
        const QByteArray end = QByteArray(begin).replace("begin", "end");
        qsizetype from = 0;
        while ((from = out.indexOf(begin, from)) >= 0) {
            const qsizetype to = out.indexOf(end, from);
            if (to < 0)
                break;
            const QString block = QString::fromLatin1(out.mid(from, to - from));
            auto entries = entry.globalMatch(block);
            while (entries.hasNext()) {
                const QRegularExpressionMatch e = entries.next();
                const bool range = e.capturedLength(2) > 0 && e.captured(1).compare(e.captured(2), Qt::CaseInsensitive) != 0;
                const QString text = e.captured(3);
                if (range && !text.startsWith(u'['))
                    continue;
                auto codes = code.globalMatch(text);
                while (codes.hasNext()) {
                    const QRegularExpressionMatch c = codes.next();
                    const auto radical = static_cast<char16_t>(c.captured(1).toUInt(nullptr, 16));
                    const auto kanji = kanjiOf.constFind(radical);
                    if (kanji == kanjiOf.constEnd())
                        continue;
                    const QByteArray hex = QByteArray::number(*kanji, 16).toUpper().rightJustified(4, '0');
                    out.replace(from + e.capturedStart(3) + c.capturedStart(1), 4, hex);
                }
            }
            from = to;
        }
    }
    return out;
}

} // namespace velmora::ui
