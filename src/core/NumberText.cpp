#include "NumberText.h"

#include "Errors.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// A decimal of at most 17 significant digits kept on the stack:
// 0.d[0]d[1]...d[n-1] x 10^exponent, no trailing zeros, n == 0 meaning zero.
struct Decimal {
    char d[24];
    int n = 0;
    int exponent = 0;
    bool negative = false;
};

constexpr uint64_t Pow10[20] = {1ULL,
                                10ULL,
                                100ULL,
                                1000ULL,
                                10000ULL,
                                100000ULL,
                                1000000ULL,
                                10000000ULL,
                                100000000ULL,
                                1000000000ULL,
                                10000000000ULL,
                                100000000000ULL,
                                1000000000000ULL,
                                10000000000000ULL,
                                100000000000000ULL,
                                1000000000000000ULL,
                                10000000000000000ULL,
                                100000000000000000ULL,
                                1000000000000000000ULL,
                                10000000000000000000ULL};

// The digits of q (q > 0) into d, returning their count.
int writeDigits(uint64_t q, char* d) {
    char tmp[24];
    int n = 0;
    while (q >= 100) {
        static constexpr char Pairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        const unsigned r = static_cast<unsigned>(q % 100);
        q /= 100;
        tmp[n++] = Pairs[2 * r + 1];
        tmp[n++] = Pairs[2 * r];
    }
    if (q >= 10) {
        tmp[n++] = static_cast<char>('0' + q % 10);
        q /= 10;
    }
    tmp[n++] = static_cast<char>('0' + q);
    for (int i = 0; i < n; ++i)
        d[i] = tmp[n - 1 - i];
    return n;
}

void stripZeros(Decimal& x) {
    while (x.n > 0 && x.d[x.n - 1] == '0')
        --x.n;
}

// |v| rounded to `precision` significant digits, halves away from zero, by
// exact integer arithmetic: v = m * 2^e, and v * 10^k (k putting the last
// kept digit at the units) is m * 10^k / 2^-e, whose quotient and remainder
// a 128-bit integer holds exactly. False when v is out of that arithmetic's
// range (then the digits come from the general path).
bool fastDigits(double v, int precision, uint64_t& digits, int& exponent) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);
    if (field == 0) return false; // subnormal
    const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int e = field - 1075; // v = m * 2^e exactly, 2^52 <= m < 2^53
    if (e > 0 || e < -120) return false;
    const int s = -e;
    // The decimal exponent E with 10^E <= v < 10^(E+1): floor(log10(2^(e+52)))
    // as a first estimate (1233 / 4096 is log10(2) to 4 digits), then corrected.
    int E = ((e + 52) * 1233) >> 12;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = precision - 1 - E; // v * 10^k has `precision` integer digits
        if (k < 0 || k > 22) return false;
        const unsigned __int128 n = k <= 19 ? static_cast<unsigned __int128>(m) * Pow10[k]
                                            : static_cast<unsigned __int128>(m) * Pow10[19] * Pow10[k - 19];
        if (s != 0 && (n >> s) >= (static_cast<unsigned __int128>(1) << 63)) return false;
        uint64_t q = s == 0 ? static_cast<uint64_t>(n) : static_cast<uint64_t>(n >> s);
        if (q >= Pow10[precision]) { // one digit more than estimated
            ++E;
            continue;
        }
        if (q < Pow10[precision - 1]) { // one digit fewer
            --E;
            continue;
        }
        // Halves away from zero: up when the remainder is at least half.
        if (s != 0 && ((n >> (s - 1)) & 1)) ++q;
        exponent = E + 1;
        if (q == Pow10[precision]) { // 9.99.. rounded up to 10.00..
            q = Pow10[precision - 1];
            ++exponent;
        }
        digits = q;
        return true;
    }
    return false;
}

bool fastRound(double v, int precision, Decimal& x) {
    uint64_t q = 0;
    if (!fastDigits(v, precision, q, x.exponent)) return false;
    x.n = writeDigits(q, x.d);
    stripZeros(x);
    return true;
}

// Writes the decimal digits of q right to left, ending just before `end`.
char16_t* digitsBackwards(uint64_t q, char16_t* end, int count) {
    for (int i = 0; i < count; ++i) {
        *--end = static_cast<char16_t>(u'0' + q % 10);
        q /= 10;
    }
    return end;
}

int digitCount(uint64_t q) {
    int n = 1;
    while (n < 20 && q >= Pow10[n])
        ++n;
    return n;
}

