#include "CheckedMath.h"

#include "Errors.h"

#include <cmath>
#include <limits>

namespace prolis::fp {

void raiseFor(double v) {
    if (std::isnan(v)) throw MathError(msg::InvalidOp);
    throw MathError(msg::Overflow);
}

double div(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0) throw MathError(msg::InvalidOp);
        throw MathError(msg::DivByZero);
    }
    return checked(a / b);
}

double ln(double x) {
    if (x == 0.0) throw MathError(msg::DivByZero);
    if (x < 0.0 || std::isnan(x)) throw MathError(msg::InvalidOp);
    return checked(std::log(x));
}

double exp(double x) {
    return checked(std::exp(checked(x)));
}

double sqr(double x) {
    return checked(x * x);
}

double tan(double x) {
    return checked(std::tan(x));
}

double intPower(double x, int n) {
    long long e = n;
    const bool inverse = e < 0;
    if (inverse) e = -e;
    double result = 1.0;
    double base = x;
    while (e > 0) {
        if (e & 1) result = checked(result * base);
        e >>= 1;
        if (e > 0) base = checked(base * base);
    }
    return inverse ? div(1.0, result) : result;
}

double power(double x, double b) {
    if (b == 0.0) return 1.0;
    if (x == 0.0 && b > 0.0) return 0.0;
    if (std::floor(b) == b && std::fabs(b) <= 2147483647.0) return intPower(x, static_cast<int>(b));
    return exp(mul(b, ln(x)));
}

} // namespace prolis::fp
