#include "HistoryActions.h"

#include "UiServices.h"

namespace prolis {

void runTickedActions(const PanelChecks& c, const EntryActions& a) {
    if (c.ulozit) {
        if (c.txt) a.writeText();
        if (c.doc) a.writeWord();
    }
    if (c.tisk) a.print();
    if (c.vymaz) a.remove();
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
