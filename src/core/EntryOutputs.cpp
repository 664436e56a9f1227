#include "EntryOutputs.h"

#include "UiServices.h"

namespace prolis {

void pendingOutput(const QString& what) {
    information(what + QStringLiteral(" zatím není k dispozici."));
}

void runTickedActions(const PanelChecks& c, EntryOutputs& outputs, int index,
                      const std::function<void(int)>& deleteEntry) {
    if (c.ulozit) {
        if (c.txt) outputs.WriteTextProtocol(index);
        if (c.doc) outputs.WriteWordDocument(index);
    }
    if (c.tisk) outputs.PrintReport(index);
    if (c.vymaz) deleteEntry(index);
}

bool confirmDeletion() {
    if (warningYesNo(QStringLiteral("Opravdu chcete smazat záznam?"))) return true;
    information(QStringLiteral("Záznam byl zachován."));
    return false;
}

void reportDeletion() {
    information(QStringLiteral("Záznam byl odstraněn."));
}

} // namespace prolis
