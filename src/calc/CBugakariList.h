#pragma once

#include "CBugakariData.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

// The twelve truck classes of the labour-rate method and the one chosen for
// the current conditions.
class CBugakariList
{
public:
    // Loads every class from "DB01" in the data directory.
    CBugakariList();
    // The same from a table already in memory.
    explicit CBugakariList(const velmora::data::IniFile& table);
    ~CBugakariList();
    CBugakariList(const CBugakariList&) = delete;
    CBugakariList& operator=(const CBugakariList&) = delete;

    // The twelve class names in table order.
    static const QStringList& ClassNames();
    // The class for the conditions, or "" when the combination has none.
    static QString TruckClassName(bool did, int costItemIndex, int transportTypeIndex);

    // A combination without a class keeps the class chosen before.
    bool SelectTruckClass(bool did, int costItemIndex, int transportTypeIndex);
    // The chosen class, or nullptr while none has been found.
    const CBugakariData* Selected() const;
    // The chosen class's position, to put a selection back.
    std::size_t SelectedPosition() const { return current; }
    void RestoreSelectedPosition(std::size_t position) { current = position; }

    // Forward to the chosen class; velmora::Error while none is chosen.
    double QuantityAt(double km) const;
    QString BandTextAt(double km) const;

    int Count() const { return static_cast<int>(classes.size()); }
    const CBugakariData& At(int i) const { return *classes.at(static_cast<std::size_t>(i)); }

private:
    const CBugakariData& SelectedOrThrow() const;

    std::vector<std::unique_ptr<CBugakariData>> classes;
    // classes.size() also means "nothing chosen": the position a failed search
    // leaves it at.
    std::size_t current = SIZE_MAX;
};
