#pragma once

#include <QString>
#include <QStringList>

// The text conventions every master-data reader shares.
namespace velmora::data {

// Reads a whole UTF-16LE line file (byte-order mark optional and skipped).
// Lines end at CR LF, a lone CR or a lone LF; a final line break adds no empty
// line. Throws FileOpenError when the path cannot be opened as a file.
QStringList ReadLineFile(const QString& path);
// The same for tables read by position. The office's editor ends lines with
// CR LF, so in such a file a lone CR can only be a line break typed into a
// value: it stays inside its line (and the value is then named as damaged)
// instead of splitting it and shifting every later line onto the wrong
// district or truck class.
QStringList ReadLineFileKeepingStrayCr(const QString& path);
// The same split applied to text already in memory.
QStringList SplitLines(const QString& text);

// Comma text: blanks (codes 1..32) before and after a field are skipped, a
// field may be double-quoted ("" inside stands for one quote), an unquoted
// field ends at a comma or a blank, a trailing comma adds one empty field.
QStringList SplitCommaText(const QString& line);

// Strict split: m commas give exactly m + 1 fields, nothing trimmed, quotes
// mean nothing; an empty line gives no fields at all.
QStringList SplitStrict(const QString& line);

} // namespace velmora::data
