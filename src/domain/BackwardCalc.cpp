#include "BackwardCalc.h"

#include "core/CheckedMath.h"
#include "core/NumberText.h"
#include "core/NumericKey.h"
#include "domain/DataTexts.h"

#include <algorithm>

namespace prolis::bwd {

using enum Field;
using S = SummaryField;

const std::array<const char*, FieldCount>& fieldNames() {
    static const std::array<const char*, FieldCount> names{
        "Ocel",  "Rm",      "Rp",      "A5",  "Z",       "Teplota", "FiMax",      "FiStr",      "Fce", "D0",
        "h0",    "d",       "H",       "b",   "Epsilon", "Fi1",     "Fic",        "Fi2",        "f1",  "f2",
        "f2str", "SigmaP1", "SigmaPc", "Aj1", "Ajc",     "Ac",      "SigmaP2str", "SigmaZ1str", "F"};
    return names;
}

const std::array<const char*, SummaryFieldCount>& summaryFieldNames() {
    static const std::array<const char*, SummaryFieldCount> names{
        "Ocel", "Teplota", "SigmaP1", "SigmaPc", "Aj1", "Ajc", "Ac", "SigmaP2str", "SigmaZ1str", "F"};
    return names;
}

namespace {
// pi, pi/4 and 1/3 to extended precision, rounded to double.
constexpr double Pi = 3.1415926535897932385;
constexpr double QuarterPi = 0.78539816339744830963;
constexpr double Third = 0.33333333333333333334;
} // namespace

std::optional<QString> checkInputs(const QString& materialName, const Inputs& in, EquationKind eq) {
    if (materialName.isEmpty()) return MsgNoMaterial;
    for (const QString* t : {&in.D0, &in.h0, &in.d, &in.H})
        if (isMissing(*t)) return MsgNoDimensions;
    if (eq == EquationKind::None) return MsgNoEquation;
    if (isMissing(in.f1) || isMissing(in.f2)) return MsgNoFriction;
    return std::nullopt;
}

QString meanFriction(const Inputs& in) {
    const double f1 = textToFloat(in.f1);
    const double f2 = textToFloat(in.f2);
    return formatFixed(fp::div(fp::add(f1, f2), 2.0), 3);
}

double bottomThickness(const Inputs& in) {
    // b = H - (H - h0) * D0^2 / d^2
    const double H = textToFloat(in.H);
    const double h0 = textToFloat(in.h0);
    const double D0 = textToFloat(in.D0);
    const double d = textToFloat(in.d);
    return fp::sub(H, fp::div(fp::mul(fp::sub(H, h0), fp::sqr(D0)), fp::sqr(d)));
}

namespace {
// The strains of one reading of the fields.
struct Strains {
    double phi1, phic, phi2;
};

Strains strains(const Inputs& in) {
    const double bottom = bottomThickness(in);
    const double phi1 = fp::ln(fp::div(textToFloat(in.h0), bottom));
    // phic = phi1 * (1 + d / (4 * (D0 - d)))
    const double D0 = textToFloat(in.D0);
    const double d = textToFloat(in.d);
    const double phic = fp::mul(phi1, fp::add(1.0, fp::div(d, fp::mul(4.0, fp::sub(D0, d)))));
    return {phi1, phic, fp::sub(phic, phi1)};
}
} // namespace

Reduction reductionOf(const Inputs& in) {
    Reduction r;
    r.b = bottomThickness(in);
    const double h0 = textToFloat(in.h0);
    r.eps = fp::div(fp::sub(h0, r.b), h0);
    r.bText = formatFixed3(r.b);
    r.epsText = formatFixed3(r.eps);
    r.epsInRange = !(r.eps < 0.0 || r.eps > 0.6);
    return r;
}

Strain strainOf(const Inputs& in, double fimax) {
    Strain s;
    const Strains g = strains(in);
    s.phi1 = g.phi1;
    s.phic = g.phic;
    s.phi2 = g.phi2;
    s.phi1Text = formatFixed3(s.phi1);
    s.phicText = formatFixed3(s.phic);
    s.phi2Text = formatFixed3(s.phi2);
    s.phi1InRange = !(s.phi1 < 0.0 || s.phi1 > fimax);
    return s;
}

QString equationName(EquationKind eq) {
    switch (eq) {
    case EquationKind::Polytropa:
        return QStringLiteral("Polytropa");
    case EquationKind::Polynom3:
        return QStringLiteral("Polynom 3 stupně");
    case EquationKind::Polynom5:
        return QStringLiteral("Polynom 5 stupně");
    case EquationKind::Racionalni:
        return QStringLiteral("Racionálně lomená fce");
    case EquationKind::None:
        break;
    }
    return {};
}

void fillMaterialFields(Souhrn& r, const Data& m) {
    const auto texts = materialFieldTexts(m);
    std::copy(texts.begin(), texts.end(), r.f.begin()); // fields Ocel ... FiStr
}

Entry calculate(const Data& material, const MaterialModel& model, EquationKind eq, const Inputs& in,
                const QString& f2strText, const Reduction& reduction, const Strain& strain) {
    Entry e;
    Souhrn& r = e.record;
    r[Fi1] = strain.phi1Text;
    r[Fic] = strain.phicText;
    r[Fi2] = strain.phi2Text;
    r[b] = reduction.bText;
    r[Epsilon] = reduction.epsText;
    fillMaterialFields(r, material);

    // The summary row holds the record's numbers without their units.
    SouhrnVysl& s = e.row;
    const auto mpa = [&](SummaryField field, double v) {
        s[field] = formatFixed(v, 2);
        return s[field] + QStringLiteral(" MPa");
    };
    const auto work = [&](SummaryField field, double v) {
        s[field] = formatFixed(v, 4);
        return s[field] + QStringLiteral(" J/mm^3");
    };
    const Strains g = strains(in);
    const double sp1 = model.flowStressAt(eq, g.phi1);
    const double spc = model.flowStressAt(eq, g.phic);
    r[SigmaP1] = mpa(S::SigmaP1, sp1);
    r[SigmaPc] = mpa(S::SigmaPc, spc);
    r[D0] = in.D0 + QStringLiteral(" mm");
    r[h0] = in.h0 + QStringLiteral(" mm");
    r[d] = in.d + QStringLiteral(" mm");
    r[H] = in.H + QStringLiteral(" mm");
    r[f1] = in.f1;
    r[f2] = in.f2;
    r[f2str] = f2strText;
    const double aj1 = model.specificWorkAt(g.phi1);
    r[Aj1] = work(S::Aj1, aj1);
    const double ajc = model.specificWorkAt(g.phic);
    r[Ajc] = work(S::Ajc, ajc);
    const double vD0 = textToFloat(in.D0);
    const double vh0 = textToFloat(in.h0);
    const double volume = fp::div(fp::mul(fp::mul(fp::sqr(vD0), Pi), vh0), 4.0);
    s[S::Ac] = formatFixed(fp::mul(ajc, volume), 1);
    r[Ac] = s[S::Ac] + QStringLiteral(" J");
    const double sp2 = fp::div(fp::mul(fp::sub(ajc, aj1), 1000.0), g.phi2);
    r[SigmaP2str] = mpa(S::SigmaP2str, sp2);
    const double bottom = bottomThickness(in);
    const double vf1 = textToFloat(in.f1);
    const double vd = textToFloat(in.d);
    const double vf2str = textToFloat(f2strText);
    // (1 + f1 * (1/3) * (D0/d)) * sp1 + (1 + 2 * f2str * b / (D0 - d)) * sp2
    const double punch =
        fp::add(fp::mul(fp::add(1.0, fp::mul(fp::mul(vf1, Third), fp::div(vD0, vd))), sp1),
                fp::mul(fp::add(1.0, fp::div(fp::mul(fp::mul(2.0, vf2str), bottom), fp::sub(vD0, vd))), sp2));
    r[SigmaZ1str] = mpa(S::SigmaZ1str, punch);
    const double force = fp::div(fp::mul(fp::mul(fp::sqr(vd), QuarterPi), punch), 1000.0);
    s[S::F] = formatFixed(force, 2);
    r[F] = s[S::F] + QStringLiteral(" kN");
    s[S::Ocel] = r[Ocel];
    s[S::Teplota] = r[Teplota];

    r[Fce] = equationName(eq);
    return e;
}

std::optional<Entry> runCalculation(const Data& material, const QString& shownName,
                                    const MaterialModel& model, EquationKind eq, const Inputs& in,
                                    bool& stopFlag, Dialogue& dialogue) {
    if (const auto problem = checkInputs(shownName, in, eq)) {
        dialogue.inputMissing(*problem);
        return std::nullopt;
    }
    const QString f2str = meanFriction(in);
    dialogue.showMeanFriction(f2str);
    dialogue.reductionStarts();
    const Reduction reduction = reductionOf(in);
    dialogue.showReduction(reduction);
    stopFlag = false;
    if (!reduction.epsInRange && !dialogue.ask(QuestionEpsilon)) {
        stopFlag = true;
        dialogue.declined(QuestionEpsilon, RefusalEpsilon);
        return std::nullopt;
    }
    dialogue.strainStarts();
    const Strain strain = strainOf(in, material.fimax);
    dialogue.showStrain(strain);
    stopFlag = false;
    if (!strain.phi1InRange && !dialogue.ask(QuestionFi1)) {
        stopFlag = true;
        dialogue.declined(QuestionFi1, RefusalFi1);
        return std::nullopt;
    }
    return calculate(material, model, eq, in, f2str, reduction, strain);
}

QString historyLine(const Souhrn& r) {
    return r[Ocel] + QLatin1Char(' ') + r[Teplota] + QStringLiteral("°  D0 = ") + r[D0] +
           QStringLiteral(" h0 = ") + r[h0] + QStringLiteral(" d = ") + r[d] + QStringLiteral(" H = ") + r[H];
}

} // namespace prolis::bwd
