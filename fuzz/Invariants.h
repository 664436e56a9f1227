#pragma once
// What every fuzz target holds the code to: only the system's own errors,
// with their specified messages, and never an infinity or not-a-number in a
// result.
#include "core/Errors.h"
#include "core/NumberText.h"
#include "domain/FlowModel.h"

#include <QRegularExpression>
#include <QString>
#include <cstdio>
#include <cstdlib>

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

// A number text of a result: no infinity, no not-a-number, and it reads back.
inline void checkNumberText(const QString& text, const char* field) {
    const QString lower = text.toLower();
    if (lower.contains(QLatin1String("inf")) || lower.contains(QLatin1String("nan"))) violated(field, text);
    double v = 0;
    if (!tryTextToFloat(text.section(QLatin1Char(' '), 0, 0), v) || !std::isfinite(v)) violated(field, text);
}

} // namespace prolis::fuzz
