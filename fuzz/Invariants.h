#pragma once
// What every fuzz target holds the code to: only the system's own errors,
// with their specified messages, and never an infinity or not-a-number in a
// result.
#include "core/Errors.h"
#include "core/NumberText.h"
#include "domain/FlowModel.h"

#include <QRegularExpression>
#include <QString>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace prolis::fuzz {

[[noreturn]] inline void violated(const char* what, const QString& detail) {
    std::fprintf(stderr, "INVARIANT VIOLATED: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

// An error the system may raise, with its exact text.
inline void checkError(const Error& e) {
    static const QRegularExpression convert(QStringLiteral("^'.*' is not a valid floating point value$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QString& m = e.message();
    if (dynamic_cast<const MathError*>(&e)) {
        if (m != msg::DivByZero && m != msg::InvalidOp && m != msg::Overflow) violated("math error text", m);
    } else if (dynamic_cast<const ConvertError*>(&e)) {
        if (!convert.match(m).hasMatch()) violated("conversion error text", m);
    } else if (dynamic_cast<const DataError*>(&e)) {
        if (m != MsgNoWorkConstants) violated("data error text", m);
    } else {
        violated("unexpected error", m);
    }
}

// Fifteen significant digits round a value near the largest double up to
// "1,79769313486232E308", which no longer fits a double: such a text still
// stands for a finite result.
inline bool roundedFromLargestDouble(const QString& number) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const QByteArray dotted = number.toLatin1().replace(',', '.');
    char* end = nullptr;
    const long double v = strtold_l(dotted.constData(), &end, c);
    return end == dotted.constData() + dotted.size() && std::isfinite(v) &&
           std::fabs(v) <= static_cast<long double>(DBL_MAX) * (1.0L + 1e-14L);
}

// A number text of a result: no infinity, no not-a-number, and it reads back
// (or is the rounding of a value at the top of the double range).
inline void checkNumberText(const QString& text, const char* field) {
    const QString lower = text.toLower();
    if (lower.contains(QLatin1String("inf")) || lower.contains(QLatin1String("nan"))) violated(field, text);
    const QString number = text.section(QLatin1Char(' '), 0, 0);
    double v = 0;
    if (tryTextToFloat(number, v) ? !std::isfinite(v) : !roundedFromLargestDouble(number)) violated(field, text);
}

} // namespace prolis::fuzz
