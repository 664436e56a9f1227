#include "BackwardUnit.h"

#include "core/UiServices.h"

namespace prolis::bwd {

void BackwardUnit::sortHistory()
{
    history.sortByTemperature([](const Entry& e) { return temperatureValue(e.record[Teplota]); });
}

QList<SouhrnVysl> BackwardUnit::summaryRows() const
{
    QList<SouhrnVysl> rows;
    rows.reserve(history.size());
    for (int i = 0; i < history.size(); ++i)
        rows.append(history.at(i).row);
    return rows;
}

BackwardUnit& backwardUnit()
{
    static BackwardUnit unit;
    return unit;
}

namespace {
// The protocols, documents, reports and the chart are not built yet: say so
// instead of pretending.
class PendingOutputs final : public BackwardOutputs {
public:
    void WriteTextProtocol(int) override { pending(QStringLiteral("Uložení protokolu do souboru *.TXT")); }
    void WriteWordDocument(int) override { pending(QStringLiteral("Předání protokolu do MS Word")); }
    void PrintReport(int) override { pending(QStringLiteral("Tisk protokolu")); }
    void WriteSummaryText() override { pending(QStringLiteral("Uložení souhrnných výsledků do souboru *.TXT")); }
    void WriteSummaryWord() override { pending(QStringLiteral("Předání souhrnných výsledků do MS Word")); }
    void PrintSummaryReport() override { pending(QStringLiteral("Tisk souhrnných výsledků")); }
    void DrawChart() override { pending(QStringLiteral("Graf závislosti síly na teplotě")); }

private:
    static void pending(const QString& what) { information(what + QStringLiteral(" zatím není k dispozici.")); }
};

PendingOutputs g_pending;
BackwardOutputs* g_outputs = &g_pending;
} // namespace

BackwardOutputs& backwardOutputs() { return *g_outputs; }
void setBackwardOutputs(BackwardOutputs* outputs) { g_outputs = outputs ? outputs : &g_pending; }

} // namespace prolis::bwd
