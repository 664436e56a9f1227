#pragma once
// What a click on a history line does with the ticked boxes; shared by both
// calculation windows.
#include "PanelChecks.h"

#include <functional>

namespace prolis {

// The actions of one history entry.
struct EntryActions {
    std::function<void()> writeText, writeWord, print, remove;
};

// A history line selected: save ("*.TXT", then "Word"), print, then delete, as ticked.
void runTickedActions(const PanelChecks& checks, const EntryActions& actions);

} // namespace prolis
