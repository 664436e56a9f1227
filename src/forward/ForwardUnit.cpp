#include "ForwardUnit.h"

namespace prolis::fwd {

void ForwardUnit::sortHistory() {
    history.sortByTemperature([](const Souhrn& r) { return temperatureValue(r[Teplota]); });
}

ForwardUnit& forwardUnit() {
    static ForwardUnit unit;
    return unit;
}

namespace {
// The text protocol, the Word document and the printed report are not built
// yet: say so instead of pretending.
class PendingOutputs final : public ForwardOutputs {
public:
    void WriteTextProtocol(int) override {
        pendingOutput(QStringLiteral("Uložení protokolu do souboru *.TXT"));
    }
    void WriteWordDocument(int) override { pendingOutput(QStringLiteral("Předání protokolu do MS Word")); }
    void PrintReport(int) override { pendingOutput(QStringLiteral("Tisk protokolu")); }
};

PendingOutputs g_pending;
ForwardOutputs* g_outputs = &g_pending;
} // namespace

ForwardOutputs& forwardOutputs() {
    return *g_outputs;
}
void setForwardOutputs(ForwardOutputs* outputs) {
    g_outputs = outputs ? outputs : &g_pending;
}

} // namespace prolis::fwd
