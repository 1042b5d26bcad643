#pragma once

#include "SelectionList.h"

// The transport types of the construction-package method for each cost
// item; their positions pick the package table's entries.
class CSPSyubetsuComboBox : public velmora::data::CostItemListModel
{
public:
    // Reads "SPSyubetsu_RowSource.ini" and fills `combo` (not owned, may be null) for cost item 0.
    explicit CSPSyubetsuComboBox(velmora::data::ComboTarget* combo);
};
