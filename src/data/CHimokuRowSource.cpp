#include "CHimokuRowSource.h"

CHimokuRowSource::CHimokuRowSource()
    : CostItemRowSource(QStringLiteral("Himoku_RowSource.ini"))
{
}
