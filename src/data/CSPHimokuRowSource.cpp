#include "CSPHimokuRowSource.h"

CSPHimokuRowSource::CSPHimokuRowSource()
    : CostItemRowSource(QStringLiteral("SPHimoku_RowSource.ini"))
{
}
