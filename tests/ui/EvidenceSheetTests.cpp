#include "ui/EvidenceSheet.h"

#include "calc/CDisplayCalcResultList.h"
#include "data/Error.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>
#include <memory>

using velmora::ui::EvidenceConditions;
using velmora::ui::EvidenceRow;
using velmora::ui::EvidenceRows;
using velmora::ui::EvidenceSheet;
using velmora::ui::EvidenceSheetData;

namespace {

// Three sites as a calculation leaves them: the cheapest on a road distance,
// the second with a typed fee, the third beyond the method's table.
CDisplayCalcResultList& SampleList(CDisplayCalcResultList& list)
{
    const auto add = [&list](const QString& name, double transport, int manual, int total, int rank,
                             const QString& unit = QStringLiteral("m3")) {
        auto row = std::make_unique<CDisplayCalcResultData>();
        row->SetSiteName(name);
        row->SetFeeUnit(unit);
        row->SetStraightDistance(8.2);
        row->SetTransportDistance(transport, CDisplayCalcResultData::DistanceSource::RoutePage);
        row->SetConfirmedDistance(transport != 0 ? transport : 8.2);
        row->SetDisposalFee(3400);
        row->SetManualFee(manual);
        row->SetConfirmedFee(manual != 0 ? manual : 3400);
        row->SetTransportCost(total == 0 ? 0 : 1200);
        row->SetTotal(total);
        row->SetRank(rank);
        list.Add(std::move(row));
    };
    add(QStringLiteral("翠嶺再生工業(株)多度工場"), 12.3, 0, 4600, 1);
    add(QStringLiteral("<宮川>リサイクル&センター"), 0, 2900, 4100 + 900, 2);
    add(QStringLiteral("遠方処理場"), 0, 0, 0, 0, QStringLiteral("t"));
    return list;
}

EvidenceSheetData SampleData(CDisplayCalcResultList& list)
{
    EvidenceSheetData data;
    EvidenceConditions& c = data.conditions;
    c.calculatedAt = QDateTime(QDate(2026, 10, 20), QTime(14, 5));
    c.xText = QStringLiteral("-110000");
    c.yText = QStringLiteral("57000");
    c.latitude = 34.7;
    c.longitude = 136.5;
    c.district = QStringLiteral("津地区");
    c.method = QStringLiteral("施工パッケージ方式");
    c.costItem = QStringLiteral("ｺﾝｸﾘｰﾄ塊");
    c.transportType = QStringLiteral("殻運搬");
    c.transportDetails = {{QStringLiteral("殻発生作業"), QStringLiteral("機械積込")},
                          {QStringLiteral("積込工法区分"), QStringLiteral("ﾊﾞｯｸﾎｳ")}};
    c.did = true;
    c.edition = QStringLiteral("2026年10月版");
    c.version = QStringLiteral("Ver.1.0.0 Pro");
    data.sortMode = 1;
    data.rows = EvidenceRows(SampleList(list));
    data.madeOn = QDate(2026, 10, 21);
    return data;
}

// The result table: the only one in the document with fifteen columns.
QTextTable* ResultTable(QTextDocument& document)
{
    QTextTable* found = nullptr;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        QTextCursor cursor(b);
        if (QTextTable* t = cursor.currentTable(); t && t->columns() == 15)
            found = t;
    }
    return found;
}

QString CellText(QTextTable* table, int row, int col)
{
    const QTextTableCell cell = table->cellAt(row, col);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

int CountPages(const QByteArray& pdf)
{
    return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

TEST(EvidenceSheet, RowsKnowWhichValuesWereReplaced)
{
    CDisplayCalcResultList list;
    const QList<EvidenceRow> rows = EvidenceRows(SampleList(list));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows.at(0).roadDistance);
    EXPECT_FALSE(rows.at(0).typedFee);
    EXPECT_FALSE(rows.at(1).roadDistance);
    EXPECT_TRUE(rows.at(1).typedFee);
    EXPECT_FALSE(rows.at(2).roadDistance || rows.at(2).typedFee);
    EXPECT_EQ(rows.at(2).cells.at(0), QStringLiteral("3"));
}

TEST(EvidenceSheet, TableShowsTheGridTextsWithMarksOnReplacedValues)
{
    CDisplayCalcResultList list;
    const EvidenceSheetData data = SampleData(list);
    QTextDocument document;
    EvidenceSheet(data).Fill(document);
    QTextTable* table = ResultTable(document);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows(), 4);
    // The header comes back on every printed page.
    EXPECT_EQ(table->format().headerRowCount(), 1);
    EXPECT_EQ(CellText(table, 0, 0), QStringLiteral("No."));

    const QString road = EvidenceSheet::RoadDistanceMark();
    const QString typed = EvidenceSheet::TypedFeeMark();
    EXPECT_EQ(CellText(table, 1, 3), road + QStringLiteral("12.3"));
    EXPECT_EQ(CellText(table, 1, 9), QStringLiteral("0"));
    EXPECT_EQ(CellText(table, 2, 3), QStringLiteral("0"));
    EXPECT_EQ(CellText(table, 2, 9), typed + QStringLiteral("2900"));
    // Every other cell is the grid's text as it is; names are not markup.
    for (int row = 1; row <= 3; ++row)
        for (int col = 0; col < 15; ++col) {
            if ((row == 1 && col == 3) || (row == 2 && col == 9))
                continue;
            EXPECT_EQ(CellText(table, row, col), data.rows.at(row - 1).cells.at(col)) << row << ',' << col;
        }
    EXPECT_EQ(CellText(table, 2, 1), QStringLiteral("<宮川>リサイクル&センター"));
    EXPECT_TRUE(CellText(table, 3, 12).isEmpty());
    EXPECT_TRUE(CellText(table, 3, 13).isEmpty());

    // A typed distance has a mark of its own, and both are explained.
    list.RowAt(1)->SetTransportDistance(12.3, CDisplayCalcResultData::DistanceSource::Typed);
    EvidenceSheetData typedRow = data;
    typedRow.rows = EvidenceRows(list);
    EvidenceSheet(typedRow).Fill(document);
    table = ResultTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CellText(table, 1, 3), EvidenceSheet::TypedDistanceMark() + QStringLiteral("12.3"));
    EXPECT_NE(EvidenceSheet::TypedDistanceMark(), road);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(road + QStringLiteral(" 運搬距離: GoogleMapsサイトから取得した道のり距離（Google Maps）")));
    EXPECT_TRUE(text.contains(EvidenceSheet::TypedDistanceMark() + QStringLiteral(" 運搬距離: 手入力された距離")));
}

