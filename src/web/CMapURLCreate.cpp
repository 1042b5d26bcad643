#include "web/CMapURLCreate.h"

#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "web/WideScan.h"

#include <QStringList>

namespace names = velmora::web::names;

namespace {

QString BuildMapAddress(const CWebDataDef& def, const QString& setSection, const QString& first, const QString& second)
{
    return def.ReadValue(setSection, names::key::left) + first + def.ReadValue(setSection, names::key::center) + second
           + def.ReadValue(setSection, names::key::right);
}

} // namespace

QString CMapURLCreate::CreateMapURL(const QString& address)
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    if (def && def->ContainsLine(names::section::GIS_tiliin, address)) {
        addressKind = MapKindGsi;
        return ConvertMapAddress(address, names::section::tiliin_get_lat_lon, names::section::tiliin_get_x_y);
    }
    if (def && def->ContainsLine(names::section::GIS_MieClickMaps, address)) {
        addressKind = MapKindMieClickMaps;
        return ConvertMapAddress(address, names::section::MieClickMaps_get_lat_lon, names::section::MieClickMaps_get_x_y);
    }
    addressKind = MapKindOther;
    return QString();
}

QString CMapURLCreate::ConvertMapAddress(const QString& address, const QString& latLonSection,
                                         const QString& xySection) const
{
    const boost::shared_ptr<CWebDataDef> def = GetSharedWebDataDef();
    // Two fields, each able to hold the whole address: the scanner never
    // makes a field longer than its input.
    QString first;
    QString second;
    first.reserve(address.size() + 1);
    second.reserve(address.size() + 1);

    const struct
    {
        const QString& patterns;
        const QString& setSection;
    } steps[] = {
        {latLonSection, names::section::MieClickMaps_set_lat_lon},
        {xySection, names::section::MieClickMaps_set_x_y},
    };
    for (const auto& step : steps) {
        QStringList lines;
        def->ReadSectionLines(step.patterns, &lines);
        for (const QString& pattern : lines) {
            if (velmora::web::ScanTwoFields(address, pattern, first, second) == 2)
                return BuildMapAddress(*def, step.setSection, first, second);
        }
    }
    return def->ReadValue(names::section::URL, names::key::MieClickMaps);
}
