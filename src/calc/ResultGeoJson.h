#pragma once

#include <QByteArray>

namespace velmora::calc {

struct ResultPlaces;

// The result as a GeoJSON FeatureCollection (RFC 7946): a Point for the job
// site and one per row, longitude first, in the latitude and longitude the
// program converts zone VI to (JGD2011, which GIS programs take as WGS 84).
// A row's properties are the columns of the table files under their header
// names, figures as numbers and empty figures as null, then the plane
// coordinates X and Y. UTF-8 without a byte-order mark, as the RFC asks.
QByteArray ResultGeoJson(const ResultPlaces& places);

// The property that tells the job site from the sites, and its two values.
QString GeoJsonKindKey();
QString GeoJsonJobSiteKind();
QString GeoJsonSiteKind();

} // namespace velmora::calc
