#include "ResultPlaces.h"

#include "CDisplayCalcResultList.h"
#include "CJobSiteCoordinatesData.h"
#include "ResultRowTexts.h"
#include "ResultTable.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"

namespace velmora::calc {

ResultPlaces PlaceResults(CDisplayCalcResultList& list, double jobX, double jobY)
{
    ResultPlaces places;
    places.jobX = jobX;
    places.jobY = jobY;
    // One converter for all points, as the route step converts its two.
    CCoordinatesConvert convert;
    convert.PlaneToLatLon(jobX, jobY, places.jobLatitude, places.jobLongitude);
    const QList<QStringList> rows = ResultTableRows(list);
    list.MoveFirst();
    for (int i = 0; !list.IsEnd(); ++i, list.MoveNext()) {
        const CDisplayCalcResultData& row = list.Current();
        PlacedSite site;
        site.position = i + 1;
        site.name = row.GetSiteName();
        site.rank = row.GetRank();
        site.x = row.GetSiteX();
        site.y = row.GetSiteY();
        convert.PlaneToLatLon(site.x, site.y, site.latitude, site.longitude);
        site.distanceSource = row.GetDistanceSource();
        site.cells = rows.value(i);
        places.sites.append(site);
    }
    return places;
}

ResultPlaces PlaceResults(CDisplayCalcResultList& list, const CJobSiteCoordinatesData& jobSite)
{
    return PlaceResults(list, StrToFloatDefault(jobSite.GetXText(), 0), StrToFloatDefault(jobSite.GetYText(), 0));
}

QString PlaceTipText(const PlacedSite& site)
{
    const QStringList& c = site.cells;
    const QString total = c.value(12).isEmpty() ? QStringLiteral("なし（順位なし）") : c.value(12) + QStringLiteral(" 円");
    return QStringLiteral("%1\n直接参考距離 %2 km　運搬距離 %3%4 km　確定距離 %5 km\n合計 %6")
        .arg(site.name, c.value(2), DistanceSourceMark(site.distanceSource), c.value(3), c.value(4), total);
}

} // namespace velmora::calc