TEST(EvidenceSheet, ConditionsAndEditionAreOnTheSheet)
{
    CDisplayCalcResultList list;
    EvidenceSheetData data = SampleData(list);
    QTextDocument document;
    EvidenceSheet(data).Fill(document);
    const QString text = document.toPlainText();
    for (const QString& expected :
         {QStringLiteral("処分場選定 根拠資料"), QStringLiteral("作成日 2026年10月21日"), QStringLiteral("2026年10月20日 14:05"),
          QStringLiteral("-110000 m"), QStringLiteral("57000 m"), QStringLiteral("34.700000°"), QStringLiteral("136.500000°"),
          QStringLiteral("津地区"), QStringLiteral("施工パッケージ方式"), QStringLiteral("ｺﾝｸﾘｰﾄ塊"), QStringLiteral("殻運搬"),
          QStringLiteral("殻発生作業"), QStringLiteral("機械積込"), QStringLiteral("積込工法区分"), QStringLiteral("ﾊﾞｯｸﾎｳ"),
          QStringLiteral("距離で並び替え"), QStringLiteral("2026年10月版 Ver.1.0.0 Pro")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("DID区間\t有")) || text.contains(QStringLiteral("DID区間\n有")))
        << text.toStdString();
    // The figure the estimate takes over, and on what kind of distance.
    EXPECT_TRUE(text.contains(QStringLiteral("順位1: 翠嶺再生工業(株)多度工場 ／ 合計 4600 円/m³（確定距離 12.3 km、道路距離）")));

    data.conditions.did = false;
    data.sortMode = 0;
    EvidenceSheet(data).Fill(document);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("金額で並び替え")));
    EXPECT_FALSE(document.toPlainText().contains(QStringLiteral("\t有")));
}

TEST(EvidenceSheet, OutcomeWithoutRankedOrAnySites)
{
    CDisplayCalcResultList list;
    EvidenceSheetData data = SampleData(list);
    data.rows = {data.rows.at(2)};
    QTextDocument document;
    EvidenceSheet(data).Fill(document);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("順位の付いた処分場はありません")));

    data.rows.clear();
    EvidenceSheet(data).Fill(document);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("60km以内に登録された処分場が見つかりませんでした。")));
    ASSERT_NE(ResultTable(document), nullptr);
    EXPECT_EQ(ResultTable(document)->rows(), 1);
}

TEST(EvidenceSheet, PdfIsA4LandscapeWithEmbeddedJapaneseFontsAndGrowsByPages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CDisplayCalcResultList list;
    EvidenceSheetData data = SampleData(list);
    const QString shortPath = dir.filePath(QStringLiteral("根拠資料.pdf"));
    EvidenceSheet(data).WritePdf(shortPath);

    // Many sites: the table runs over several pages.
    const EvidenceRow last = data.rows.at(2);
    for (int i = 0; i < 120; ++i)
        data.rows.append(last);
    const QString longPath = dir.filePath(QStringLiteral("long.pdf"));
    EvidenceSheet(data).WritePdf(longPath);

    QFile shortFile(shortPath);
    QFile longFile(longPath);
    ASSERT_TRUE(shortFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(longFile.open(QIODevice::ReadOnly));
    const QByteArray shortPdf = shortFile.readAll();
    const QByteArray longPdf = longFile.readAll();
    ASSERT_TRUE(shortPdf.startsWith("%PDF-"));
    // A4 landscape in points: 842 wide, 595 high.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 84[12](\\.\\d+)? 59[45](\\.\\d+)?\\]"))
                    .match(QString::fromLatin1(shortPdf))
                    .hasMatch());
    EXPECT_TRUE(shortPdf.contains("NotoSansCJK"));
    EXPECT_TRUE(shortPdf.contains("/FontFile2") || shortPdf.contains("/FontFile3"));
    EXPECT_EQ(CountPages(shortPdf), 1);
    EXPECT_GE(CountPages(longPdf), 3);
}

