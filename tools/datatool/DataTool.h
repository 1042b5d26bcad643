#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The conversions behind velmora-datatool: readable UTF-8 sources of the
// master data to the encodings the program reads, and any shipped file back
// to readable text for the people who maintain the data.
namespace velmora::tools {

enum class Encoding {
    Utf16Le,          // working files: UTF-16LE, no byte-order mark
    Utf16LeBom,       // UTF-16LE with its mark (INI files the reader detects by mark)
    Utf16LeScrambled, // the shipped tables: UTF-16LE without mark, then scrambled
    Utf16BeBom,       // the INI reader accepts it, so decode must too
    Cp932,            // INI files without a mark (the Japanese ANSI code page)
    Utf8Bom,
    Utf8,
};

std::optional<Encoding> ParseEncoding(const QString& name);
QString EncodingName(Encoding encoding);
// Every name ParseEncoding accepts, for the usage text.
QStringList EncodingNames();

// The encoding of a shipped file, from its mark or, failing that, its name:
// a scrambled key ("ET19") means a scrambled table, a working key ("DT19") a
// plain UTF-16LE line file, anything else an INI file without mark (CP932).
Encoding GuessEncoding(const QByteArray& bytes, const QString& fileName);

// Source text as written in the repository: UTF-8 with an optional mark.
// Throws velmora::ConvertError on bytes that are not UTF-8.
QString ReadUtf8Source(const QByteArray& bytes);

// Drops every line whose first character starts `prefix` (with its line
// break), so sources can explain formats that have no comment syntax.
QString StripCommentLines(const QString& text, const QString& prefix);

// Line breaks (CR LF, lone CR, lone LF) as CR LF, the form the shipped files
// have, or as LF for reading on any system.
QString ToCrLf(const QString& text);
QString ToLf(const QString& text);

// Text to bytes in the encoding. Throws velmora::ConvertError when a
// character has no form in it (CP932), rather than shipping a substitute.
QByteArray EncodeText(const QString& text, Encoding encoding);
// Bytes in the encoding to text, a mark dropped. Throws velmora::ConvertError
// on input that is not text of that encoding.
QString DecodeBytes(const QByteArray& bytes, Encoding encoding);

} // namespace velmora::tools
