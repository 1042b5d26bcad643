#include "ShownDistance.h"

#include "ExactKm.h"

#include "data/Error.h"
#include "data/NumberText.h"

#include <QHash>
#include <cmath>

using velmora::data::Decimal;

namespace velmora::calc {

Decimal ShownDistance(double km)
{
    if (!std::isfinite(km))
        throw velmora::Error(QStringLiteral("距離 %1 は数値ではありません。").arg(FloatToStr(km)));
    // Every row is compared with several limits, and the same few rounded
    // distances come back row after row: a converted distance is remembered
    // (per thread, up to a bound). The same double always gives the same text.
    constexpr qsizetype kMaxRemembered = 4096;
    thread_local QHash<double, Decimal> remembered;
    const auto found = remembered.constFind(km);
    if (found != remembered.constEnd())
        return found.value();
    const Decimal shown = Decimal::fromNumberText(FloatToStr(km));
    if (remembered.size() >= kMaxRemembered)
        remembered.clear();
    remembered.insert(km, shown);
    return shown;
}

QString TransportDistanceRangeText()
{
    return QStringLiteral("運搬距離は0km以上%1km以下を入力してください。").arg(MaxTransportDistanceKm);
}

bool ShownDistanceBeyond(double km, int limitKm)
{
    // The shown distance is km to 15 significant digits: away from the limit
    // the double alone decides, and every site of a register is asked.
    if (std::fabs(km) < 1e12) {
        const double margin = 1e-6 * (1 + std::abs(limitKm));
        if (km < limitKm - margin)
            return false;
        if (km > limitKm + margin)
            return true;
    }
    return ExactKm::shown(km) > ExactKm::fromInt(limitKm);
}

bool ShownDistanceWithin(double km, int limitKm)
{
    const ExactKm shown = ExactKm::shown(km);
    return shown >= ExactKm() && shown <= ExactKm::fromInt(limitKm);
}

} // namespace velmora::calc
