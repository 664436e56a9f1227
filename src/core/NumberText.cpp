#include "NumberText.h"

#include "Errors.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace prolis {

namespace {

// The C locale, whatever the process's locale is.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

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

QString scientificText(const DecimalDigits& d) {
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
QString fixedText(const DecimalDigits& d, int decimals) {
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

DecimalDigits roundToSignificant(double v, int precision) {
    DecimalDigits r;
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
    DecimalDigits d = roundToSignificant(v, 15);
    if (d.isZero()) return QStringLiteral("0");
    if (d.exponent > 15 || d.exponent < -3) return scientificText(d);
    const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent);
    return fixedText(d, decimals);
}

QString formatFixed(double v, int decimals, int precision) {
    DecimalDigits d = roundToSignificant(v, precision);
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

bool tryTextToFloat(const QString& text, double& value) {
    // Blanks around are ignored; the rest must be the whole number.
    const QStringView t = QStringView(text).trimmed();
    const qsizetype n = t.size();
    char stack[64];
    std::string heap;
    char* out = stack;
    if (n + 2 > static_cast<qsizetype>(sizeof stack)) {
        heap.resize(static_cast<size_t>(n) + 2);
        out = heap.data();
    }
    char* o = out;
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
    if (negative) *o++ = '-';
    int mantissaDigits = 0;
    bool comma = false;
    for (; i < n; ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            *o++ = static_cast<char>(c);
            ++mantissaDigits;
        } else if (c == u',' && !comma) {
            comma = true;
            *o++ = '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        *o++ = 'e';
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) *o++ = static_cast<char>(t[i++].unicode());
        int expDigits = 0;
        for (; i < n && t[i] >= u'0' && t[i] <= u'9'; ++i, ++expDigits)
            *o++ = static_cast<char>(t[i].unicode());
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    *o = '\0';
    double r = 0;
    const auto res = std::from_chars(out, o, r, std::chars_format::general);
    if (res.ptr != o) return false;
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves r untouched on a range error: tell overflow from
        // underflow with strtod in the C locale (the process locale may use
        // a decimal comma and stop at the point written above).
        r = strtod_l(out, nullptr, cLocale());
        if (std::isinf(r)) return false;
    } else if (res.ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(r)) return false;
    value = r;
    return true;
}

double textToFloat(const QString& text) {
    double v = 0;
    if (!tryTextToFloat(text, v))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

bool tryTextToInt(const QString& text, int& value) {
    const QString& t = text;
    bool negative = false;
    int i = 0;
    const int n = static_cast<int>(t.size());
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    int base = 10;
    if (i < n && t[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && t[i] == QLatin1Char('0') &&
               (t[i + 1] == QLatin1Char('x') || t[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n) return false;
    qint64 acc = 0;
    for (; i < n; ++i) {
        int d = -1;
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0) return false;
        acc = acc * base + d;
        if (acc > (base == 16 ? 0xFFFFFFFFLL : 2147483648LL)) return false;
    }
    if (base == 16) {
        // Hexadecimal texts fill the 32 bits: $FFFFFFFF is -1.
        qint64 v = static_cast<qint32>(static_cast<quint32>(acc));
        value = static_cast<int>(negative ? -v : v);
        return true;
    }
    if (negative) acc = -acc;
    if (acc > std::numeric_limits<int>::max() || acc < std::numeric_limits<int>::min()) return false;
    value = static_cast<int>(acc);
    return true;
}

int textToInt(const QString& text) {
    int v = 0;
    if (!tryTextToInt(text, v))
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

} // namespace prolis
