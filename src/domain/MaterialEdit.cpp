#include "MaterialEdit.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>

namespace prolis::edit {

QList<Data> records(const Material& m) {
    QList<Data> out = m.temperatures;
    for (Data& d : out) {
        d.nazev = m.nazev;
        d.rm = m.rm;
        d.rp = m.rp;
        d.a5 = m.a5;
        d.z = m.z;
    }
    std::sort(out.begin(), out.end(), [](const Data& a, const Data& b) { return a.teplo < b.teplo; });
    return out;
}

FromRecords fromRecords(const QList<Data>& list) {
    if (list.isEmpty()) return {std::nullopt, QStringLiteral("Soubor neobsahuje žádný materiál.")};
    Material m;
    const Data& first = list.first();
    m.nazev = first.nazev;
    m.rm = first.rm;
    m.rp = first.rp;
    m.a5 = first.a5;
    m.z = first.z;
    for (const Data& d : list) {
        if (d.nazev != m.nazev || d.rm != m.rm || d.rp != m.rp || d.a5 != m.a5 || d.z != m.z)
            return {
                std::nullopt,
                QStringLiteral("Záznamy souboru se liší v názvu nebo hodnotách materiálu (teplota %1 °C).")
                    .arg(d.teplo)};
        m.temperatures.append(d);
    }
    std::sort(m.temperatures.begin(), m.temperatures.end(),
              [](const Data& a, const Data& b) { return a.teplo < b.teplo; });
    return {m, {}};
}

namespace {
bool finite(const Data& d) {
    bool ok = std::isfinite(d.ppol_a) && std::isfinite(d.ppol_b) && std::isfinite(d.ppol_c) &&
              std::isfinite(d.pol_a) && std::isfinite(d.pol_b) && std::isfinite(d.pol_c) &&
              std::isfinite(d.fimax) && std::isfinite(d.fistr);
    for (double v : d.ppn)
        ok = ok && std::isfinite(v);
    for (double v : d.pn3)
        ok = ok && std::isfinite(v);
    for (double v : d.pn5)
        ok = ok && std::isfinite(v);
    for (double v : d.rlff)
        ok = ok && std::isfinite(v);
    for (double v : d.rlfd)
        ok = ok && std::isfinite(v);
    return ok;
}

double maxStrain(const Data& d) {
    return d.fimax > 0 ? d.fimax : 2.0;
}

// The strains of a curve: `points` of them, evenly over (0, φ(max)].
QList<double> strains(const Data& d, int points) {
    QList<double> phi;
    const double top = maxStrain(d);
    for (int i = 1; i <= points; ++i)
        phi.append(top * i / points);
    return phi;
}
} // namespace

QStringList refusals(const Material& m) {
    QStringList out;
    if (m.nazev.trimmed().isEmpty()) out << QStringLiteral("Název materiálu nesmí být prázdný.");
    if (m.nazev.size() > 100) out << QStringLiteral("Název materiálu je delší než 100 znaků.");
    for (double v : {m.rm, m.rp, m.a5, m.z})
        if (!std::isfinite(v)) {
            out << QStringLiteral("Hodnoty materiálu musí být konečná čísla.");
            break;
        }
    QList<int> seen;
    for (const Data& d : m.temperatures) {
        if (seen.contains(d.teplo)) out << QStringLiteral("Teplota %1 °C je zadána vícekrát.").arg(d.teplo);
        seen.append(d.teplo);
        if (!finite(d))
            out << QStringLiteral("Konstanty při teplotě %1 °C musí být konečná čísla.").arg(d.teplo);
    }
    return out;
}

QStringList warnings(const Material& m) {
    QStringList out;
    if (m.rp > m.rm) out << QStringLiteral("Mez kluzu Rp je větší než mez pevnosti Rm.");
    for (const Data& d : m.temperatures) {
        const QString at = QStringLiteral(" (teplota %1 °C)").arg(d.teplo);
        if (d.fistr > d.fimax) out << QStringLiteral("φ(str) je větší než φ(max)") + at + QLatin1Char('.');
        if (d.ppol_a == 0.0 && d.ppn[0] == 0.0)
            out << QStringLiteral("Materiál nemá konstanty pro výpočet přetvárné práce") + at +
                       QLatin1Char('.');
        for (EquationKind k : availableEquations(d)) {
            const Curve c = flowCurve(d, k, 50);
            bool falls = c.phi.size() < 50, negative = false;
            for (qsizetype i = 0; i < c.value.size(); ++i) {
                negative = negative || c.value[i] < 0;
                falls = falls || (i > 0 && c.value[i] < c.value[i - 1]);
            }
            if (negative)
                out << QStringLiteral("Křivka rovnice %1 je záporná").arg(equationCaption(k)) + at +
                           QLatin1Char('.');
            else if (falls)
                out << QStringLiteral("Křivka rovnice %1 klesá").arg(equationCaption(k)) + at +
                           QLatin1Char('.');
        }
    }
    return out;
}

QList<EquationKind> availableEquations(const Data& d) {
    QList<EquationKind> out;
    for (EquationKind k :
         {EquationKind::Polytropa, EquationKind::Polynom3, EquationKind::Polynom5, EquationKind::Racionalni})
        if (EquationAvailable(d, k)) out.append(k);
    return out;
}

Curve flowCurve(const Data& d, EquationKind kind, int points) {
    Curve c;
    for (double phi : strains(d, points)) {
        try {
            const double v = FlowStress(d, kind, phi);
            c.phi.append(phi);
            c.value.append(v);
        } catch (const Error&) {
            // the model has no value here (a pole of the rational function, ...)
        }
    }
    return c;
}

Curve workCurve(const Data& d, int points) {
    Curve c;
    for (double phi : strains(d, points)) {
        try {
            const double v = SpecificWork(d, phi);
            c.phi.append(phi);
            c.value.append(v);
        } catch (const Error&) {
        }
    }
    return c;
}

QString equationCaption(EquationKind kind) {
    switch (kind) {
    case EquationKind::Polytropa:
        return QStringLiteral("Polytropa");
    case EquationKind::Polynom3:
        return QStringLiteral("Polynom 3 st.");
    case EquationKind::Polynom5:
        return QStringLiteral("Polynom 5 st.");
    case EquationKind::Racionalni:
        return QStringLiteral("Racionálně lomená fce");
    case EquationKind::None:
        break;
    }
    return {};
}

} // namespace prolis::edit
