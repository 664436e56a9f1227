#pragma once
// What a click on a history line does with the ticked boxes, and the question
// and messages of deleting an entry; shared by both calculation windows.
#include "PanelChecks.h"

#include <functional>

namespace prolis {

// The actions of one history entry.
struct EntryActions {
    std::function<void()> writeText, writeWord, print, remove;
};

// A history line selected: save ("*.TXT", then "Word"), print, then delete, as ticked.
void runTickedActions(const PanelChecks& checks, const EntryActions& actions);

// Asks before a deletion; on No says that the entry was kept.
bool confirmDeletion();
// Says that the entry was deleted.
void reportDeletion();

} // namespace prolis
