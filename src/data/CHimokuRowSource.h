#pragma once

#include "SelectionList.h"

// The cost items of the labour-rate method; their positions select the
// disposal-site register and the dump-truck quantities.
class CHimokuRowSource : public velmora::data::CostItemRowSource
{
public:
    // Reads the section "処分費目" of "Himoku_RowSource.ini" in the data folder.
    CHimokuRowSource();
};
