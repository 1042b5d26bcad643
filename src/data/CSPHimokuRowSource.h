#pragma once

#include "SelectionList.h"

// The cost items of the construction-package method; their positions
// select the disposal-site register and the package table's entries.
class CSPHimokuRowSource : public velmora::data::CostItemRowSource
{
public:
    // Reads the section "処分費目" of "SPHimoku_RowSource.ini" in the data folder.
    CSPHimokuRowSource();
};
