#include "CRound.h"

void CRound::SetRoundKind(int kind) { rule.SetRoundKind(kind); }

void CRound::SetDigits(int digits) { rule.SetDigits(digits); }

double CRound::Round(double value) const { return rule.ApplyRule(value); }
