#include "HalfWidth.h"

#include <windows.h>

namespace velmora::platform::win {
namespace {

// Fixed to ja-JP rather than the user's default locale: the cost-item names
// are Japanese whatever the user's settings, and on the estimators' Japanese
// Windows the two are the same.
const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);

std::wstring map(const std::wstring& text, DWORD flags)
{
    if (text.empty())
        return text;
    const int length = static_cast<int>(text.size());
    // A voiced kana becomes two characters, so ask for the size first.
    const int needed = LCMapStringW(japanese, flags, text.c_str(), length, nullptr, 0);
    if (needed <= 0)
        return text;
    std::wstring mapped(static_cast<size_t>(needed), L'\0');
    const int written = LCMapStringW(japanese, flags, text.c_str(), length, mapped.data(), needed);
    if (written <= 0)
        return text;
    mapped.resize(static_cast<size_t>(written));
    return mapped;
}

} // namespace

std::wstring ToHalfWidthKatakana(const std::wstring& text)
{
    return map(text, LCMAP_HALFWIDTH | LCMAP_KATAKANA);
}

std::wstring ToHalfWidth(const std::wstring& text)
{
    return map(text, LCMAP_HALFWIDTH);
}

} // namespace velmora::platform::win
