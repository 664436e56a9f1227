#include "FlowModel.h"

#include "core/CheckedMath.h"
#include "core/Errors.h"

#include <span>

namespace prolis {

namespace {
// pi to extended precision, rounded to double.
constexpr double Pi = 3.1415926535897932385;

// Sum over i of c[i] * phi^i with phi^i = exp(i * ln phi) for every i, the
// terms rounded to double and added in order of increasing i.
double polynomial(std::span<const double> c, double phi) {
    const double lnPhi = fp::ln(phi);
    double sum = 0;
    for (size_t i = 0; i < c.size(); ++i)
        sum = fp::add(sum, fp::mul(c[i], fp::exp(fp::mul(static_cast<double>(i), lnPhi))));
    return sum;
}
} // namespace

double FlowStress(const Data& d, EquationKind kind, double phi) {
    switch (kind) {
    case EquationKind::Polytropa:
        return fp::add(fp::mul(d.pol_a, fp::power(phi, d.pol_b)), d.pol_c);
    case EquationKind::Polynom3:
        return polynomial(d.pn3, phi);
    case EquationKind::Polynom5:
        return polynomial(d.pn5, phi);
    case EquationKind::Racionalni: {
        const double f = polynomial(d.rlff, phi);
        const double dd = polynomial(d.rlfd, phi);
        return fp::div(fp::mul(f, 4000.0), fp::mul(fp::sqr(dd), Pi));
    }
    case EquationKind::None:
        break;
    }
    throw DataError(QStringLiteral("Není vybrána rovnice pro výpočet přetvárného odporu."));
}

double SpecificWork(const Data& d, double phi) {
    if (d.ppn[0] != 0.0) {
        // ppn[0] and ppn[1] both multiply the first power; no constant term.
        double sum = fp::mul(d.ppn[0], phi);
        const double lnPhi = fp::ln(phi);
        for (size_t i = 1; i < d.ppn.size(); ++i)
            sum = fp::add(sum, fp::mul(d.ppn[i], fp::exp(fp::mul(static_cast<double>(i), lnPhi))));
        return sum;
    }
    if (d.ppol_a != 0.0) return fp::add(fp::mul(d.ppol_a, fp::power(phi, d.ppol_b)), fp::mul(d.ppol_c, phi));
    throw DataError(MsgNoWorkConstants);
}

double MeanFlowStress(const Data& d, double phi) {
    return fp::div(fp::mul(SpecificWork(d, phi), 1000.0), phi);
}

bool EquationAvailable(const Data& d, EquationKind kind) {
    switch (kind) {
    case EquationKind::Polytropa:
        return d.pol_a != 0.0;
    case EquationKind::Polynom3:
        return d.pn3[0] != 0.0;
    case EquationKind::Polynom5:
        return d.pn5[0] != 0.0;
    case EquationKind::Racionalni:
        return d.rlff[0] != 0.0 || d.rlfd[0] != 0.0;
    case EquationKind::None:
        break;
    }
    return false;
}

} // namespace prolis
