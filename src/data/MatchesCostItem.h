#pragma once

#include <QString>

// Both texts mapped to half-width katakana (full-width ASCII and the
// ideographic space to ASCII, hiragana and katakana to half-width katakana with
// separate voiced marks, other characters unchanged), then a case-sensitive
// substring test of `name` in `text`. An empty name matches nothing.
bool MatchesCostItem(const QString& text, const QString& name);

// Full-width characters to their half-width forms; other characters unchanged.
QString ToHalfWidth(const QString& text);

namespace velmora::data {
// The mapping MatchesCostItem applies to both of its texts.
QString ToHalfWidthKatakana(const QString& text);
} // namespace velmora::data
