#pragma once

// The estimating rules' roundings. Intermediates are formed in x87 extended
// precision (long double) and stored as double exactly where the rules say.

// Whole and fractional part; a fraction within 1e-10 below 1 counts as whole
// (w = x unchanged, f = 0) so representation errors like 2.99999999999997 do
// not round down.
void SplitNumber(double x, double& whole, double& fraction);

double RoundHalfAt(double value, int decimals);
double RoundUpAt(double value, int decimals);
double RoundDownAt(double value, int decimals);
double RoundUpSignificant(double value, int count);
double RoundDownSignificant(double value, int count);
double RadiansToDegrees(double radians);
