#include "ForwardCalc.h"

#include "core/CheckedMath.h"
#include "core/NumberText.h"
#include "core/NumericKey.h"
#include "domain/DataTexts.h"

#include <algorithm>

namespace prolis::fwd {

using enum Field;

const std::array<const char*, FieldCount>& fieldNames() {
    static const std::array<const char*, FieldCount> names{
        "Ocel",       "Rm",        "Rp",         "A5",          "Z",           "Teplota",  "FiMax",
        "FiStr",      "Fce",       "TypVypoctu", "D0",          "h0",          "D1",       "D2",
        "D3",         "L1",        "L3",         "h0D0",        "s0s3",        "EpsMax",   "Fi3",
        "SigmaP3",    "Aj",        "SigmaPS",    "Alfa2",       "f1",          "f2",       "f3",
        "SigmaRo2",   "SigmaFi2",  "TauRoFi2",   "TauRoFi2min", "TauRoFi2max", "SigmaRo3", "SigmaFi3",
        "TauRoFi3",   "SigmaR3",   "Tau3",       "SigmaZ1",     "SigmaR1",     "TauRZ1",   "SigmaZ1max",
        "SigmaR1max", "TauRZ1max", "SigmaZ2",    "SigmaR2",     "TauRZ2",      "F",        "Fmax"};
    return names;
}

namespace {
// pi/4 and pi/180 to extended precision, rounded to double.
constexpr double QuarterPi = 0.78539816339744830963;
constexpr double DegToRad = 0.017453292519943295769;

QString mpa(double v) {
    return formatFixed(v, 2, 15, u" MPa");
}
QString mm(const QString& text) {
    return text + QStringLiteral(" mm");
}
} // namespace

void adjustInputsForDie(Inputs& in, DieType die) {
    if (die == DieType::WithoutCone) {
        in.alpha2.clear();
        in.f2 = QStringLiteral("0,5");
    }
}

std::optional<InputProblem> checkInputs(const QString& materialName, const Inputs& in, EquationKind eq,
                                        DieType die) {
    if (materialName.isEmpty()) return InputProblem{MsgNoMaterial, 0};
    for (const QString* t : {&in.D0, &in.h0, &in.D1, &in.D2, &in.D3, &in.L1, &in.L3})
        if (isMissing(*t)) return InputProblem{MsgNoDimensions, 1};
    if (eq == EquationKind::None) return InputProblem{MsgNoEquation, 0};
    if (die == DieType::None) return InputProblem{MsgNoDieType, 0};
    if (die == DieType::WithCone && isMissing(in.alpha2)) return InputProblem{MsgNoAngle, 8};
    if (isMissing(in.f1) || isMissing(in.f2) || isMissing(in.f3)) return InputProblem{MsgNoFriction, 0};
    return std::nullopt;
}

Validity validityRatios(const Inputs& in, double fimax) {
    const double h0 = textToFloat(in.h0);
    const double d0 = textToFloat(in.D0);
    const double d2 = textToFloat(in.D2);
    const double d3 = textToFloat(in.D3);
    const double slenderness = fp::div(h0, d0);
    const double s0s3 = fp::div(fp::sqr(d0), fp::sqr(d3));
    const double eps = fp::div(fp::sub(fp::sqr(d0), fp::sqr(d3)), fp::sqr(d0));
    const double phi3 = fp::ln(fp::div(fp::sqr(d2), fp::sqr(d3)));
    const QString eQuestion =
        QStringLiteral("Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?");
    const QString d0d3 = QStringLiteral("Zadejte nové hodnoty D0 D3");
    Validity v;
    v.rows[0] = {"h0D0",
                 slenderness,
                 formatFixed3(slenderness),
                 3.0 <= slenderness && slenderness <= 8.0,
                 QStringLiteral("Jste mimo povolený interval pro h0/D0\rChcete pokracovat ve výpočtu ?"),
                 QStringLiteral("Zadejte nové hodnoty h0 D0")};
    v.rows[1] = {"s0s3",
                 s0s3,
                 formatFixed3(s0s3),
                 0.0 <= s0s3 && s0s3 <= 3.3,
                 QStringLiteral("Jste mimo povolený interval pro s0/s3\rChcete pokracovat ve výpočtu ?"),
                 d0d3};
    v.rows[2] = {"EpsMax", eps, formatFixed3(eps), 0.0 <= eps && eps <= 0.7, eQuestion, d0d3};
    v.rows[3] = {"Fi3", phi3, formatFixed3(phi3), 0.0 <= phi3 && phi3 <= fimax, eQuestion, d0d3};
    return v;
}

QString equationName(EquationKind eq) {
    switch (eq) {
    case EquationKind::Polytropa:
        return QStringLiteral("polytropa");
    case EquationKind::Polynom3:
        return QStringLiteral("polynom 3 stupně");
    case EquationKind::Polynom5:
        return QStringLiteral("polynom 5 stupně");
    case EquationKind::Racionalni:
        return QStringLiteral("racionálně lomená fce");
    case EquationKind::None:
        break;
    }
    return {};
}

QString dieTypeName(DieType die) {
    switch (die) {
    case DieType::WithCone:
        return QStringLiteral("s kuzelem");
    case DieType::WithoutCone:
        return QStringLiteral("bez kuzele");
    case DieType::None:
        break;
    }
    return {};
}

void fillEquationAndDieType(Souhrn& r, EquationKind eq, DieType die) {
    r[Fce] = equationName(eq);
    r[TypVypoctu] = dieTypeName(die);
}

void fillMaterialFields(Souhrn& r, const Data& m) {
    const auto texts = materialFieldTexts(m);
    std::copy(texts.begin(), texts.end(), r.f.begin()); // fields Ocel ... FiStr
}

namespace {
// The material values at phi3 = ln(D2^2 / D3^2) (steps 1 to 3).
struct MaterialValues {
    double sp, aj, sps;
};

double strainPhi3(const Inputs& in) {
    const double d2 = textToFloat(in.D2);
    const double d3 = textToFloat(in.D3);
    return fp::ln(fp::div(fp::sqr(d2), fp::sqr(d3)));
}

MaterialValues materialSteps(Souhrn& r, const MaterialModel& model, EquationKind eq, const Inputs& in) {
    MaterialValues v{};
    v.sp = model.flowStressAt(eq, strainPhi3(in));
    r[SigmaP3] = mpa(v.sp);
    v.aj = model.specificWorkAt(strainPhi3(in));
    r[Aj] = formatFixed(v.aj, 4, 15, u" J/mm^3");
    v.sps = model.meanFlowStressAt(strainPhi3(in));
    r[SigmaPS] = mpa(v.sps);
    return v;
}

// Step 4: the input texts as typed.
void inputTexts(Souhrn& r, const Inputs& in) {
    r[D0] = mm(in.D0);
    r[h0] = mm(in.h0);
    r[D1] = mm(in.D1);
    r[D2] = mm(in.D2);
    r[D3] = mm(in.D3);
    r[L1] = mm(in.L1);
    r[L3] = mm(in.L3);
    r[Alfa2] = in.alpha2 + QStringLiteral(" °");
    r[f1] = in.f1;
    r[f2] = in.f2;
    r[f3] = in.f3;
}

// X = (sigma_p / sigma_ps) * 4 * f3 * L3 / D3
double landTerm(double sp, double sps, double f3v, double l3, double d3) {
    return fp::div(fp::mul(fp::mul(fp::mul(fp::div(sp, sps), 4.0), f3v), l3), d3);
}

// Section 3, the die land (shared by both dies); returns nothing, fills the record.
void dieLand(Souhrn& r, double sp, double f3v, double l3, double d3, double f2ForShear, bool cone) {
    const double sRo3 = fp::mul(fp::mul(fp::mul(4.0, f3v), fp::div(l3, d3)), sp);
    r[SigmaRo3] = mpa(sRo3);
    const double sFi3 = fp::add(sRo3, sp);
    r[SigmaFi3] = mpa(sFi3);
    if (cone) r[TauRoFi3] = mpa(fp::mul(f2ForShear, sFi3));
    const double sR3 = sp;
    r[SigmaR3] = mpa(sR3);
    r[Tau3] = mpa(fp::mul(f3v, sR3));
}
} // namespace

void calculateWithoutCone(Souhrn& r, const MaterialModel& model, EquationKind eq, const Inputs& in) {
    const MaterialValues m = materialSteps(r, model, eq, in);
    inputTexts(r, in);
    textToFloat(in.f2); // converted, though no formula uses it
    const double d1 = textToFloat(in.D1), d2 = textToFloat(in.D2), d3 = textToFloat(in.D3);
    const double l1 = textToFloat(in.L1), l3 = textToFloat(in.L3);
    const double f1v = textToFloat(in.f1), f3v = textToFloat(in.f3);
    const double rp = model.yieldStrength();

    // Section 2, the die entry.
    const double x = landTerm(m.sp, m.sps, f3v, l3, d3);
    const double sRo2 = fp::mul(m.sps, fp::sub(fp::mul(fp::add(3.0, x), fp::div(d2, d3)), 3.0));
    r[SigmaRo2] = mpa(sRo2);
    r[SigmaFi2] = mpa(fp::add(sRo2, rp));
    r[TauRoFi2min] = mpa(fp::mul(0.5, rp));
    r[TauRoFi2max] = mpa(fp::mul(0.5, m.sp));

    dieLand(r, m.sp, f3v, l3, d3, 0.0, false);

    // Section 1, the container entry (radial stress equal to the axial one).
    const double sZ1max = fp::mul(sRo2, fp::exp(fp::div(fp::mul(fp::mul(4.0, f1v), l1), d1)));
    r[SigmaZ1max] = mpa(sZ1max);
    const double sR1max = sZ1max;
    r[SigmaR1max] = mpa(sR1max);
    r[TauRZ1max] = mpa(fp::mul(f1v, sR1max));

    // Section 2, the container exit (length 0).
    const double sZ2 = fp::mul(sRo2, fp::exp(0.0));
    r[SigmaZ2] = mpa(sZ2);
    const double sR2 = sZ2;
    r[SigmaR2] = mpa(sR2);
    r[TauRZ2] = mpa(fp::mul(f1v, sR2));

    const double fmax = fp::div(fp::mul(fp::mul(fp::sqr(d1), QuarterPi), sZ1max), 1000.0);
    r[Fmax] = formatFixed(fmax, 2, 15, u" kN");
}

void calculateWithCone(Souhrn& r, const MaterialModel& model, EquationKind eq, const Inputs& in) {
    const MaterialValues m = materialSteps(r, model, eq, in);
    inputTexts(r, in);
    const double alpha = fp::mul(fp::div(textToFloat(in.alpha2), 2.0), DegToRad);
    const double t = fp::tan(alpha);
    const double f2v = textToFloat(in.f2);
    const double d1 = textToFloat(in.D1), d2 = textToFloat(in.D2), d3 = textToFloat(in.D3);
    const double l1 = textToFloat(in.L1), l3 = textToFloat(in.L3);
    const double f1v = textToFloat(in.f1), f3v = textToFloat(in.f3);

    // Section 2, the entry of the reduction cone.
    const double x = landTerm(m.sp, m.sps, f3v, l3, d3);
    const double tf = fp::div(t, f2v);
    const double power = fp::power(fp::div(d2, d3), fp::div(fp::mul(2.0, f2v), t));
    const double sRo2 =
        fp::mul(m.sps, fp::sub(fp::sub(fp::mul(fp::add(fp::add(1.0, tf), x), power), tf), 1.0));
    r[SigmaRo2] = mpa(sRo2);
    const double sFi2 = fp::add(m.sps, sRo2);
    r[SigmaFi2] = mpa(sFi2);
    r[TauRoFi2] = mpa(fp::mul(f2v, sFi2));

    dieLand(r, m.sp, f3v, l3, d3, f2v, true);

    // Section 1, the container entry (radial stress 0.43 of the axial one).
    const double sZ1 = fp::mul(sRo2, fp::exp(fp::div(fp::mul(fp::mul(1.72, f1v), l1), d1)));
    r[SigmaZ1] = mpa(sZ1);
    const double sR1 = fp::mul(0.43, sZ1);
    r[SigmaR1] = mpa(sR1);
    r[TauRZ1] = mpa(fp::mul(f1v, sR1));

    // Section 2, the container exit (length 0).
    const double sZ2 = fp::mul(sRo2, fp::exp(0.0));
    r[SigmaZ2] = mpa(sZ2);
    const double sR2 = fp::mul(0.43, sZ2);
    r[SigmaR2] = mpa(sR2);
    r[TauRZ2] = mpa(fp::mul(f1v, sR2));

    const double force = fp::div(fp::mul(fp::mul(fp::sqr(d1), QuarterPi), sZ1), 1000.0);
    r[F] = formatFixed(force, 2, 15, u" kN");
}

Souhrn calculate(const Data& material, const MaterialModel& model, EquationKind eq, DieType die,
                 const Inputs& in, const Validity& validity) {
    Souhrn r;
    r[h0D0] = validity.rows[0].text;
    r[s0s3] = validity.rows[1].text;
    r[EpsMax] = validity.rows[2].text;
    r[Fi3] = validity.rows[3].text;
    fillEquationAndDieType(r, eq, die);
    fillMaterialFields(r, material);
    if (die == DieType::WithCone)
        calculateWithCone(r, model, eq, in);
    else
        calculateWithoutCone(r, model, eq, in);
    return r;
}

std::optional<Souhrn> runCalculation(const Data& material, const QString& shownName,
                                     const MaterialModel& model, EquationKind eq, DieType die,
                                     const Inputs& in, Dialogue& dialogue) {
    if (const auto problem = checkInputs(shownName, in, eq, die)) {
        dialogue.inputMissing(*problem);
        return std::nullopt;
    }
    dialogue.validityStarts();
    const Validity validity = validityRatios(in, material.fimax);
    dialogue.showValidity(validity);
    for (const Ratio& row : validity.rows) {
        if (row.inRange) continue;
        if (!dialogue.ask(row)) {
            dialogue.declined(row);
            return std::nullopt;
        }
    }
    return calculate(material, model, eq, die, in, validity);
}

QString historyLine(const Souhrn& r, const QString& separator) {
    return r[Ocel] + QLatin1Char(' ') + r[Teplota] + separator + r[D0] + QStringLiteral(" h0 = ") + r[h0] +
           QStringLiteral(" D1 = ") + r[D1] + QStringLiteral(" D2 = ") + r[D2] + QStringLiteral(" D3 = ") +
           r[D3] + QStringLiteral(" L1 = ") + r[L1] + QStringLiteral(" L3 = ") + r[L3];
}

} // namespace prolis::fwd
