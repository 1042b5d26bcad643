#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::data {

// The encodings an INI file can arrive in. Without a byte-order mark a file is
// in the Windows ANSI code page of a Japanese system (CP932), unless it is
// plainly UTF-8: an editor's default nowadays, and read as CP932 it turns
// every Japanese name into other characters.
enum class IniEncoding { Cp932, Utf8Bom, Utf16LeBom, Utf16BeBom, Utf8 };

// An INI file read whole into memory. Lines are trimmed, blank lines and lines
// starting with ";" are dropped, blanks around the first "=" are removed.
// Section and key names compare without case; the first occurrence counts.
// Lines without "=" are kept as they are, so list sections work too.
class IniFile
{
public:
    enum class Decode { FromMark, AlwaysUtf16Le };

    IniFile() = default;
    // A missing or unreadable file gives an empty IniFile (every read takes its default).
    static IniFile load(const QString& path, Decode decode = Decode::FromMark);
    static IniFile fromBytes(const QByteArray& bytes, Decode decode = Decode::FromMark);
    static QString decode(const QByteArray& bytes, Decode decode, IniEncoding* found = nullptr);

    bool exists() const { return m_exists; }
    IniEncoding encoding() const { return m_encoding; }

    // A section counts as present only when it holds at least one line.
    bool hasSection(const QString& section) const;
    // Every line of the section in file order ("key=value" or a plain entry).
    QStringList sectionLines(const QString& section) const;
    // The line number (from 1) of each of those lines, for messages; empty
    // for a section read from memory without them.
    std::vector<int> sectionLineNumbers(const QString& section) const;
    // Where the section's name turns up again (its lines there are ignored).
    std::vector<int> repeatedSectionLines(const QString& section) const;
    QStringList sectionNames() const;
    bool hasKey(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback = QString()) const;

    // Sets a key, adding the section or key at the end when missing.
    void setValue(const QString& section, const QString& key, const QString& value);
    // The file text: "[name]", its lines, an empty line; CR LF after every line.
    QString text() const;
    QByteArray encode(IniEncoding encoding) const;
    // Writes the whole file in its own encoding (CP932 for a new file; UTF-8
    // with a mark when the text holds characters CP932 lacks) to a
    // temporary file beside `path` and replaces `path` only once that worked,
    // so a failed save never damages the old file. On failure returns false
    // and sets *error to a message naming the path and the system's reason.
    bool save(const QString& path, QString* error) const;

private:
    struct Section
    {
        QString name;
        QStringList lines;
        std::vector<int> lineNumbers;
        std::vector<int> repeatedAt;
    };
    const Section* find(const QString& name) const;
    Section* find(const QString& name);
    static qsizetype findKey(const QStringList& lines, const QString& key);

    std::vector<Section> m_sections;
    IniEncoding m_encoding = IniEncoding::Cp932;
    bool m_exists = false;
};

// CP932 conversions through ICU, the code page the INI files use without a mark.
QString DecodeCp932(const QByteArray& bytes);
QByteArray EncodeCp932(const QString& text);

} // namespace velmora::data