// general on the fast path: 15 digits without their trailing zeros, in
// fixed notation (scientific notation takes the general path).
bool fastGeneral(double v, QString& text) {
    if (v == 0.0) return false;
    uint64_t q = 0;
    int exponent = 0;
    if (!fastDigits(std::fabs(v), 15, q, exponent) || exponent > 15 || exponent < -3) return false;
    int count = 15;
    while (q % 10 == 0) {
        q /= 10;
        --count;
    }
    const int decimals = std::max(0, count - exponent);
    // A whole number keeps the zeros before its point.
    const uint64_t whole = count < exponent ? q * Pow10[exponent - count] : q / Pow10[decimals];
    const int wholeDigits = digitCount(whole);
    const bool negative = std::signbit(v);
    const qsizetype size = (negative ? 1 : 0) + wholeDigits + (decimals > 0 ? decimals + 1 : 0);
    text = QString(size, Qt::Uninitialized);
    char16_t* p = reinterpret_cast<char16_t*>(text.data()) + size;
    if (decimals > 0) {
        p = digitsBackwards(q % Pow10[decimals], p, decimals);
        *--p = u',';
    }
    p = digitsBackwards(whole, p, wholeDigits);
    if (negative) *--p = u'-';
    return true;
}

// fixed(d) on the fast path: `precision` digits, then rounded to `decimals`
// decimals on the integer, written straight into the text. False when the
// value needs the general path or scientific notation.
bool fastFixed(double v, int decimals, int precision, QStringView suffix, QString& text) {
    if (v == 0.0 || decimals > 6) return false;
    const double a = std::fabs(v);
    uint64_t q = 0;
    int exponent = 0;
    if (!fastDigits(a, precision, q, exponent) || exponent > precision) return false;
    // q * 10^(exponent - precision) is the value; keep `decimals` decimals.
    const int drop = precision - exponent - decimals;
    if (drop > 0) {
        if (drop > precision) {
            q = 0;
        } else {
            const uint64_t unit = Pow10[drop];
            const uint64_t rest = q % unit;
            q /= unit;
            if (rest * 2 >= unit) ++q; // halves away from zero
        }
    } else if (drop < 0) {
        if (-drop > 4) return false;
        q *= Pow10[-drop];
    }
    // q is now the value times 10^decimals.
    const bool negative = std::signbit(v) && q != 0;
    const uint64_t whole = q / Pow10[decimals];
    const int wholeDigits = digitCount(whole);
    const qsizetype size =
        (negative ? 1 : 0) + wholeDigits + (decimals > 0 ? decimals + 1 : 0) + suffix.size();
    text = QString(size, Qt::Uninitialized);
    char16_t* begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* p = begin + size - suffix.size();
    for (qsizetype i = 0; i < suffix.size(); ++i)
        p[i] = suffix[i].unicode();
    if (decimals > 0) {
        p = digitsBackwards(q % Pow10[decimals], p, decimals);
        *--p = u',';
    }
    p = digitsBackwards(whole, p, wholeDigits);
    if (negative) *--p = u'-';
    return true;
}

// The general path: the exact digits from std::to_chars, 17 of them unless
// they end on an exact half of the last kept digit (then 40, then all 780).
void exactRound(double v, int precision, Decimal& x) {
    thread_local std::string digits;
    int exp10 = 0;
    scientificDigits(v, 17, digits, exp10);
    if (isTieTail(digits, static_cast<size_t>(precision))) {
        scientificDigits(v, 40, digits, exp10);
        if (isTieTail(digits, static_cast<size_t>(precision))) scientificDigits(v, 780, digits, exp10);
    }
    if (roundDigitsHalfUp(digits, static_cast<size_t>(precision))) ++exp10;
    x.n = static_cast<int>(digits.size());
    std::copy(digits.begin(), digits.end(), x.d);
    x.exponent = exp10 + 1;
}

Decimal rounded(double v, int precision) {
    Decimal x;
    if (v == 0.0 || !std::isfinite(v)) return x;
    x.negative = std::signbit(v);
    const double a = std::fabs(v);
    if (!fastRound(a, precision, x)) exactRound(a, precision, x);
    if (x.n == 0) x.negative = false;
    return x;
}

// Rounds the digits at position `keep` (halves up) and strips trailing zeros.
void roundAt(Decimal& x, int keep) {
    if (keep >= x.n) return;
    if (keep < 0) {
        x.n = 0;
        return;
    }
    const bool up = x.d[keep] >= '5';
    x.n = keep;
    if (up) {
        int i = x.n - 1;
        while (i >= 0 && x.d[i] == '9')
            x.d[i--] = '0';
        if (i >= 0) {
            ++x.d[i];
        } else {
            // 0.999 -> 1.000: a new leading digit
            for (int j = x.n; j > 0; --j)
                x.d[j] = x.d[j - 1];
            x.d[0] = '1';
            ++x.n;
            ++x.exponent;
        }
    }
    stripZeros(x);
}

