// Writes the program's own half-width mappings (the ones the matching uses)
// of every character the Windows check compares, and ICU's stock
// transliterators they are built on, one line a character: code point,
// katakana mapping, plain mapping, stock katakana, stock plain, each as
// hexadecimal UTF-16 units.
#include "data/MatchesCostItem.h"

#include "../MappedCharacters.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace {

std::unique_ptr<icu::Transliterator> stock(const char* id)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance(icu::UnicodeString(id, -1, US_INV), UTRANS_FORWARD, status));
    return U_SUCCESS(status) ? std::move(t) : nullptr;
}

QString apply(icu::Transliterator& t, const QString& text)
{
    icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
    t.transliterate(s);
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

void writeUnits(std::FILE* out, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        std::fprintf(out, i ? " %04X" : "%04X", static_cast<unsigned>(text.at(i).unicode()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TABLE\n", argv[0]);
        return 2;
    }
    const auto stockKatakana = stock("Hiragana-Katakana; Fullwidth-Halfwidth");
    const auto stockPlain = stock("Fullwidth-Halfwidth");
    if (!stockKatakana || !stockPlain) {
        std::fprintf(stderr, "ICU lacks the half-width transliterators\n");
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (unsigned c : MappedCharacters()) {
        const QString text(QChar(static_cast<char16_t>(c)));
        std::fprintf(out, "%04X\t", c);
        writeUnits(out, velmora::data::ToHalfWidthKatakana(text));
        std::fputc('\t', out);
        writeUnits(out, ToHalfWidth(text));
        std::fputc('\t', out);
        writeUnits(out, apply(*stockKatakana, text));
        std::fputc('\t', out);
        writeUnits(out, apply(*stockPlain, text));
        std::fputc('\n', out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
