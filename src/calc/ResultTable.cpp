#include "ResultTable.h"

#include "CDisplayCalcResultList.h"
#include "ResultRowTexts.h"
#include "ShorterThanStraight.h"

namespace velmora::calc {
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

QString Line(const QStringList& cells, TableFormat format)
{
    QStringList out;
    out.reserve(cells.size());
    for (const QString& cell : cells)
        out.append(format == TableFormat::Csv ? CsvCell(cell) : TsvCell(cell));
    return format == TableFormat::Csv ? out.join(u',') + QStringLiteral("\r\n") : out.join(u'\t') + u'\n';
}

} // namespace

QStringList ResultTableHeader()
{
    QStringList header;
    for (const QString& text : ResultHeaderTexts())
        header.append(QString(text).remove(QStringLiteral("\r\n")));
    header[0] = QStringLiteral("No.");
    header.append(DistanceSourceHeader());
    return header;
}

QList<QStringList> ResultTableRows(CDisplayCalcResultList& list)
{
    QList<QStringList> rows;
    list.MoveFirst();
    for (int position = 1; !list.IsEnd(); ++position, list.MoveNext()) {
        const CDisplayCalcResultData& row = list.Current();
        // A distance shorter than the straight line carries the grid's mark here too.
        const QString source = DistanceSourceText(row.GetDistanceSource());
        rows.append(ResultRowTexts(row, position) << (ShorterThanStraight(row) ? ShorterThanStraightMark() + source : source));
    }
    return rows;
}

QStringList ResultTableNotes(CDisplayCalcResultList& list, int year)
{
    bool fromRoutePage = false;
    bool marked = false;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext()) {
        fromRoutePage |= list.Current().GetDistanceSource() == CDisplayCalcResultData::DistanceSource::RoutePage;
        marked |= ShorterThanStraight(list.Current());
    }
    QStringList notes;
    if (fromRoutePage)
        notes.append(DistanceSourceHeader() + QStringLiteral("「") + DistanceSourceText(CDisplayCalcResultData::DistanceSource::RoutePage)
                     + QStringLiteral("」の道のり距離: ") + GoogleAttributionText(year));
    if (marked)
        notes.append(ShorterThanStraightLegend());
    return notes;
}

QString TableText(const QStringList& header, const QList<QStringList>& rows, TableFormat format, const QStringList& notes)
{
    QString text;
    for (const QString& note : notes)
        text += Line({note}, format);
    text += Line(header, format);
    for (const QStringList& row : rows)
        text += Line(row, format);
    return text;
}

QByteArray WriteTable(const QStringList& header, const QList<QStringList>& rows, TableFormat format, const QStringList& notes)
{
    QByteArray bytes = TableText(header, rows, format, notes).toUtf8();
    if (format == TableFormat::Csv)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

} // namespace velmora::calc
