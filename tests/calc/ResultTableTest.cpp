#include "calc/CDisplayCalcResultList.h"
#include "calc/ResultRowTexts.h"
#include "calc/ResultTable.h"
#include "calc/ShorterThanStraight.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

using velmora::calc::ResultTableHeader;
using velmora::calc::ResultTableRows;
using velmora::calc::TableFormat;
using velmora::calc::TableText;
using velmora::calc::WriteTable;

namespace {

std::unique_ptr<CDisplayCalcResultData> makeRow(const QString& name, int total, int rank)
{
    auto row = std::make_unique<CDisplayCalcResultData>();
    row->SetSiteName(name);
    row->SetStraightDistance(12.3);
    row->SetConfirmedDistance(12.3);
    row->SetDisposalFee(3400);
    row->SetConfirmedFee(3400);
    row->SetTransportCost(total == 0 ? 0 : total - 3400);
    row->SetTotal(total);
    row->SetRank(rank);
    return row;
}

// A reader as a spreadsheet program applies it: quoted cells may hold
// commas, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(cell);
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    EXPECT_TRUE(cell.isEmpty() && row.isEmpty()) << "last line without CR LF";
    return rows;
}

} // namespace

TEST(ResultTable, RowsCarryTheGridTextsInListOrder)
{
    CDisplayCalcResultList list;
    list.Add(makeRow(QStringLiteral("一番"), 9100, 1));
    list.Add(makeRow(QStringLiteral("無価格"), 0, 0));
    list.Add(makeRow(QStringLiteral("手入力"), 9000, 2));
    list.RowAt(1)->SetTransportDistance(14.1, CDisplayCalcResultData::DistanceSource::RoutePage);
    list.RowAt(3)->SetTransportDistance(12.5, CDisplayCalcResultData::DistanceSource::Typed);
    const QList<QStringList> rows = ResultTableRows(list);
    ASSERT_EQ(rows.size(), 3);
    ASSERT_EQ(rows.at(0).size(), 16);
    // The last column tells a distance from the route page from a typed one.
    EXPECT_EQ(rows.at(0).at(15), QStringLiteral("GoogleMapsサイト"));
    EXPECT_TRUE(rows.at(1).at(15).isEmpty());
    EXPECT_EQ(rows.at(2).at(15), QStringLiteral("手入力"));
    EXPECT_EQ(rows.at(0).at(0), QStringLiteral("1"));
    EXPECT_EQ(rows.at(1).at(0), QStringLiteral("2"));
    EXPECT_EQ(rows.at(0).at(2), QStringLiteral("12.3"));
    EXPECT_EQ(rows.at(0).at(12), QStringLiteral("9100"));
    EXPECT_EQ(rows.at(0).at(13), QStringLiteral("1"));
    // An unpriced row: no total and no rank, but its typed fee of 0 shows.
    EXPECT_EQ(rows.at(1).at(9), QStringLiteral("0"));
    EXPECT_TRUE(rows.at(1).at(12).isEmpty());
    EXPECT_TRUE(rows.at(1).at(13).isEmpty());

    CDisplayCalcResultList empty;
    EXPECT_TRUE(ResultTableRows(empty).isEmpty());

    // A road distance from the route page puts Google's attribution first,
    // before the header; without one the table begins with its header.
    const QStringList notes = velmora::calc::ResultTableNotes(list, 2026);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.at(0).endsWith(QStringLiteral("Powered by Google, ©2026 Google")));
    EXPECT_TRUE(TableText(ResultTableHeader(), rows, TableFormat::Tsv, notes).startsWith(notes.at(0) + QStringLiteral("\nNo.\t")));
    list.RowAt(1)->SetTransportDistance(14.1, CDisplayCalcResultData::DistanceSource::Typed);
    EXPECT_TRUE(velmora::calc::ResultTableNotes(list, 2026).isEmpty());

    // A distance shorter than the straight line is marked as in the grid, and the mark explained.
    list.RowAt(3)->SetTransportDistance(9.5, CDisplayCalcResultData::DistanceSource::Typed);
    EXPECT_EQ(ResultTableRows(list).at(2).at(15), QStringLiteral("！手入力"));
    EXPECT_EQ(velmora::calc::ResultTableNotes(list, 2026), QStringList{velmora::calc::ShorterThanStraightLegend()});
}

