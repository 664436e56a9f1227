#include "HistoryActions.h"

namespace prolis {

void runTickedActions(const PanelChecks& c, const EntryActions& a) {
    if (c.ulozit) {
        if (c.txt) a.writeText();
        if (c.doc) a.writeWord();
    }
    if (c.tisk) a.print();
    if (c.vymaz) a.remove();
}

} // namespace prolis
