#include "CSyobunjoData.h"

#include "NumberText.h"

void CSyobunjoData::SetDisposalFee(const QString& text)
{
    disposalFee = text.isEmpty() ? 0 : StrToInt(text);
}

void CSyobunjoData::SetX(const QString& text)
{
    x = text.isEmpty() ? 0 : StrToFloat(text);
}

void CSyobunjoData::SetY(const QString& text)
{
    y = text.isEmpty() ? 0 : StrToFloat(text);
}
