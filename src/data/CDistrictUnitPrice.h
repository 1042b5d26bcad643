#pragma once

#include "TableFindings.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The unit prices behind the transport cost: "DR01" (one price), "DT02" (per
// district), "DS24" and "DS22" (per dump-truck class 0 10 t, 1 4 t, 2 2 t),
// and the dump-truck cost of the labour-rate method with the quantities of
// "DTTankaSuryo.ini". Prices stay texts and are converted at every lookup.
class CDistrictUnitPrice
{
public:
    // Loads the four price files; one that is missing, cannot be opened or
    // is empty is left out whole (its lookups raise TableDamage).
    CDistrictUnitPrice();
    // Reads nothing: the prices come from SetPrices.
    struct NoFiles {};
    explicit CDistrictUnitPrice(NoFiles) {}

    bool LoadR01();
    bool LoadT02();
    bool LoadS24();
    bool LoadS22();

    // A price left out because of a finding (its line, or the whole list when
    // its lines no longer pair with the districts or classes) raises
    // velmora::data::TableDamage.
    int GetPriceR01() const;
    int GetPriceT02(int district) const;
    int GetPriceS24(int truckClass) const;
    int GetPriceS22(int truckClass) const;

    // Reads the quantities for the cost item and transport type and returns
    // the dump-truck class; an unlisted pair raises velmora::Error.
    int ReadQuantities(int costItem, int transportType);
    // A section with fewer than four lines, a quantity or price that is not a
    // number, or a district or class beyond its list raises velmora::Error;
    // a damaged price or quantity raises velmora::data::TableDamage.
    int GetDumpTruckCost(int district, int costItem, int transportType);
    const QStringList& Quantities() const { return quantities; }

    // For synthetic tables (benchmarks, tests).
    void SetPrices(int r01, const QStringList& t02, const QStringList& s24, const QStringList& s22);

private:
    bool ReadPriceFile(const QString& key, QStringList& lines);
    bool ReadPriceList(const QString& key, QStringList& prices);
    void CheckPrices(const QString& key, const QString& file, const QStringList& prices, int expectedCount,
                     long long mostPrice);
    void CheckQuantities() const;
    int PriceAt(const QStringList& prices, const QString& key, int index) const;
    static velmora::data::TableFinding QuantitiesSectionFinding(const QString& section, qsizetype count,
                                                                const std::vector<int>& numbers);

    int priceR01 = 0;
    // Prices left out, by list key and position; position -1 stands for the
    // whole list.
    QHash<QString, QHash<int, velmora::data::TableFinding>> damage;
    QStringList pricesT02;
    QStringList pricesS24;
    QStringList pricesS22;
    QStringList quantities;
    QString quantitiesSection;
};
