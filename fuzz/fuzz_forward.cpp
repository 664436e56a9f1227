// The forward calculation on typed field texts and a material: a record of
// finite number texts, a check's refusal, or one of the specified errors.
#include "FuzzInput.h"
#include "Invariants.h"
#include "domain/ForwardCalc.h"

using namespace prolis;
using namespace prolis::fwd;

namespace {
class Yes final : public Dialogue {
public:
    void inputMissing(const InputProblem&) override {}
    void showValidity(const Validity& v) override {
        for (const Ratio& r : v.rows)
            fuzz::checkNumberText(r.text, r.key);
    }
    bool ask(const Ratio&) override { return true; }
    void declined(const Ratio&) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const auto eq = static_cast<EquationKind>(in.byte() % 5 - 1);
    const auto die = static_cast<DieType>(in.byte() % 3 - 1);
    const Data material = in.material();
    const QStringList f = in.fields(11);
    Inputs inputs{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]};
    adjustInputsForDie(inputs, die);
    Yes yes;
    try {
        const DataModel model(material);
        const std::optional<Souhrn> r = runCalculation(material, material.nazev, model, eq, die, inputs, yes);
        if (!r) return 0;
        using enum Field;
        for (Field field : {h0D0, s0s3, EpsMax, Fi3, SigmaP3, Aj, SigmaPS, SigmaRo2, SigmaFi2, SigmaRo3,
                            SigmaFi3, SigmaR3, Tau3, SigmaZ2, SigmaR2, TauRZ2})
            fuzz::checkNumberText((*r)[field], fieldNames()[static_cast<size_t>(field)]);
        const bool cone = die == DieType::WithCone;
        for (Field field : cone
                               ? std::initializer_list<Field>{TauRoFi2, TauRoFi3, SigmaZ1, SigmaR1, TauRZ1, F}
                               : std::initializer_list<Field>{TauRoFi2min, TauRoFi2max, SigmaZ1max,
                                                              SigmaR1max, TauRZ1max, Fmax})
            fuzz::checkNumberText((*r)[field], fieldNames()[static_cast<size_t>(field)]);
    } catch (const Error& e) {
        fuzz::checkError(e);
    }
    return 0;
}
