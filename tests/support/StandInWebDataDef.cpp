#include "support/StandInWebDataDef.h"

#include "data/IniFile.h"
#include "web/CWebDataDef.h"

#include <boost/make_shared.hpp>

namespace velmora::test {

QString StandInWebDataDefText(const QString& host, const QString& routeQuery)
{
    const QString base = QStringLiteral("http://") + host;
    QString route = base + QStringLiteral("/maps/route.html");
    if (!routeQuery.isEmpty())
        route += QLatin1Char('?') + routeQuery;
    QString text = QStringLiteral(
        "; Stand-in pages of the tests\n"
        "[URL]\n"
        "home=%1/nyusatsu/index.html\n"
        "GoogleMaps=%2\n"
        "MieClickMaps=%1/mieclickmaps/map.html\n"
        "[javascript]\n"
        "calcRoute=javascript:calcRoute()\n"
        "[URL_click]\n"
        "clear=/nyusatsu/clear/\n"
        "tenpu=/nyusatsu/tenpu/\n"
        "javascript_void=javascript:void(0)\n"
        "koukoku=/nyusatsu/koukoku/\n"
        "denshi_nyuusatu=/denshi_nyuusatu/\n"
        "gis=maps\n"
        "URL_click=/nyusatsu/print/\n"
        "[not_show_HP]\n"
        "%1/nyusatsu/manual.html\n"
        "%1/nyusatsu/clear/index.html\n"
        "[GIS_tiliin]\n"
        "%3/gsimaps/\n"
        "[GIS_MieClickMaps]\n"
        "%3/mieclickmaps/\n"
        "[tiliin_get_lat_lon]\n"
        "%*[^#]#%*[^/]/%[^/]/%[^/&]\n"
        "%*[^?]?lat=%[^&]&lon=%[^&#]\n"
        "[tiliin_get_x_y]\n"
        "%*[^?]?x=%[^&]&y=%[^&#]\n"
        "[MieClickMaps_get_lat_lon]\n"
        "%*[^?]?lat=%[^&]&lon=%[^&#]\n"
        "[MieClickMaps_get_x_y]\n"
        "%*[^?]?x=%[^&]&y=%[^&#]\n"
        "[MieClickMaps_set_lat_lon]\n"
        "left=%1/mieclickmaps/map.html?lat=\n"
        "center=&lon=\n"
        "right=\n"
        "[MieClickMaps_set_x_y]\n"
        "left=%1/mieclickmaps/map.html?x=\n"
        "center=&y=\n"
        "right=\n");
    // The patterns hold "%" signs of their own, so the placeholders are
    // filled by plain replacement rather than arg().
    text.replace(QStringLiteral("%1"), base);
    text.replace(QStringLiteral("%2"), route);
    text.replace(QStringLiteral("%3"), host);
    return text;
}

boost::shared_ptr<CWebDataDef> InstallStandInWebDataDef(const QString& host, const QString& routeQuery)
{
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + StandInWebDataDefText(host, routeQuery).toUtf8();
    auto instance = boost::make_shared<CWebDataDef>(CWebDataDef::fromIni(velmora::data::IniFile::fromBytes(bytes)));
    SetSharedWebDataDefForTesting(instance);
    return instance;
}

} // namespace velmora::test
