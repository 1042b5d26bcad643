#pragma once

#include "CRoundCore.h"

// The rounding component: holds one rule and rounds by it. Until a kind is
// set it leaves every value as it is.
class CRound
{
public:
    void SetRoundKind(int kind);
    // At most 9; a larger value is stored as 9.
    void SetDigits(int digits);
    double Round(double value) const;
    const CRoundCore& Rule() const { return rule; }

private:
    CRoundCore rule;
};
