#include "CDisplayCalcResultData.h"

void CDisplayCalcResultData::UpdateConfirmedDistance()
{
    confirmedDistance = transportDistance != 0 ? transportDistance : straightDistance;
}

void CDisplayCalcResultData::UpdateConfirmedFee()
{
    confirmedFee = manualFee != 0 ? manualFee : disposalFee;
}
