#include "TableWriter.h"

namespace velmora::tools {
namespace {

QString TsvCell(QString cell)
{
    for (QChar& c : cell)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return cell;
}

QString CsvCell(const QString& cell)
{
    if (!cell.contains(u',') && !cell.contains(u'"') && !cell.contains(u'\r') && !cell.contains(u'\n'))
        return cell;
    QString quoted = cell;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString Line(const QStringList& cells, OutputFormat format)
{
    QStringList out;
    out.reserve(cells.size());
    for (const QString& cell : cells)
        out.append(format == OutputFormat::Csv ? CsvCell(cell) : TsvCell(cell));
    return format == OutputFormat::Csv ? out.join(u',') + QStringLiteral("\r\n") : out.join(u'\t') + u'\n';
}

} // namespace

QByteArray WriteTable(const QStringList& header, const QList<QStringList>& rows, OutputFormat format)
{
    QString text = Line(header, format);
    for (const QStringList& row : rows)
        text += Line(row, format);
    QByteArray bytes = text.toUtf8();
    if (format == OutputFormat::Csv)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

} // namespace velmora::tools
