#include "BackwardUnit.h"

namespace prolis::bwd {

void BackwardUnit::sortHistory() {
    history.sortByTemperature([](const Entry& e) { return temperatureValue(e.record[Teplota]); });
}

QList<SouhrnVysl> BackwardUnit::summaryRows() const {
    QList<SouhrnVysl> rows;
    rows.reserve(history.size());
    for (int i = 0; i < history.size(); ++i)
        rows.append(history.at(i).row);
    return rows;
}

BackwardUnit& backwardUnit() {
    static BackwardUnit unit;
    return unit;
}

namespace {
// The protocols, documents, reports and the chart are not built yet: say so
// instead of pretending.
class PendingOutputs final : public BackwardOutputs {
public:
    void WriteTextProtocol(int) override {
        pendingOutput(QStringLiteral("Uložení protokolu do souboru *.TXT"));
    }
    void WriteWordDocument(int) override { pendingOutput(QStringLiteral("Předání protokolu do MS Word")); }
    void PrintReport(int) override { pendingOutput(QStringLiteral("Tisk protokolu")); }
    void WriteSummaryText() override {
        pendingOutput(QStringLiteral("Uložení souhrnných výsledků do souboru *.TXT"));
    }
    void WriteSummaryWord() override {
        pendingOutput(QStringLiteral("Předání souhrnných výsledků do MS Word"));
    }
    void PrintSummaryReport() override { pendingOutput(QStringLiteral("Tisk souhrnných výsledků")); }
    void DrawChart() override { pendingOutput(QStringLiteral("Graf závislosti síly na teplotě")); }
};

PendingOutputs g_pending;
BackwardOutputs* g_outputs = &g_pending;
} // namespace

BackwardOutputs& backwardOutputs() {
    return *g_outputs;
}
void setBackwardOutputs(BackwardOutputs* outputs) {
    g_outputs = outputs ? outputs : &g_pending;
}

} // namespace prolis::bwd
