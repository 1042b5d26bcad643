#include "MatchesCostItem.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

namespace {

// ICU's mappings, with the system's answer (LCMapStringW with LCMAP_HALFWIDTH,
// and LCMAP_KATAKANA for the matching) where the two differ, so that a name
// matches the same texts on every platform. scripts/test-windows compares
// both on every character the matching relies on; the differences were:
// - the spacing voiced marks ゛ ゜ become the half-width ﾞ ﾟ, so that "カ゛"
//   meets "ｶﾞ";
// - ヸ ヹ become ヰ ヱ with a separate ﾞ, as ヷ ヺ do;
// - the full-width reverse solidus ＼ stays apart from "\", which Japanese
//   code pages show as the yen sign;
// - the small hiragana ゕ ゖ become the katakana ヵ ヶ.
const char widthRules[] = "\\u309B > \\uFF9E; \\u309C > \\uFF9F;"
                         "\\u30F8 > \\u30F0\\uFF9E; \\u30F9 > \\u30F1\\uFF9E;"
                         "::[^\\uFF3C] Fullwidth-Halfwidth;";
const char kanaRules[] = "::Hiragana-Katakana; \\u3095 > \\u30F5; \\u3096 > \\u30F6;";

// Building a transliterator parses its rules; keep one per thread and mapping.
icu::Transliterator* transliterator(const std::string& rules)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError error;
    icu::Transliterator* t = icu::Transliterator::createFromRules(
        icu::UnicodeString(u"velmora-halfwidth"), icu::UnicodeString::fromUTF8(rules), UTRANS_FORWARD, error, status);
    return U_SUCCESS(status) ? t : nullptr;
}

QString apply(icu::Transliterator* t, const QString& text)
{
    if (!t || text.isEmpty())
        return text;
    icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
    t->transliterate(s);
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

} // namespace

namespace velmora::data {

QString ToHalfWidthKatakana(const QString& text)
{
    thread_local std::unique_ptr<icu::Transliterator> t(transliterator(std::string(kanaRules) + widthRules));
    return apply(t.get(), text);
}

} // namespace velmora::data

QString ToHalfWidth(const QString& text)
{
    thread_local std::unique_ptr<icu::Transliterator> t(transliterator(widthRules));
    return apply(t.get(), text);
}

bool MatchesCostItem(const QString& text, const QString& name)
{
    if (name.isEmpty())
        return false;
    const QString mappedName = velmora::data::ToHalfWidthKatakana(name);
    if (mappedName.isEmpty())
        return false;
    return velmora::data::ToHalfWidthKatakana(text).contains(mappedName, Qt::CaseSensitive);
}
