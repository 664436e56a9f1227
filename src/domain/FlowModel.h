#pragma once
// The material model: the four flow-stress equations, the two work laws and
// the mean flow stress, evaluated on a material record at a logarithmic strain.
#include "domain/Data.h"

namespace prolis {

enum class EquationKind { None = -1, Polytropa = 0, Polynom3 = 1, Polynom5 = 2, Racionalni = 3 };

// Natural flow stress [MPa] by the chosen equation at strain phi.
double FlowStress(const Data& d, EquationKind kind, double phi);
// Specific deformation work [J/mm^3]: the `ppn` polynomial when ppn[0] != 0,
// otherwise the polytropic law when ppol_a != 0; otherwise a DataError.
double SpecificWork(const Data& d, double phi);
// Mean flow stress over 0..phi [MPa]: SpecificWork * 1000 / phi.
double MeanFlowStress(const Data& d, double phi);
// Whether the material supports the equation (its leading constant is not 0).
bool EquationAvailable(const Data& d, EquationKind kind);

inline const QString MsgNoWorkConstants =
    QStringLiteral("Materiál nemá konstanty pro výpočet přetvárné práce.");

// The material model as the calculations see it: the real equations, or fixed
// values in tests.
class MaterialModel {
public:
    virtual ~MaterialModel() = default;
    virtual double flowStressAt(EquationKind kind, double phi) const = 0;
    virtual double specificWorkAt(double phi) const = 0;
    virtual double meanFlowStressAt(double phi) const = 0;
    virtual double yieldStrength() const = 0; // Rp
};

// The equations of Data.
class DataModel final : public MaterialModel {
public:
    explicit DataModel(const Data& d) : m_data(d) {}
    double flowStressAt(EquationKind kind, double phi) const override {
        return FlowStress(m_data, kind, phi);
    }
    double specificWorkAt(double phi) const override { return SpecificWork(m_data, phi); }
    double meanFlowStressAt(double phi) const override { return MeanFlowStress(m_data, phi); }
    double yieldStrength() const override { return m_data.rp; }

private:
    const Data& m_data;
};

} // namespace prolis
