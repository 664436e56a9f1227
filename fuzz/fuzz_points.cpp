// The points reader and every fit on any bytes: a refusal names a line the
// file has (and that line holds something), and nothing that leaves a fit —
// constants, quality, the material file written from them — is infinite or
// not a number; the Polytropa stays within its bounds.
#include "Invariants.h"
#include "core/JsonWriter.h"
#include "domain/CurveFit.h"
#include "domain/DataFields.h"
#include "domain/DataJson.h"

#include <QRegularExpression>
#include <cmath>

using namespace prolis;

namespace {
// The lines of the bytes, broken at CR, LF and CR LF as the reader does.
QList<QByteArray> linesOf(const QByteArray& bytes) {
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text.split('\n');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const fit::ReadPoints read = fit::readPoints(bytes);
    if (!read.refusal.isEmpty()) {
        static const QRegularExpression line(QStringLiteral("^Řádek (\\d+): |\\(řádek (\\d+)\\)"));
        QRegularExpressionMatchIterator it = line.globalMatch(read.refusal);
        const QList<QByteArray> lines = linesOf(bytes);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const int n = (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toInt();
            if (n < 1 || n > lines.size() || lines[n - 1].trimmed().isEmpty())
                fuzz::violated("a refusal naming a line the file does not have", read.refusal);
        }
        if (!read.points.isEmpty()) fuzz::violated("points with a refusal", read.refusal);
        return 0;
    }
    if (read.points.size() < 2)
        fuzz::violated("a curve of fewer than two points", QString::number(read.points.size()));
    for (const fit::Point& p : read.points)
        if (!(p.phi > 0) || !(p.sigma > 0) || !std::isfinite(p.phi) || !std::isfinite(p.sigma))
            fuzz::violated("a point outside φ > 0, σp > 0", QString::number(p.phi));
    fit::Options o;
    o.polytropaC = size % 2 == 0;
    o.dDegree = static_cast<int>(size % 3);
    o.workDegree = 1 + static_cast<int>(size % 9);
    const fit::Fits fits = fit::fitAll(read.points, o);
    for (const fit::Fit& f : fits.fits) {
        if (!f.made()) {
            if (f.reason.isEmpty() || !f.laws.isEmpty())
                fuzz::violated("a fit not made without its reason", f.caption());
            continue;
        }
        for (double v : {f.quality.r2, f.quality.maxDeviation, f.quality.maxDeviationPercent,
                         f.quality.phiMin, f.quality.phiMax})
            if (!std::isfinite(v)) fuzz::violated("a non-finite quality", f.caption());
        for (const fit::Law& law : f.laws)
            for (double v : law.values)
                if (!std::isfinite(v)) fuzz::violated("a non-finite constant", f.caption());
    }
    const Data d = fits.constants();
    if (fits.of(fit::FitKind::Polytropa).made() &&
        !(d.pol_a > 0 && d.pol_b > 0 && d.pol_b <= 1 && d.pol_c >= 0))
        fuzz::violated("a Polytropa outside its bounds", QString::number(d.pol_b));
    for (const DataField& f : dataFields())
        if (f.kind == FieldKind::Number && !std::isfinite(f.of(d)))
            fuzz::violated("a non-finite field", f.column);
    QByteArray json;
    JsonWriter w(json, true);
    writeData(w, d); // raises on a non-finite number
    w.finish();
    return 0;
}
