#pragma once

#include <QString>
#include <boost/shared_ptr.hpp>

class CWebDataDef;

namespace velmora::test {

// "WebDataDef.ini" for the stand-in pages under deploy/web served at `host`
// ("127.0.0.1:<port>"): every section the web steps read, with scan patterns
// for the GSI-style map (latitude/longitude in the fragment or the query, X/Y
// in the query) and for MieClickMaps (latitude/longitude or X/Y in the query).
// `routeQuery` is appended to the route page's address ("km=12.3&delay=50").
QString StandInWebDataDefText(const QString& host, const QString& routeQuery = QString());

// Makes those definitions the process's shared instance, replacing any
// earlier one, and returns it.
boost::shared_ptr<CWebDataDef> InstallStandInWebDataDef(const QString& host, const QString& routeQuery = QString());

} // namespace velmora::test
