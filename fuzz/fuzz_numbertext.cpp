// Text to number and number to text: any text is read or refused with the
// conversion error; any finite double gives texts that read back.
#include "Invariants.h"

#include <cmath>
#include <cstring>
#include <locale.h>

using namespace prolis;

namespace {
void roundTrip(double v) {
    // Beyond 1,79769313486231E308 the text of 15 digits rounds up past the
    // largest double and rightly does not read back.
    if (!std::isfinite(v) || std::fabs(v) > 1.79769313486231e308) return;
    const QString general = formatGeneral(v);
    double back = 0;
    if (!tryTextToFloat(general, back)) fuzz::violated("general text does not read back", general);
    // 15 significant digits: the text is within a relative 1e-14 of the value.
    if (std::fabs(back - v) > 1e-14 * std::fabs(v) + 1e-300) fuzz::violated("general text is off", general);
    for (int decimals : {0, 1, 2, 4}) {
        const QString fixed = formatFixed(v, decimals);
        if (!tryTextToFloat(fixed, back)) fuzz::violated("fixed text does not read back", fixed);
    }
    const QString three = formatFixed3(v);
    if (!tryTextToFloat(three, back)) fuzz::violated("three-decimal text does not read back", three);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    double v = 0;
    const bool ok = tryTextToFloat(text, v);
    if (ok) {
        if (!std::isfinite(v)) fuzz::violated("a text read as a non-finite number", text);
        roundTrip(v);
        // The same value as the C library reads from the text with a point.
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        const QByteArray point = text.trimmed().toLatin1().replace(',', '.');
        const double reference = strtod_l(point.constData(), nullptr, c);
        if (reference != v && !(reference == 0 && v == 0))
            fuzz::violated("read differently from strtod", text);
    }
    try {
        const double w = textToFloat(text);
        if (!ok || w != v) fuzz::violated("textToFloat and tryTextToFloat differ", text);
    } catch (const Error& e) {
        if (ok) fuzz::violated("textToFloat refused what tryTextToFloat read", text);
        fuzz::checkError(e);
    }
    int i = 0;
    tryTextToInt(text, i);
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        roundTrip(raw);
    }
    return 0;
}
