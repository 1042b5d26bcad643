#pragma once

#include <QByteArray>

class QFont;

namespace velmora::ui {

// The PDF writer names each glyph in the text layer after the lowest code
// point that the font draws with it. A Japanese face draws many kanji and
// the radicals of the same shape with one glyph, so "高" and "見" went into
// the text layer as the radicals "⾼" and "⾒", and a search of the filed
// sheets for "高茶屋" found nothing. Rewrites those entries of the PDF's
// character maps to the kanji that `font` draws with the glyph. Every entry
// keeps its length, so the offsets the file records stay true; a PDF whose
// maps are compressed is returned as it is.
QByteArray MapRadicalsToKanji(const QByteArray& pdf, const QFont& font);

} // namespace velmora::ui
