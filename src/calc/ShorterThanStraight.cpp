#include "ShorterThanStraight.h"

#include "ShownDistance.h"

#include "data/NumberText.h"

namespace velmora::calc {

bool ShorterThanStraight(double distanceKm, double straightKm)
{
    if (distanceKm == 0)
        return false;
    // As the grid shows both: 8.2 against 8.3 differs by 0.1 exactly.
    static const data::Decimal tolerance = data::Decimal::fromNumberText(QStringLiteral("0.1"));
    return ShownDistance(straightKm) - ShownDistance(distanceKm) > tolerance;
}

bool ShorterThanStraight(const CDisplayCalcResultData& row)
{
    return ShorterThanStraight(row.GetTransportDistance(), row.GetStraightDistance());
}

QString ShorterThanStraightMark()
{
    return QStringLiteral("！");
}

QString ShorterThanStraightLegend()
{
    return ShorterThanStraightMark() + QStringLiteral(" 運搬距離が直接参考距離より0.1kmを超えて短い（道のりとしてありえない距離）");
}

QString ShorterThanStraightHint(const CDisplayCalcResultData& row)
{
    return QStringLiteral("%1\n運搬距離 %2km、直接参考距離 %3km")
        .arg(ShorterThanStraightLegend(), FloatToStr(row.GetTransportDistance()), FloatToStr(row.GetStraightDistance()));
}

QString ShorterThanStraightQuestion(const QString& siteName, double distanceKm, double straightKm)
{
    return QStringLiteral("%1 の運搬距離 %2km は、直接参考距離 %3km より短くなっています。\r\n"
                          "道のりが直線距離より短くなることはありません。この距離で計算しますか？")
        .arg(siteName, FloatToStr(distanceKm), FloatToStr(straightKm));
}

} // namespace velmora::calc
