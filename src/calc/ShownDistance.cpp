#include "ShownDistance.h"

#include "data/Error.h"
#include "data/NumberText.h"

#include <cmath>

namespace velmora::calc {

Decimal ShownDistance(double km)
{
    if (!std::isfinite(km))
        throw velmora::Error(QStringLiteral("距離 %1 は数値ではありません。").arg(FloatToStr(km)));
    return Decimal::fromNumberText(FloatToStr(km));
}

bool ShownDistanceBeyond(double km, int limitKm)
{
    return ShownDistance(km) > Decimal::fromInt(limitKm);
}

bool ShownDistanceWithin(double km, int limitKm)
{
    const Decimal shown = ShownDistance(km);
    return shown >= Decimal() && shown <= Decimal::fromInt(limitKm);
}

} // namespace velmora::calc