// The text of the characters in `buf`, made in one allocation.
QString textOf(const char* buf, qsizetype size) {
    QString s(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = static_cast<unsigned char>(buf[i]);
    return s;
}

int scientificChars(const Decimal& x, char* buf) {
    char* p = buf;
    if (x.negative) *p++ = '-';
    *p++ = x.d[0];
    if (x.n > 1) {
        *p++ = ',';
        for (int i = 1; i < x.n; ++i)
            *p++ = x.d[i];
    }
    *p++ = 'E';
    p = std::to_chars(p, buf + 40, x.exponent - 1).ptr;
    return static_cast<int>(p - buf);
}

// Fixed notation with exactly `decimals` decimals (the digits hold no more).
QString fixedText(const Decimal& x, int decimals, QStringView suffix = {}) {
    const int intDigits = (x.n == 0 || x.exponent <= 0) ? 1 : x.exponent;
    const qsizetype size =
        (x.negative ? 1 : 0) + intDigits + (decimals > 0 ? decimals + 1 : 0) + suffix.size();
    QString s(size, Qt::Uninitialized);
    char16_t* p = reinterpret_cast<char16_t*>(s.data());
    if (x.negative) *p++ = u'-';
    const auto digitAt = [&](int pos) -> char16_t {
        return (pos >= 0 && pos < x.n) ? char16_t(x.d[pos]) : u'0';
    };
    if (x.n == 0 || x.exponent <= 0) {
        *p++ = u'0';
    } else {
        for (int i = 0; i < x.exponent; ++i)
            *p++ = digitAt(i);
    }
    if (decimals > 0) {
        *p++ = u',';
        for (int k = 0; k < decimals; ++k)
            *p++ = x.n == 0 ? u'0' : digitAt(x.exponent + k);
    }
    for (QChar c : suffix)
        *p++ = c.unicode();
    return s;
}

QString withSuffix(const char* buf, int size, QStringView suffix) {
    QString s = textOf(buf, size);
    if (!suffix.isEmpty()) s.append(suffix);
    return s;
}

} // namespace

DecimalDigits roundToSignificant(double v, int precision) {
    const Decimal x = rounded(v, precision);
    DecimalDigits r;
    r.negative = x.negative;
    r.digits.assign(x.d, static_cast<size_t>(x.n));
    r.exponent = x.exponent;
    return r;
}

QString formatGeneral(double v) {
    QString text;
    if (fastGeneral(v, text)) return text;
    const Decimal x = rounded(v, 15);
    if (x.n == 0) return QStringLiteral("0");
    if (x.exponent > 15 || x.exponent < -3) {
        char buf[48];
        return textOf(buf, scientificChars(x, buf));
    }
    return fixedText(x, std::max(0, x.n - x.exponent));
}

QString formatFixed(double v, int decimals, int precision, QStringView suffix) {
    QString text;
    if (fastFixed(v, decimals, precision, suffix, text)) return text;
    Decimal x = rounded(v, precision);
    if (x.n != 0 && x.exponent > precision) {
        char buf[48];
        return withSuffix(buf, scientificChars(x, buf), suffix);
    }
    if (x.n != 0) roundAt(x, x.exponent + decimals);
    if (x.n == 0) x.negative = false;
    return fixedText(x, decimals, suffix);
}

QString formatFixed(double v, int decimals, int precision) {
    return formatFixed(v, decimals, precision, {});
}

namespace {
// The common text: at most 15 digits with an optional sign and comma, no
// exponent. Its digits make an integer below 2^53 and the division by a power
// of ten is then correctly rounded, exactly the value the general reading
// gives. False when the text is of another kind.
bool quickRead(QStringView t, double& value) {
    const qsizetype n = t.size();
    if (n == 0 || n > 17) return false;
    qsizetype i = 0;
    const bool negative = t[0] == u'-';
    if (negative || t[0] == u'+') ++i;
    uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool comma = false;
    for (; i < n; ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            mantissa = mantissa * 10 + (c - u'0');
            ++digits;
            if (comma) ++decimals;
        } else if (c == u',' && !comma) {
            comma = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15) return false;
    const double v = static_cast<double>(mantissa) / static_cast<double>(Pow10[decimals]);
    value = negative ? -v : v;
    return true;
}
} // namespace

bool tryTextToFloat(const QString& text, double& value) {
    // Blanks around are ignored; the rest must be the whole number.
    const QStringView t = QStringView(text).trimmed();
    if (quickRead(t, value)) return true;
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
