#pragma once

#include "data/Decimal.h"
#include "ExactKm.h"

#include "data/TableFindings.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace velmora::data {
class IniFile;
}

// One truck class of the labour-rate table "DB01": its distance bands with the
// quantity of truck work per 10 m³ or per 100 m³. The figures stay the texts
// of the table and are converted at every lookup.
class CBugakariData
{
public:
    // The end of the table: beyond it there is no price, and QuantityAt says
    // so with a quantity no band can carry.
    static constexpr double DistanceLimitKm = 60;
    static constexpr double OverLimitQuantity = 99999;

    // Loads the section `name` of "DB01" in the data directory. A missing file
    // or section gives a class without bands; a band line without a quantity
    // or a lower end that is not a number raises velmora::ConvertError.
    explicit CBugakariData(const QString& name);
    // The same from a table already in memory.
    // `file` names the table in messages.
    CBugakariData(const QString& name, const velmora::data::IniFile& table, const QString& file = QStringLiteral("DB01"));

    const QString& GetName() const { return name; }
    int BandCount() const { return static_cast<int>(lowerBounds.size()); }
    const QStringList& LowerBounds() const { return lowerBounds; }
    const QStringList& UpperBounds() const { return upperBounds; }
    const QStringList& Quantities() const { return quantities; }

    // 99999 beyond 60 km, 0 when no band holds km. The distance is taken as
    // the grid shows it (ShownDistance), and so are the band ends.
    double QuantityAt(double km) const;
    // "0.3km以下"; "上限値を超えています" beyond 60 km; "km以下" when no band holds km.
    QString BandTextAt(double km) const;
    // The reason the class is left out, as a result row shows it; empty when
    // it is not.
    QString DamageText() const;

    static QString TablePath();

private:
    void LoadBands(const velmora::data::IniFile& table, const QString& file);
    // Reports what is wrong with the section's lines; false when the class
    // cannot be priced from them.
    bool CheckBands(const velmora::data::IniFile& table, const QString& file);
    // Index of the first band with lower ≤ km ≤ upper, or -1.
    int BandIndexAt(const velmora::calc::ExactKm& km) const;
    // The band of a distance as the grid shows it: its index, -1 for none or
    // BeyondLimit past DistanceLimitKm.
    static constexpr int BeyondLimit = -2;
    int ShownBandAt(double km) const;

    // Converts every band's ends at the first lookup. Only the first lower
    // end can fail (the others were converted for the upper ends when the
    // class was loaded); a failure is not remembered and recurs at every
    // lookup, exactly as converting at each lookup would.
    void ConvertBounds() const;

    QString name;
    // Why the class is left out (its section missing or damaged): it then
    // has no bands and its band text names the finding.
    std::optional<velmora::data::TableFinding> damage;
    QStringList upperBounds;
    QStringList lowerBounds;
    QStringList quantities;
    // Every disposal site looks its band up; converting the texts each time
    // made the lookup dominate a calculation. Same texts, same values.
    mutable std::vector<velmora::calc::ExactKm> lowerValues;
    mutable std::vector<velmora::calc::ExactKm> upperValues;
    mutable std::vector<double> upperDoubles;
    // The same ends in units of 10^-6 km, when every end has that form
    // (ExactKm::fixed): a distance of that form is then compared as integers.
    mutable std::vector<std::int64_t> lowerFixed;
    mutable std::vector<std::int64_t> upperFixed;
    mutable bool boundsFixed = false;
    mutable bool boundsConverted = false;
    mutable std::vector<QString> bandTexts;
    // The last distance asked for and its band.
    mutable std::optional<std::pair<double, int>> lastBand;
};
