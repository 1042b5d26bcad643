#pragma once

#include "SelectionList.h"

// The debris-generating works of the construction-package method for each
// cost item; the position of the chosen work picks the loading methods.
class CSPGaraHasseiComboBox : public velmora::data::CostItemListModel
{
public:
    // Reads "SPGaraHassei_RowSource.ini" and fills `combo` (not owned, may be null) for cost item 0.
    explicit CSPGaraHasseiComboBox(velmora::data::ComboTarget* combo);
};
