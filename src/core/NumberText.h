#pragma once
// Number texts as the system writes and reads them: always the decimal comma.
//
// Every format first rounds the exact binary value to a number of significant
// digits (15, or 6 for the three-decimal format), halves away from zero, and
// then rounds that decimal to the wanted number of decimals, again halves away
// from zero. printf and QLocale round the binary value with ties to even and
// must not be used for these texts.
#include <QString>
#include <QStringView>
#include <string>

namespace prolis {

// A decimal 0.d1d2...dn x 10^exponent; digits without trailing zeros,
// empty digits meaning zero.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool isZero() const { return digits.empty(); }
};

// general: the shortest text with at most 15 significant digits; scientific
// below 0.0001 in magnitude or beyond 15 integer digits ("1E-5", "1,5E-7", "1E20").
QString formatGeneral(double v);

// fixed(d): exactly d decimals after rounding to `precision` significant digits;
// scientific ("1,23457E6") when the integer part needs more digits than the precision.
QString formatFixed(double v, int decimals, int precision = 15);
// The same followed by `suffix` (a unit such as " MPa"), made in one piece.
QString formatFixed(double v, int decimals, int precision, QStringView suffix);

// The three-decimal format of the validity and strain values (precision 6).
inline QString formatFixed3(double v) {
    return formatFixed(v, 3, 6);
}

// Text to number: optional blanks around, optional sign, digits with at most
// one comma, optional exponent. Anything else, and a value beyond the double
// range, raises ConvertError "'%s' is not a valid floating point value".
double textToFloat(const QString& text);
bool tryTextToFloat(const QString& text, double& value);

// Whole number as the settings read it: optional sign and decimal digits, or a
// hexadecimal number with the prefix "$" or "0x"; 32-bit. No blanks allowed.
bool tryTextToInt(const QString& text, int& value);
// The same, raising ConvertError "'%s' is not a valid integer value".
int textToInt(const QString& text);

} // namespace prolis
