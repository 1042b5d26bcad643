#pragma once

#include "CDisplayCalcResultData.h"

#include <QList>
#include <QString>
#include <QStringList>

class CDisplayCalcResultList;
class CJobSiteCoordinatesData;

namespace velmora::calc {

// One listed site where it lies: its plane coordinates (zone VI, metres),
// the latitude and longitude the program converts them to, and the row of
// the table files as they write it.
struct PlacedSite
{
    int position = 0; // in the list, from 1
    QString name;
    int rank = 0; // 0: unranked
    double x = 0;
    double y = 0;
    double latitude = 0;
    double longitude = 0;
    CDisplayCalcResultData::DistanceSource distanceSource = CDisplayCalcResultData::DistanceSource::None;
    QStringList cells; // ResultTableRows' row: the grid's fifteen cells and the distance source
};

// The job site and every row of a result, for maps and map files.
struct ResultPlaces
{
    double jobX = 0;
    double jobY = 0;
    double jobLatitude = 0;
    double jobLongitude = 0;
    QList<PlacedSite> sites; // in list order
};

// The list's rows in display order with the job site the driver measured
// them from. Walks the list's shared cursor.
ResultPlaces PlaceResults(CDisplayCalcResultList& list, const CJobSiteCoordinatesData& jobSite);
// The same from a job site given by its plane coordinates.
ResultPlaces PlaceResults(CDisplayCalcResultList& list, double jobX, double jobY);

// A marker's tip: the name, the three distances with the mark of where a
// transport distance came from, and the total.
QString PlaceTipText(const PlacedSite& site);

} // namespace velmora::calc
