#pragma once

#include "ExactKm.h"
#include "data/Decimal.h"
#include "data/TableFindings.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The construction-package table "DSP2": groups of rows, one group for each
// combination of conditions, each row a distance band with its standard unit
// price; the group's first row also carries the shares and base prices that
// adjust the price to the district. Band figures stay texts and are converted
// at every lookup.
class CSekouPackageData
{
public:
    // Reads "DSP2" from the data directory; a file that is missing, cannot be
    // opened or is empty leaves the whole table out (selecting raises
    // TableDamage).
    CSekouPackageData();
    // A table already in memory, one entry per line.
    explicit CSekouPackageData(const QStringList& tableLines);

    bool LoadPackageTable();

    // Selects the group under the first line holding every text (half-width
    // katakana comparison). Without a match the previous group stays and the
    // result is false; a table left out whole raises TableDamage.
    bool SelectPackageGroup(const QString& k1, const QString& k2);
    bool SelectPackageGroup(const QString& k1, const QString& k2, const QString& k3);
    bool SelectPackageGroup(const QString& k1, const QString& k2, const QString& k3, const QString& k4);
    bool SelectPackageGroup(const QStringList& keys);
    // Reads the group whose first row is line `firstRow`. A group without
    // rows, a row without its fields, a figure that is not a number or a zero
    // share or base price raises velmora::Error and keeps the group selected
    // before; a group the table's check left out raises TableDamage.
    void LoadGroup(int firstRow);

    // The table's name as shipped ("ESP2.dat"); empty for a table in memory.
    const QString& FileName() const { return fileName; }
    bool HasGroup() const { return groupLoaded; }
    int GetTruckClassIndex() const { return truckClassIndex; }
    void SetLocalPrices(int price1, int price2, double price3);

    // Unit price in whole yen; 0 beyond 60 km or beyond the group's last band.
    // velmora::Error while no group has been selected. The distance is taken
    // as the grid shows it (ShownDistance), the band limits as written.
    int PackageCost(double km) const;
    // "<limit as written>km以下", or "上限値を超えています".
    QString PackageBandText(double km) const;

    const QStringList& Lines() const { return lines; }
    const QStringList& BandLimits() const { return bandLimits; }
    const QStringList& BandPrices() const { return bandPrices; }
    int GetLocalPrice1() const { return localPrice1; }
    int GetLocalPrice2() const { return localPrice2; }
    double GetLocalPrice3() const { return localPrice3; }

private:
    int BandIndexAt(const velmora::calc::ExactKm& km) const;
    // The band of a distance as the grid shows it; -1 beyond 60 km or beyond
    // the last band.
    int ShownBandAt(double km) const;
    // The unit price of band `band` for the current group and local prices.
    int BandCost(int band) const;

    QStringList lines;
    QString fileName;
    std::optional<velmora::data::TableFinding> wholeTableLeftOut;
    QStringList bandLimits;
    QStringList bandPrices;
    int localPrice1 = 0;
    int truckClassIndex = 0;
    int localPrice2 = 0;
    double localPrice3 = 0;
    double ratio1 = 0;
    double weight1 = 0;
    double ratio2 = 0;
    double weight2 = 0;
    double ratio3 = 0;
    double weight3 = 0;
    double basePrice1 = 0;
    double basePrice2 = 0;
    double basePrice3 = 0;
    bool groupLoaded = false;
    // Groups left out by the table's check, by the line of their first row;
    // selecting one raises velmora::data::TableDamage.
    QHash<int, velmora::data::TableFinding> damagedGroups;
    // Every disposal site asks for its band's unit price, which depends only
    // on the band, the group and the local prices: each band's limit and
    // price are worked out once per group and local prices. A failure (a
    // figure that is not a number, an overflow) is not remembered.
    struct BandLimit
    {
        bool known = false;
        // Whole 10^-6 km (ExactKm::fixed), compared as integers.
        bool fixed = false;
        std::int64_t units = 0;
        velmora::calc::ExactKm exact;
    };
    mutable std::vector<BandLimit> limitValues;
    mutable std::vector<std::optional<int>> bandCosts;
    std::vector<QString> bandTexts;
    // The last distance asked for and its band.
    mutable std::optional<std::pair<double, int>> lastBand;
};
