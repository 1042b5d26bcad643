#include "MatchesCostItem.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

// Building a transliterator parses its rules; keep one per thread and mapping.
icu::Transliterator* transliterator(const char* id)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Transliterator* t = icu::Transliterator::createInstance(icu::UnicodeString(id, -1, US_INV), UTRANS_FORWARD, status);
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
    thread_local std::unique_ptr<icu::Transliterator> t(transliterator("Hiragana-Katakana; Fullwidth-Halfwidth"));
    return apply(t.get(), text);
}

} // namespace velmora::data

QString ToHalfWidth(const QString& text)
{
    thread_local std::unique_ptr<icu::Transliterator> t(transliterator("Fullwidth-Halfwidth"));
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
