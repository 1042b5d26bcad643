#pragma once

#include <vector>

// The characters cost-item matching relies on, and the ASCII and half-width
// katakana they map to: a text written in either form must meet a name
// written in the other, so both forms are compared. Shared by the program that
// writes ICU's mapping on Linux and the one that checks Windows' against it.
inline std::vector<unsigned> MappedCharacters()
{
    std::vector<unsigned> chars;
    const auto range = [&chars](unsigned first, unsigned last) {
        for (unsigned c = first; c <= last; ++c)
            chars.push_back(c);
    };
    range(0x0020, 0x007E); // ASCII
    range(0xFF01, 0xFF5E); // full-width ASCII
    range(0x3000, 0x3002); // ideographic space, 、 。
    range(0x300C, 0x300D); // 「 」
    range(0x3041, 0x3096); // hiragana
    range(0x309B, 0x309C); // ゛ ゜
    range(0x30A1, 0x30FC); // katakana, ・ ー
    range(0xFF61, 0xFF9F); // half-width katakana and signs
    return chars;
}