TEST(ResultTable, HeaderIsOneLinePerCell)
{
    const QStringList header = ResultTableHeader();
    ASSERT_EQ(header.size(), 16);
    EXPECT_EQ(header.at(0), QStringLiteral("No."));
    EXPECT_EQ(header.at(2), QStringLiteral("直接参考距離"));
    EXPECT_EQ(header.at(14), QStringLiteral("運搬費が変更となる距離"));
    EXPECT_EQ(header.at(15), QStringLiteral("運搬距離の出所"));
    for (const QString& h : header)
        EXPECT_FALSE(h.contains(u'\r') || h.contains(u'\n')) << h.toStdString();
}

TEST(ResultTable, CsvReadsBackCellForCell)
{
    const QStringList header = {QStringLiteral("No."), QStringLiteral("名称")};
    const QList<QStringList> rows = {
        {QStringLiteral("1"), QStringLiteral("翠嶺\"再生\"工業(株),多度工場")},
        {QStringLiteral("2"), QStringLiteral("二行\r\nの名前")},
        {QStringLiteral("3"), QString()},
    };
    const QByteArray bytes = WriteTable(header, rows, TableFormat::Csv);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    EXPECT_EQ(text, TableText(header, rows, TableFormat::Csv));
    const QList<QStringList> back = parseCsv(text);
    ASSERT_EQ(back.size(), 4);
    EXPECT_EQ(back.at(0), header);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(back.at(i + 1), rows.at(i));
    // Plain cells stay unquoted, so the file reads well in a text editor too.
    EXPECT_TRUE(text.startsWith(QStringLiteral("No.,名称\r\n1,\"")));
}

TEST(ResultTable, TsvKeepsOneLinePerRowAndNoMark)
{
    const QList<QStringList> rows = {{QStringLiteral("1"), QStringLiteral("タブ\tと\r\n改行")}};
    const QByteArray bytes = WriteTable({QStringLiteral("No."), QStringLiteral("名称")}, rows, TableFormat::Tsv);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes), QStringLiteral("No.\t名称\n1\tタブ と  改行\n"));
}

TEST(ResultTable, AFeeUnitOtherThanCubicMetresIsMarked)
{
    for (const QString& unit : {QStringLiteral("m3"), QStringLiteral("M3"), QStringLiteral("ｍ３"), QStringLiteral("m³"),
                                QStringLiteral("㎥"), QStringLiteral(" m3 ")}) {
        EXPECT_TRUE(velmora::calc::IsPerCubicMetre(unit)) << unit.toStdString();
        EXPECT_EQ(velmora::calc::FeeUnitText(unit), unit);
    }
    EXPECT_EQ(velmora::calc::FeeUnitText(QStringLiteral("t")), QStringLiteral("t 単位注意"));
    EXPECT_EQ(velmora::calc::FeeUnitText(QStringLiteral("m2")), QStringLiteral("m2 単位注意"));
    // No unit at all is no unit to add to a cost per m³ either.
    EXPECT_EQ(velmora::calc::FeeUnitText(QString()), QStringLiteral("単位注意"));

    CDisplayCalcResultList list;
    list.Add(makeRow(QStringLiteral("一番"), 9100, 1));
    list.Add(makeRow(QStringLiteral("トン"), 9200, 2));
    list.MoveFirst();
    list.Current().SetFeeUnit(QStringLiteral("m3"));
    list.MoveNext();
    list.Current().SetFeeUnit(QStringLiteral("t"));
    const QList<QStringList> rows = ResultTableRows(list);
    EXPECT_EQ(rows.at(0).at(7), QStringLiteral("m3"));
    EXPECT_EQ(rows.at(1).at(7), QStringLiteral("t 単位注意"));
    EXPECT_TRUE(TableText(ResultTableHeader(), rows, TableFormat::Csv).contains(QStringLiteral(",t 単位注意,")));
}
