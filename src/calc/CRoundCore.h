#pragma once

// One rounding rule: what kind of rounding and at which position.
class CRoundCore
{
public:
    static constexpr int RoundNone = 0;
    static constexpr int RoundHalfUp = 3;
    static constexpr int MaxDigits = 9;

    void SetRoundKind(int kind) { roundKind = kind; }
    // 1 keeps a whole number, 2 one decimal, and so on; above 9 is taken as 9.
    void SetDigits(int value) { digits = value > MaxDigits ? MaxDigits : value; }
    int GetRoundKind() const { return roundKind; }
    int GetDigits() const { return digits; }

    // RoundNone returns the value untouched; any other kind rounds half away
    // from zero at the position `digits` names (0 and below act like 1).
    double ApplyRule(double value) const;

private:
    int roundKind = RoundNone;
    int digits = 1;
};
