#include "CRoundCore.h"

#include "Rounding.h"

#include <cmath>

namespace {

// 10^n as the nearest double. The literals are rounded by the compiler, which
// gives the correctly rounded value also for the negative powers.
double PowerOfTen(int n)
{
    static constexpr double positive[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    static constexpr double negative[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9};
    if (n >= 0 && n <= 9)
        return positive[n];
    if (n < 0 && n >= -9)
        return negative[-n];
    return std::pow(10.0, n);
}

// x × 10^n with the product formed in extended precision and then stored, so
// that the double rounding of the estimating rules happens here and only here.
// (Doubles live in SSE registers on x86-64, so the conversion is the store.)
double Scale(double x, int n)
{
    const long double product = static_cast<long double>(x) * static_cast<long double>(PowerOfTen(n));
    return static_cast<double>(product);
}

// Half away from zero to a whole number. The fraction is compared without a
// tolerance; only SplitNumber forgives a fraction just below one.
double HalfUpToWhole(double y)
{
    double whole = 0;
    double fraction = 0;
    SplitNumber(y, whole, fraction);
    if (std::fabs(fraction) >= 0.5)
        return y >= 0 ? whole + 1 : whole - 1;
    return whole;
}

} // namespace

double CRoundCore::ApplyRule(double value) const
{
    if (roundKind == RoundNone)
        return value;
    const int p = digits - 1 > 0 ? digits - 1 : 0;
    return Scale(HalfUpToWhole(Scale(value, p)), -p);
}
