#include "ResultGeoJson.h"

#include "ResultPlaces.h"
#include "ResultTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace velmora::calc {
namespace {

// The columns of the table files that hold figures: the position, the
// three distances, the fees, the transport cost, the total and the rank.
bool IsFigureColumn(int col)
{
    switch (col) {
    case 0: case 2: case 3: case 4: case 6: case 9: case 10: case 11: case 12: case 13:
        return true;
    default:
        return false;
    }
}

QString JsonString(const QString& text)
{
    // The document writer escapes quotes, backslashes and control characters.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString JsonNumber(double value)
{
    // The shortest text that reads back as the same double: no digit of the
    // conversion is lost.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A figure cell as a number; an empty one (no total, no rank) as null.
QString FigureValue(const QString& cell)
{
    bool ok = false;
    const double value = cell.toDouble(&ok);
    if (ok)
        return JsonNumber(value);
    return cell.isEmpty() ? QStringLiteral("null") : JsonString(cell);
}

QString Feature(double longitude, double latitude, const QStringList& properties)
{
    return QStringLiteral("{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[%1,%2]},\"properties\":{%3}}")
        .arg(JsonNumber(longitude), JsonNumber(latitude), properties.join(u','));
}

QString Property(const QString& key, const QString& jsonValue)
{
    return JsonString(key) + u':' + jsonValue;
}

} // namespace

QString GeoJsonKindKey()
{
    return QStringLiteral("種別");
}

QString GeoJsonJobSiteKind()
{
    return QStringLiteral("工事現場");
}

QString GeoJsonSiteKind()
{
    return QStringLiteral("処分場");
}

QByteArray ResultGeoJson(const ResultPlaces& places)
{
    const QStringList header = ResultTableHeader();
    QStringList features;
    features.append(Feature(places.jobLongitude, places.jobLatitude,
                            {Property(GeoJsonKindKey(), JsonString(GeoJsonJobSiteKind())),
                             Property(QStringLiteral("X"), JsonNumber(places.jobX)),
                             Property(QStringLiteral("Y"), JsonNumber(places.jobY))}));
    for (const PlacedSite& site : places.sites) {
        QStringList properties = {Property(GeoJsonKindKey(), JsonString(GeoJsonSiteKind()))};
        for (int col = 0; col < header.size(); ++col) {
            const QString cell = site.cells.value(col);
            properties.append(Property(header.at(col), IsFigureColumn(col) ? FigureValue(cell) : JsonString(cell)));
        }
        properties.append(Property(QStringLiteral("X"), JsonNumber(site.x)));
        properties.append(Property(QStringLiteral("Y"), JsonNumber(site.y)));
        features.append(Feature(site.longitude, site.latitude, properties));
    }
    // One feature a line: readable, and a diff of two results lines up.
    return (QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[\n") + features.join(QStringLiteral(",\n"))
            + QStringLiteral("\n]}\n"))
        .toUtf8();
}

} // namespace velmora::calc
