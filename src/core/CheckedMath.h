#pragma once
// Checked floating-point arithmetic: every operation that would yield an
// infinity or a not-a-number value raises the MathError the user is shown.
//   division by zero, logarithm of zero   -> "Floating point division by zero"
//   0/0, log of a negative number, a non-integral power of a negative number
//                                          -> "Invalid floating point operation"
//   overflow                               -> "Floating point overflow"
#include <cmath>

namespace prolis::fp {

// Raises the matching error when v is not finite.
[[noreturn]] void raiseFor(double v);
inline double checked(double v) {
    if (!std::isfinite(v)) [[unlikely]]
        raiseFor(v);
    return v;
}

inline double add(double a, double b) {
    return checked(a + b);
}
inline double sub(double a, double b) {
    return checked(a - b);
}
inline double mul(double a, double b) {
    return checked(a * b);
}
double div(double a, double b);
double ln(double x);
double exp(double x);
double sqr(double x);
double tan(double x);
// The general real power: b = 0 gives 1; x = 0 with b > 0 gives 0; an integral
// b (|b| <= 2147483647) by repeated multiplication, so x may be negative;
// otherwise exp(b * ln x).
double power(double x, double b);
// x^n by repeated squaring; a negative n gives 1 / x^|n|.
double intPower(double x, int n);
} // namespace prolis::fp
