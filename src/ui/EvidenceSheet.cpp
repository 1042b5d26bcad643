#include "EvidenceSheet.h"

#include "LocationFigure.h"
#include "PdfTextLayer.h"

#include "calc/CDisplayCalcResultList.h"
#include "calc/CaseFile.h"
#include "calc/ResultRowTexts.h"
#include "calc/ShorterThanStraight.h"
#include "data/Error.h"
#include "data/SafeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>
#include <array>

namespace velmora::ui {
namespace {

// Installed with the desktop; a Japanese face with every glyph of the site
// names, so nothing falls back to a font without them.
const QString kFontFamily = QStringLiteral("Noto Sans CJK JP");
constexpr double kFontPoints = 8;
constexpr double kTitlePoints = 14;

// The sheet's face, set without shaping. Shaped, the digits of a run that
// follows Latin letters ("Ver. 1.2", "R 6", "10km") come out as glyphs that
// no character maps to, and the PDF writer leaves them out of the text
// layer: a filed sheet could not be searched for a figure. Neither Japanese
// nor Latin text needs shaping, so nothing drawn changes.
QFont SheetFont(double points)
{
    QFont font(kFontFamily);
    font.setPointSizeF(points);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

constexpr int ColRoadDistance = 3;
constexpr int ColFeeUnit = 7;
constexpr int ColManualFee = 9;
constexpr int ColTransportCost = 11;
constexpr int ColTotal = 12;
constexpr int ColRank = 13;
constexpr int ColBand = 14;

// Shares of the table width, after the grid's column widths, with a little
// more room for the marked figures and less for the long name column.
constexpr std::array<int, velmora::calc::ResultColumnCount> kColumnShares = {
    3, 22, 5, 6, 5, 4, 5, 6, 11, 6, 5, 5, 5, 4, 8};

// Columns of figures, set right-aligned so the digits line up.
bool IsFigureColumn(int col)
{
    switch (col) {
    case 0: case 2: case 3: case 4: case 6: case 9: case 10: case 11: case ColTotal: case ColRank:
        return true;
    default:
        return false;
    }
}

QString Esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString SortText(int sortMode)
{
    return sortMode == 1 ? QStringLiteral("距離で並び替え") : QStringLiteral("金額で並び替え");
}

QString DegreesText(double degrees)
{
    return QString::number(degrees, 'f', 6);
}

QString DateText(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString DateTimeText(const QDateTime& when)
{
    if (!when.isValid())
        return QString();
    return DateText(when.date()) + u' ' + when.time().toString(QStringLiteral("HH:mm"));
}

} // namespace

QList<EvidenceRow> EvidenceRows(CDisplayCalcResultList& list)
{
    QList<EvidenceRow> rows;
    list.MoveFirst();
    for (int position = 1; !list.IsEnd(); ++position, list.MoveNext()) {
        const CDisplayCalcResultData& row = list.Current();
        rows.append({velmora::calc::ResultRowTexts(row, position), row.GetTransportDistance() != 0,
                     row.GetDistanceSource(), row.GetManualFee() != 0,
                     !velmora::calc::IsPerCubicMetre(row.GetFeeUnit()), velmora::calc::BeyondReach(row),
                     row.GetDistanceReadOn(), velmora::calc::ShorterThanStraight(row)});
    }
    return rows;
}

EvidenceSheet::EvidenceSheet(EvidenceSheetData data)
    : m_data(std::move(data))
{
}

QString EvidenceSheet::RoadDistanceMark()
{
    return velmora::calc::DistanceSourceMark(CDisplayCalcResultData::DistanceSource::RoutePage);
}

QString EvidenceSheet::TypedDistanceMark()
{
    return velmora::calc::DistanceSourceMark(CDisplayCalcResultData::DistanceSource::Typed);
}

QString EvidenceSheet::TypedFeeMark()
{
    return QStringLiteral("†");
}

QString EvidenceSheet::PerCubicMetre()
{
    return QStringLiteral("円/m³");
}

QString EvidenceSheet::Title() const
{
    return QStringLiteral("処分場選定 根拠資料");
}

QString EvidenceSheet::Html() const
{
    const EvidenceConditions& c = m_data.conditions;
    QString html;
    html += QStringLiteral("<html><head><style>"
                           "td, th { padding: 1px 3px; }"
                           "td.k { font-weight: bold; }"
                           "th { font-weight: bold; background-color: #d0d0d0; }"
                           "td.mark { font-weight: bold; background-color: #e4e4e4; }"
                           "p.note { margin-top: 2px; margin-bottom: 0px; }"
                           "</style></head><body>");
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                           "<td><span style=\"font-size: %1pt; font-weight: bold;\">%2</span></td>"
                           "<td align=\"right\">作成日 %3</td></tr></table>")
                .arg(kTitlePoints)
                .arg(Esc(Title()), Esc(DateText(m_data.madeOn)));

    // The conditions, three to a line so that the table keeps its room.
    QList<std::pair<QString, QString>> fields;
    if (!c.bidCaseNumber.isEmpty() || !c.bidCaseName.isEmpty())
        fields += {{QStringLiteral("案件番号"), c.bidCaseNumber}, {QStringLiteral("件名"), c.bidCaseName}};
    fields += {
        {QStringLiteral("計算日時"), DateTimeText(c.calculatedAt)},
        {QStringLiteral("データの版"), (c.edition + u' ' + c.version).trimmed()},
        {QStringLiteral("計算方式"), c.method},
        {QStringLiteral("地区"), c.district},
        {QStringLiteral("処分費目"), c.costItem},
        {QStringLiteral("運搬種別"), c.transportType},
    };
    fields += c.transportDetails;
    fields += {
        {QStringLiteral("DID区間"), c.did ? QStringLiteral("有") : QStringLiteral("無")},
        {QStringLiteral("並び順"), SortText(m_data.sortMode)},
        {QStringLiteral("現場 X座標"), c.xText + QStringLiteral(" m")},
        {QStringLiteral("現場 Y座標"), c.yText + QStringLiteral(" m")},
        {QStringLiteral("座標系"), QStringLiteral("平面直角座標系 第VI系")},
        {QStringLiteral("緯度"), DegreesText(c.latitude) + QStringLiteral("°")},
        {QStringLiteral("経度"), DegreesText(c.longitude) + QStringLiteral("°")},
    };
    constexpr int perLine = 3;
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" style=\"margin-top: 6px;\">");
    for (int i = 0; i < fields.size(); i += perLine) {
        html += QStringLiteral("<tr>");
        for (int j = i; j < i + perLine; ++j) {
            const auto field = fields.value(j);
            html += QStringLiteral("<td class=\"k\" width=\"9%\">%1</td><td width=\"24%\">%2</td>")
                        .arg(Esc(field.first), Esc(field.second));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    // The outcome in one line, the figure the estimate takes over.
    QString outcome;
    if (m_data.rows.isEmpty()) {
        outcome = QStringLiteral("60km以内に登録された処分場が見つかりませんでした。");
    } else {
        const EvidenceRow* first = nullptr;
        for (const EvidenceRow& row : m_data.rows)
            if (row.cells.value(ColRank) == QStringLiteral("1")) {
                first = &row;
                break;
            }
        if (!first) {
            outcome = QStringLiteral("順位の付いた処分場はありません（合計を計算できた処分場がありません）。");
        } else {
            outcome = QStringLiteral("順位1: %1 ／ 合計 %2 %3（確定距離 %4 km、%5）")
                          .arg(first->cells.value(1), first->cells.value(ColTotal), PerCubicMetre(),
                               first->cells.value(4),
                               first->roadDistance ? QStringLiteral("道路距離") : QStringLiteral("直線距離"));
            if (first->unitCaution) {
                const QString caution = velmora::calc::UnitCautionText();
                const QString unit = first->cells.value(ColFeeUnit).remove(caution).trimmed();
                outcome += QStringLiteral(" ／ %1: 処分費の単位は「%2」").arg(caution, unit);
            }
        }
    }
    html += QStringLiteral("<p style=\"margin-top: 6px; margin-bottom: 6px; font-weight: bold;\">%1</p>").arg(Esc(outcome));

    // The table as the grid shows it, header repeated on every page.
    html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" style=\"border-collapse: collapse; "
                           "border-style: solid; border-color: #000000;\"><thead><tr>");
    const auto& headers = velmora::calc::ResultHeaderTexts();
    for (int col = 0; col < velmora::calc::ResultColumnCount; ++col) {
        QString header = Esc(col == 0 ? QStringLiteral("No.") : headers.at(static_cast<std::size_t>(col)));
        header.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
        if (col == ColTransportCost || col == ColTotal)
            header += QStringLiteral("<br>(") + Esc(PerCubicMetre()) + u')';
        html += QStringLiteral("<th width=\"%1%\" valign=\"top\">%2</th>").arg(kColumnShares.at(static_cast<std::size_t>(col))).arg(header);
    }
    html += QStringLiteral("</tr></thead><tbody>");
    for (const EvidenceRow& row : m_data.rows) {
        const bool first = row.cells.value(ColRank) == QStringLiteral("1");
        html += first ? QStringLiteral("<tr style=\"font-weight: bold;\">") : QStringLiteral("<tr>");
        for (int col = 0; col < velmora::calc::ResultColumnCount; ++col) {
            QString text = row.cells.value(col);
            // Beside a road distance, the day it was read, on a line of its own.
            QString readOn;
            bool marked = false;
            if (col == ColRoadDistance && row.roadDistance) {
                text = velmora::calc::DistanceSourceMark(row.distanceSource) + text;
                if (row.readOn.isValid())
                    readOn = QStringLiteral("<br><span style=\"font-size: small;\">%1 取得</span>")
                                 .arg(row.readOn.toString(QStringLiteral("yyyy/MM/dd")));
                if (row.shorterThanStraight)
                    text = velmora::calc::ShorterThanStraightMark() + text;
                marked = true;
            } else if (col == ColManualFee && row.typedFee) {
                text = TypedFeeMark() + text;
                marked = true;
            } else if (col == ColFeeUnit && row.unitCaution) {
                marked = true;
            } else if (col == ColBand && row.beyondReach) {
                marked = true;
            }
            html += QStringLiteral("<td%1%2>%3</td>")
                        .arg(marked ? QStringLiteral(" class=\"mark\"") : QString(),
                             IsFigureColumn(col) ? QStringLiteral(" align=\"right\"") : QString(), Esc(text) + readOn);
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</tbody></table>");

    // The legend stays short enough for a usual table to end on its first
    // page: the unit note only where a unit is marked.
    QStringList notes = {
        velmora::calc::DistanceSourceLegend(CDisplayCalcResultData::DistanceSource::RoutePage) + QStringLiteral("、")
            + velmora::calc::DistanceSourceLegend(CDisplayCalcResultData::DistanceSource::Typed)
            + QStringLiteral("。確定距離はこの距離です。"),
        TypedFeeMark() + QStringLiteral(" 処分費手入力: 登録の処分費に代えて入力された処分費。確定処分費はこの金額です。"),
        QStringLiteral("運搬距離・処分費手入力の 0 は入力なし。合計・順位が空欄の行は処分費か運搬費が 0 で順位なし。"
                       "距離は km、運搬費・合計は円/m³（処分費は単位欄の単位当たり）。順位 1 は太字。"),
    };
    if (std::any_of(m_data.rows.begin(), m_data.rows.end(), [](const EvidenceRow& row) { return row.unitCaution; }))
        notes.insert(2, velmora::calc::UnitCautionText()
                            + QStringLiteral(": 処分費の単位が m3 ではない処分場。運搬費は 1m³ 当たりの金額で、合計は処分費も 1m³ 当たりと"
                                             "みなして足した値です（単位の換算はしていません）。"));
    if (std::any_of(m_data.rows.begin(), m_data.rows.end(), [](const EvidenceRow& row) { return row.beyondReach; }))
        notes.append(velmora::calc::BeyondReachLegend());
    if (std::any_of(m_data.rows.begin(), m_data.rows.end(),
                    [](const EvidenceRow& row) { return row.distanceSource == CDisplayCalcResultData::DistanceSource::RoutePage; }))
        notes.append(QStringLiteral("＊ の道のり距離: ") + velmora::calc::GoogleAttributionText(m_data.madeOn.isValid() ? m_data.madeOn.year() : QDate::currentDate().year()));
    if (std::any_of(m_data.rows.begin(), m_data.rows.end(), [](const EvidenceRow& row) { return row.shorterThanStraight; }))
        notes.append(velmora::calc::ShorterThanStraightLegend() + QStringLiteral("。"));
    if (!c.caseChanges.isEmpty())
        notes.append(velmora::calc::CaseChangesHeading() + QStringLiteral("：") + c.caseChanges.join(QStringLiteral("、")));
    for (const QString& note : notes)
        html += QStringLiteral("<p class=\"note\">%1</p>").arg(Esc(note));
    html += QStringLiteral("</body></html>");
    return html;
}

void EvidenceSheet::Fill(QTextDocument& document) const
{
    document.setDefaultFont(SheetFont(kFontPoints));
    document.setDocumentMargin(0);
    document.setHtml(Html());
}

void EvidenceSheet::Print(QPagedPaintDevice& device) const
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        throw velmora::Error(QStringLiteral("根拠資料を印刷できません（出力先を開けません）。"));

    // Laid out for the device itself, so point sizes come out as points.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    Fill(document);

    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const QFont footerFont = SheetFont(kFontPoints - 1);
    const int footerHeight = QFontMetrics(footerFont, &device).height() * 2;
    const QSizeF body(page.width(), page.height() - footerHeight);
    document.setPageSize(body);
    const int tablePages = document.pageCount();
    const bool figurePage = !m_data.places.sites.isEmpty();
    const int pages = tablePages + (figurePage ? 1 : 0);
    const QString footerLeft = Title() + QStringLiteral("　") + m_data.conditions.edition + u' ' + m_data.conditions.version;
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage())
            throw velmora::Error(QStringLiteral("根拠資料の %1 ページ目を出力できません。").arg(i + 1));
        if (i < tablePages) {
            painter.save();
            painter.translate(0, -i * body.height());
            document.drawContents(&painter, QRectF(QPointF(0, i * body.height()), body));
            painter.restore();
        } else {
            DrawLocationFigure(painter, QRectF(QPointF(0, 0), body), m_data.places);
        }
        painter.setFont(footerFont);
        const QRectF footer(0, body.height(), body.width(), footerHeight);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, footerLeft.trimmed());
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
    }
    painter.end();
}

void EvidenceSheet::WritePdf(const QString& path) const
{
    // Made in memory first: the writer has no way to report a failed file,
    // and a half-written sheet must never replace a good one.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(Title());
        writer.setCreator(QStringLiteral("Velmora"));
        writer.setResolution(600);
        Print(writer);
    }
    bytes = MapRadicalsToKanji(bytes, SheetFont(kFontPoints));
    QString reason;
    if (!velmora::data::ReplaceFileContents(path, bytes, &reason))
        throw velmora::Error(QStringLiteral("根拠資料を保存できません。\r\n%1\r\n%2")
                                 .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace velmora::ui
