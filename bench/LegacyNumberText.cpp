// The number texts as they were before the fast path (exact digits from
// std::to_chars at 17, 40 or 780 digits): the benchmark compares the new
// implementation with this one, text for text, over many random doubles.
#include "LegacyNumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace legacy {

struct LegacyDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool isZero() const { return digits.empty(); }
};

LegacyDigits roundToSignificant(double v, int precision);

namespace {

// Digits and decimal exponent of |v| in the form d.ddd...e<exp10>, with
// `count` significant digits, correctly rounded from the exact binary value.
void scientificDigits(double v, int count, std::string& digits, int& exp10) {
    char stack[64];
    std::string heap;
    char* buf = stack;
    size_t size = sizeof stack;
    if (count + 16 > static_cast<int>(sizeof stack)) {
        heap.resize(static_cast<size_t>(count) + 16);
        buf = heap.data();
        size = heap.size();
    }
    const auto res = std::to_chars(buf, buf + size, std::fabs(v), std::chars_format::scientific, count - 1);
    const char* end = res.ptr;
    const char* e = std::find(static_cast<const char*>(buf), end, 'e');
    digits.clear();
    for (const char* p = buf; p < e; ++p)
        if (*p != '.') digits.push_back(*p);
    int x = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, x);
    exp10 = x;
}

bool isTieTail(const std::string& digits, size_t from) {
    if (from >= digits.size() || digits[from] != '5') return false;
    for (size_t i = from + 1; i < digits.size(); ++i)
        if (digits[i] != '0') return false;
    return true;
}

// Rounds the digit string at position `keep` (halves up, the string being the
// magnitude) and strips trailing zeros. Returns the carry into a new leading digit.
bool roundDigitsHalfUp(std::string& digits, size_t keep) {
    const bool up = keep < digits.size() && digits[keep] >= '5';
    digits.resize(std::min(keep, digits.size()));
    bool carry = false;
    if (up) {
        size_t i = digits.size();
        for (;;) {
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                carry = true;
                break;
            }
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return carry;
}

QString scientificText(const LegacyDigits& d) {
    char buf[48];
    char* p = buf;
    if (d.negative) *p++ = '-';
    *p++ = d.digits[0];
    if (d.digits.size() > 1) {
        *p++ = ',';
        for (size_t i = 1; i < d.digits.size(); ++i)
            *p++ = d.digits[i];
    }
    *p++ = 'E';
    p = std::to_chars(p, buf + sizeof buf, d.exponent - 1).ptr;
    return QString::fromLatin1(buf, p - buf);
}

// Fixed text of a decimal with exactly `decimals` decimals (the digits already
// hold no more than that).
QString fixedText(const LegacyDigits& d, int decimals) {
    const int n = static_cast<int>(d.digits.size());
    const int intDigits = (d.isZero() || d.exponent <= 0) ? 1 : d.exponent;
    std::string buf;
    buf.reserve(static_cast<size_t>(intDigits + decimals + 3));
    if (d.negative && !d.isZero()) buf.push_back('-');
    auto digitAt = [&](int pos) { return (pos >= 0 && pos < n) ? d.digits[static_cast<size_t>(pos)] : '0'; };
    if (d.isZero() || d.exponent <= 0) {
        buf.push_back('0');
    } else {
        for (int i = 0; i < d.exponent; ++i)
            buf.push_back(digitAt(i));
    }
    if (decimals > 0) {
        buf.push_back(',');
        for (int k = 0; k < decimals; ++k)
            buf.push_back(d.isZero() ? '0' : digitAt(d.exponent + k));
    }
    return QString::fromLatin1(buf.data(), static_cast<qsizetype>(buf.size()));
}

} // namespace

LegacyDigits roundToSignificant(double v, int precision) {
    LegacyDigits r;
    if (v == 0.0 || !std::isfinite(v)) return r;
    r.negative = std::signbit(v);
    thread_local std::string digits;
    // 17 significant digits decide the rounding unless they end exactly on a
    // half of the last kept digit: the exact value then lies within half a
    // unit of the 17th digit of the probe and so on the same side of every
    // rounding boundary.
    constexpr int Probe = 17;
    int exp10 = 0;
    scientificDigits(v, Probe, digits, exp10);
    if (isTieTail(digits, static_cast<size_t>(precision))) {
        // The probe sits on a half: look closer, and only when 40 digits still
        // show an exact half take the whole expansion (780 significant digits
        // hold the exact value of any double).
        scientificDigits(v, 40, digits, exp10);
        if (isTieTail(digits, static_cast<size_t>(precision))) scientificDigits(v, 780, digits, exp10);
    }
    if (roundDigitsHalfUp(digits, static_cast<size_t>(precision))) ++exp10;
    r.digits.assign(digits); // at most `precision` digits: no allocation
    r.exponent = exp10 + 1;
    if (r.digits.empty()) r.negative = false;
    return r;
}

QString formatGeneral(double v) {
    LegacyDigits d = roundToSignificant(v, 15);
    if (d.isZero()) return QStringLiteral("0");
    if (d.exponent > 15 || d.exponent < -3) return scientificText(d);
    const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent);
    return fixedText(d, decimals);
}

QString formatFixed(double v, int decimals, int precision) {
    LegacyDigits d = roundToSignificant(v, precision);
    if (d.isZero()) return fixedText(d, decimals);
    if (d.exponent > precision) return scientificText(d);
    const int keep = d.exponent + decimals;
    if (keep < 0) {
        d.digits.clear();
    } else if (roundDigitsHalfUp(d.digits, static_cast<size_t>(keep))) {
        ++d.exponent;
    }
    if (d.digits.empty()) d.negative = false;
    return fixedText(d, decimals);
}

} // namespace legacy
