#pragma once

#include <string>

namespace velmora::platform::win {

// The system's half-width mappings under the Japanese locale (LCMapStringW).
// Katakana: full-width ASCII and the ideographic space to ASCII, hiragana and
// katakana to half-width katakana with the voiced marks as separate
// characters. Plain: full-width forms to half-width, kana kept as they are.
// The text comes back unchanged when the system cannot map it.
std::wstring ToHalfWidthKatakana(const std::wstring& text);
std::wstring ToHalfWidth(const std::wstring& text);

} // namespace velmora::platform::win