// An office searches its filed sheets and copies figures out of them: every
// figure and name must be in the text layer as the characters shown.
TEST(EvidenceSheet, PdfTextLayerHoldsEveryFigureAndName)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CDisplayCalcResultList list;
    const EvidenceSheetData data = SampleData(list);
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    EvidenceSheet(data).WritePdf(path);
    QProcess p;
    p.start(pdftotext, {path, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    // Line breaks and the spaces of the layout are not the sheet's text.
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));

    QStringList wanted = {data.conditions.xText, data.conditions.yText, data.conditions.edition,
                          QString(data.conditions.version).remove(u' '), data.conditions.district};
    for (const EvidenceRow& row : data.rows)
        for (int col : {1, 2, 3, 9, 10, 11, 12})
            if (!row.cells.at(col).isEmpty())
                wanted.append(row.cells.at(col));
    for (const QString& w : wanted)
        EXPECT_TRUE(text.contains(w)) << w.toStdString() << " not in: " << text.toStdString();
}

TEST(EvidenceSheet, UnwritablePdfIsReportedAndNothingIsLeft)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CDisplayCalcResultList list;
    const QString path = dir.filePath(QStringLiteral("無い/根拠資料.pdf"));
    try {
        EvidenceSheet(SampleData(list)).WritePdf(path);
        FAIL() << "no error";
    } catch (const velmora::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("根拠資料.pdf"))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(EvidenceSheet, AUnitOtherThanCubicMetresIsMarkedAndTheLegendSaysTheTotalAssumesIt)
{
    CDisplayCalcResultList list;
    EvidenceSheetData data = SampleData(list);
    EXPECT_FALSE(data.rows.at(0).unitCaution);
    ASSERT_TRUE(data.rows.at(2).unitCaution);
    QTextDocument document;
    EvidenceSheet(data).Fill(document);
    QTextTable* table = ResultTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CellText(table, 3, 7), QStringLiteral("t 単位注意"));
    EXPECT_EQ(CellText(table, 1, 7), QStringLiteral("m3"));
    EXPECT_TRUE(CellText(table, 0, 11).contains(QStringLiteral("円/m³")));
    EXPECT_TRUE(CellText(table, 0, 12).contains(QStringLiteral("円/m³")));
    // The road distance, the typed fee and the unit carry the mark's shading.
    EXPECT_EQ(EvidenceSheet(data).Html().count(QStringLiteral("<td class=\"mark\"")), 3);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("単位注意: 処分費の単位が m3 ではない処分場。")));
    EXPECT_TRUE(text.contains(QStringLiteral("合計は処分費も 1m³ 当たりとみなして足した値です")));

    // The figure taken over says so when its own unit is not m³.
    data.rows[0].unitCaution = true;
    data.rows[0].cells[7] = QStringLiteral("t 単位注意");
    EvidenceSheet(data).Fill(document);
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("道路距離） ／ 単位注意: 処分費の単位は「t」")));
}

TEST(EvidenceSheet, ARowBeyondSixtyKmIsMarkedAndExplainedAndARoadDistanceDated)
{
    CDisplayCalcResultList list;
    EvidenceSheetData data = SampleData(list);
    QTextDocument document;
    EvidenceSheet(data).Fill(document);
    EXPECT_FALSE(document.toPlainText().contains(QStringLiteral("運搬距離が60kmを超える処分場")));

    CDisplayCalcResultData* far = list.RowAt(3);
    far->SetTransportDistance(61.5, CDisplayCalcResultData::DistanceSource::RoutePage, QDate(2026, 12, 9));
    far->SetBandText(QStringLiteral("上限値を超えています"));
    data.rows = EvidenceRows(list);
    ASSERT_TRUE(data.rows.at(2).beyondReach);
    EXPECT_FALSE(data.rows.at(0).beyondReach);
    EvidenceSheet(data).Fill(document);
    QTextTable* table = ResultTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CellText(table, 3, 14), QStringLiteral("上限値を超えています"));
    // The day the road distance was read stands beside it.
    EXPECT_TRUE(CellText(table, 3, 3).startsWith(EvidenceSheet::RoadDistanceMark() + QStringLiteral("61.5")));
    EXPECT_TRUE(CellText(table, 3, 3).endsWith(QStringLiteral("2026/12/09 取得"))) << CellText(table, 3, 3).toStdString();
    EXPECT_TRUE(CellText(table, 3, 13).isEmpty());
    EXPECT_TRUE(EvidenceSheet(data).Html().contains(QStringLiteral("<td class=\"mark\">上限値を超えています</td>")));
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("上限値を超えています: 運搬距離が60kmを超える処分場。")));
}
