#pragma once

#include <QString>

// The sections and keys of "WebDataDef.ini" the program reads. Every web step
// names them through these constants, so a renamed entry is renamed once.
namespace velmora::web::names {

inline const QString FileName = QStringLiteral("WebDataDef.ini");
// Folder beside the executable that holds the file.
inline const QString Folder = QStringLiteral("status");

namespace section {
inline const QString URL = QStringLiteral("URL");
inline const QString javascript = QStringLiteral("javascript");
inline const QString URL_click = QStringLiteral("URL_click");
// Whole addresses that are never shown.
inline const QString not_show_HP = QStringLiteral("not_show_HP");
// Address parts that recognise a GSI map address and a MieClickMaps address.
inline const QString GIS_tiliin = QStringLiteral("GIS_tiliin");
inline const QString GIS_MieClickMaps = QStringLiteral("GIS_MieClickMaps");
// Scan patterns with two fields each.
inline const QString tiliin_get_lat_lon = QStringLiteral("tiliin_get_lat_lon");
inline const QString tiliin_get_x_y = QStringLiteral("tiliin_get_x_y");
inline const QString MieClickMaps_get_lat_lon = QStringLiteral("MieClickMaps_get_lat_lon");
inline const QString MieClickMaps_get_x_y = QStringLiteral("MieClickMaps_get_x_y");
// Address pieces: left + first field + center + second field + right.
inline const QString MieClickMaps_set_lat_lon = QStringLiteral("MieClickMaps_set_lat_lon");
inline const QString MieClickMaps_set_x_y = QStringLiteral("MieClickMaps_set_x_y");
// The background of the result map: tile address and attribution.
inline const QString map_tiles = QStringLiteral("map_tiles");
} // namespace section

namespace key {
// In section URL.
inline const QString home = QStringLiteral("home");
inline const QString GoogleMaps = QStringLiteral("GoogleMaps");
inline const QString MieClickMaps = QStringLiteral("MieClickMaps");
// In section javascript.
inline const QString calcRoute = QStringLiteral("calcRoute");
// Starts the road distances of many sites at once; without it the
// cheapest-site search asks for one site after another.
inline const QString calcMatrix = QStringLiteral("calcMatrix");
// In section URL_click.
inline const QString clear = QStringLiteral("clear");
inline const QString tenpu = QStringLiteral("tenpu");
inline const QString javascript_void = QStringLiteral("javascript_void");
inline const QString koukoku = QStringLiteral("koukoku");
inline const QString denshi_nyuusatu = QStringLiteral("denshi_nyuusatu");
inline const QString gis = QStringLiteral("gis");
inline const QString URL_click = QStringLiteral("URL_click");
// In the MieClickMaps_set_* sections.
inline const QString left = QStringLiteral("left");
inline const QString center = QStringLiteral("center");
inline const QString right = QStringLiteral("right");
// In section map_tiles: the address with {z}, {x} and {y} for one tile, and
// the credit the tile provider asks to be shown with its map.
inline const QString tiles = QStringLiteral("tiles");
inline const QString attribution = QStringLiteral("attribution");
} // namespace key

} // namespace velmora::web::names
