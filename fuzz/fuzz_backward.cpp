// The backward calculation on typed field texts and a material: a record and
// summary row of finite number texts, a check's refusal, or one of the
// specified errors.
#include "FuzzInput.h"
#include "Invariants.h"
#include "domain/BackwardCalc.h"

using namespace prolis;
using namespace prolis::bwd;

namespace {
class Yes final : public Dialogue {
public:
    void inputMissing(const QString&) override {}
    void showMeanFriction(const QString& text) override { fuzz::checkNumberText(text, "f2str"); }
    void showReduction(const Reduction& r) override {
        fuzz::checkNumberText(r.bText, "b");
        fuzz::checkNumberText(r.epsText, "Epsilon");
    }
    void showStrain(const Strain& s) override {
        fuzz::checkNumberText(s.phi1Text, "Fi1");
        fuzz::checkNumberText(s.phicText, "Fic");
        fuzz::checkNumberText(s.phi2Text, "Fi2");
    }
    bool ask(const QString&) override { return true; }
    void declined(const QString&, const QString&) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const auto eq = static_cast<EquationKind>(in.byte() % 5 - 1);
    const Data material = in.material();
    const QStringList f = in.fields(6);
    const Inputs inputs{f[0], f[1], f[2], f[3], f[4], f[5]};
    Yes yes;
    bool stopFlag = false;
    try {
        const DataModel model(material);
        const std::optional<Entry> e =
            runCalculation(material, material.nazev, model, eq, inputs, stopFlag, yes);
        if (!e) return 0;
        using enum Field;
        for (Field field : {SigmaP1, SigmaPc, Aj1, Ajc, Ac, SigmaP2str, SigmaZ1str, F})
            fuzz::checkNumberText(e->record[field], fieldNames()[static_cast<size_t>(field)]);
        for (size_t i = 2; i < SummaryFieldCount; ++i)
            fuzz::checkNumberText(e->row.f[i], summaryFieldNames()[i]);
    } catch (const Error& e) {
        fuzz::checkError(e);
    }
    return 0;
}
