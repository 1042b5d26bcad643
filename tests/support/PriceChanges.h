#pragma once

#include "support/TempDeployment.h"

#include <QString>
#include <functional>
#include <vector>

namespace velmora::test {

// One change of the kind an office makes to its tables twice a year, and the
// words with which a case saved before it names it when reopened after it.
struct PriceChange
{
    std::function<void(const TempDeployment&)> apply;
    // Empty for no change: nothing may be named.
    QString told;
};

// No change, then one at a time: the fee of the site `name` (whose shown fee
// is `fee` and transport cost `cost`), the wage, every band price of the
// package table, and the site's coordinates. For a table calculated at the
// same job site before and after; `sample` holds the tables as shipped.
std::vector<PriceChange> PriceChangesAround(const TempDeployment& sample, const QString& name, const QString& fee,
                                           const QString& cost);

} // namespace velmora::test
