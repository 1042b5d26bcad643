#pragma once

#include "ComboTarget.h"

#include <QStringList>
#include <array>

// The loading methods of the construction-package method. Each list belongs
// to a debris-generating work: for the two concrete cost items work 0 is the
// demolition of concrete structures and work 1 of sprayed mortar slopes; for
// the asphalt cost item work 0 is pavement breaking and work 1 pavement
// breaking with loading for a cable duct.
class CSPTsumikomiComboBox
{
public:
    // Reads "SPTsumikomiKubun_RowSource.ini" and fills `boundCombo` (not
    // owned, may be null) for cost item 0 and work 0.
    explicit CSPTsumikomiComboBox(velmora::data::ComboTarget* boundCombo);

    // Refills the bound list and selects the first entry; a combination
    // without a list leaves the list as it is.
    void FillCombo(int costItem, int work);
    // The entries for the combination; null when it has no list.
    const QStringList* ListFor(int costItem, int work) const;
    // The same, empty when the combination has no list.
    QStringList Items(int costItem, int work) const;

private:
    std::array<QStringList, 4> lists;
    velmora::data::ComboTarget* boundCombo;
};
