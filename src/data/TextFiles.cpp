#include "TextFiles.h"

#include "Error.h"
#include "FileErrorText.h"

#include <QFile>
#include <QFileInfo>

namespace velmora::data {

namespace {

QString readUtf16File(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw FileOpenError(path, QStringLiteral("アクセスが拒否されました。"));
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(path, FileErrorText(file));
    const QByteArray bytes = file.readAll();
    qsizetype units = bytes.size() / 2;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    QString text(units, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < units; ++i)
        out[i] = QChar(static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
    if (!text.isEmpty() && text.at(0) == QChar(0xFEFF))
        text.remove(0, 1);
    return text;
}

} // namespace

QStringList ReadLineFile(const QString& path) { return SplitLines(readUtf16File(path)); }

QStringList ReadLineFileKeepingStrayCr(const QString& path)
{
    const QString text = readUtf16File(path);
    if (!text.contains(QStringLiteral("\r\n")))
        return SplitLines(text);
    QStringList lines;
    for (const QString& piece : text.split(QStringLiteral("\r\n")))
        lines += piece.split(u'\n');
    // A final line break adds no empty line.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

namespace {
bool blank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }
bool endsUnquoted(QChar c) { return c == u',' || c.unicode() <= 32; }
} // namespace

QStringList SplitCommaText(const QString& line)
{
    QStringList fields;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n && blank(line.at(i)))
        ++i;
    while (i < n) {
        // A NUL ends the text, as it ends the string the format was made for.
        if (line.at(i).unicode() == 0)
            break;
        QString field;
        if (line.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (line.at(i) == u'"') {
                    if (i + 1 < n && line.at(i + 1) == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && !endsUnquoted(line.at(i)))
                ++i;
            field = line.mid(start, i - start);
        }
        fields.append(field);
        while (i < n && blank(line.at(i)))
            ++i;
        if (i < n && line.at(i) == u',') {
            ++i;
            if (i == n)
                fields.append(QString());
            while (i < n && blank(line.at(i)))
                ++i;
        }
    }
    return fields;
}

QStringList SplitStrict(const QString& line)
{
    if (line.isEmpty())
        return {};
    return line.split(u',', Qt::KeepEmptyParts);
}

} // namespace velmora::data
