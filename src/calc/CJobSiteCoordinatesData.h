#pragma once

#include <QString>

// The job site as the driver keeps it: the number texts of latitude,
// longitude and the plane coordinates X and Y. Comparing the X and Y texts
// with those of the previous calculation tells a recalculation from a fresh one.
class CJobSiteCoordinatesData
{
public:
    void SetLatitudeText(const QString& text) { latitudeText = text; }
    void SetLongitudeText(const QString& text) { longitudeText = text; }
    void SetXText(const QString& text) { xText = text; }
    void SetYText(const QString& text) { yText = text; }

    const QString& GetLatitudeText() const { return latitudeText; }
    const QString& GetLongitudeText() const { return longitudeText; }
    const QString& GetXText() const { return xText; }
    const QString& GetYText() const { return yText; }

private:
    QString latitudeText;
    QString longitudeText;
    QString xText;
    QString yText;
};
