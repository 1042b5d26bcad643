#pragma once

#include <QString>

// Turns the address of a case's map link into the MieClickMaps address of the
// same place, as the web-site definitions describe both map sites. Lives for
// one new-window request of the bid-information browser.
class CMapURLCreate
{
public:
    enum { MapKindGsi = 0, MapKindMieClickMaps = 1, MapKindOther = 2 };

    CMapURLCreate() = default;

    // The MieClickMaps address for `address`; the fallback map page when the
    // map is recognised but no pattern takes a position out of it; the empty
    // text when the address is of no known map. Sets the map kind.
    QString CreateMapURL(const QString& address);
    int GetMapKind() const { return addressKind; }

private:
    QString ConvertMapAddress(const QString& address, const QString& latLonSection, const QString& xySection) const;

    int addressKind = MapKindGsi;
};
