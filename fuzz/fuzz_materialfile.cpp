// The material-file reader on any bytes: a record of finite numbers, or the
// reader's own refusal.
#include "Invariants.h"
#include "domain/DataJson.h"

#include <cmath>

using namespace prolis;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const Data d = dataFromJson(text, QStringLiteral("fuzz.json"));
        const auto finite = [](double v) { return std::isfinite(v); };
        bool ok = finite(d.rm) && finite(d.rp) && finite(d.a5) && finite(d.z) && finite(d.fimax) &&
                  finite(d.fistr) && finite(d.pol_a) && finite(d.pol_b) && finite(d.pol_c) &&
                  finite(d.ppol_a) && finite(d.ppol_b) && finite(d.ppol_c);
        for (double v : d.ppn)
            ok = ok && finite(v);
        for (double v : d.pn3)
            ok = ok && finite(v);
        for (double v : d.pn5)
            ok = ok && finite(v);
        for (double v : d.rlff)
            ok = ok && finite(v);
        for (double v : d.rlfd)
            ok = ok && finite(v);
        if (!ok) fuzz::violated("a material with a non-finite constant", QString::fromUtf8(text.left(200)));
    } catch (const ConvertError&) {
    } catch (const RangeError& e) {
        if (e.message() != msg::RangeCheck) fuzz::violated("range error text", e.message());
    }
    return 0;
}
