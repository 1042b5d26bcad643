#pragma once

#include "SelectionList.h"

// The transport types of the labour-rate method for each cost item. Their
// positions pick the dump-truck quantities, so cost items 0 and 1 offer at most
// four entries and cost item 2 at most five.
class CSyubetsuComboBox : public velmora::data::CostItemListModel
{
public:
    // Reads "Syubetsu_RowSource.ini" and fills `combo` (not owned, may be null) for cost item 0.
    explicit CSyubetsuComboBox(velmora::data::ComboTarget* combo);
};
