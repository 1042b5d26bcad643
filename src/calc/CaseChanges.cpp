#include "CaseFile.h"

#include "CDisplayCalcResultList.h"
#include "ResultRowTexts.h"

#include <QHash>

namespace velmora::calc {
namespace {

// The cells of ResultRowTexts the comparison keeps.
constexpr int FeeColumn = 10;
constexpr int TransportCostColumn = 11;
constexpr int TotalColumn = 12;
constexpr int RankColumn = 13;

// "5616円・1位", or "合計なし" for a row without a total (beyond the limit,
// or unpriced).
QString Standing(const ShownRow& r)
{
    if (r.total.isEmpty())
        return QStringLiteral("合計なし");
    return r.rank.isEmpty() ? QStringLiteral("%1円").arg(r.total) : QStringLiteral("%1円・%2位").arg(r.total, r.rank);
}

} // namespace

std::vector<ShownRow> ShownRowsOf(CDisplayCalcResultList& list)
{
    std::vector<ShownRow> rows;
    list.MoveFirst();
    for (int position = 1; !list.IsEnd(); ++position, list.MoveNext()) {
        const QStringList cells = ResultRowTexts(list.Current(), position);
        rows.push_back({list.Current().GetSiteName(), cells.at(FeeColumn), cells.at(TransportCostColumn),
                        cells.at(TotalColumn), cells.at(RankColumn)});
    }
    return rows;
}

QStringList CaseChanges(const CaseData& saved, const QString& editionNow, const std::vector<ShownRow>& now)
{
    QStringList lines;
    if (saved.formatVersion < 2)
        return lines;
    // A side that does not know its edition (velmora-calc reads none) is not compared.
    if (!editionNow.isEmpty() && !saved.dataEdition.isEmpty() && saved.dataEdition != editionNow)
        lines.append(QStringLiteral("データの版: %1 → %2").arg(saved.dataEdition, editionNow));
    QHash<QString, const ShownRow*> before;
    for (const ShownRow& r : saved.shown)
        before.insert(r.site, &r);
    for (const ShownRow& r : now) {
        const ShownRow* old = before.take(r.site);
        if (!old) {
            lines.append(QStringLiteral("%1: 保存時は一覧になし → %2").arg(r.site, Standing(r)));
            continue;
        }
        if (old->fee == r.fee && old->transportCost == r.transportCost && old->total == r.total && old->rank == r.rank)
            continue;
        QString line = QStringLiteral("%1: %2 → %3").arg(r.site, Standing(*old), Standing(r));
        if (old->fee != r.fee)
            line += QStringLiteral("（処分費 %1 → %2）").arg(old->fee, r.fee);
        if (old->transportCost != r.transportCost)
            line += QStringLiteral("（運搬費 %1 → %2）").arg(old->transportCost, r.transportCost);
        lines.append(line);
    }
    // Sites the table listed then and lists no more, in the saved order.
    for (const ShownRow& r : saved.shown)
        if (before.contains(r.site))
            lines.append(QStringLiteral("%1: %2 → 一覧になし").arg(r.site, Standing(r)));
    return lines;
}

QString CaseChangesHeading()
{
    return QStringLiteral("前回保存時から単価が変わっています");
}

} // namespace velmora::calc
