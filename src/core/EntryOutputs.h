#pragma once
// The outputs of one history entry (an index into the history) and the
// question and messages of deleting one; shared by both calculation units.
#include "PanelChecks.h"

#include <QString>
#include <functional>

namespace prolis {

class EntryOutputs {
public:
    virtual ~EntryOutputs() = default;
    virtual void WriteTextProtocol(int index) = 0;
    virtual void WriteWordDocument(int index) = 0;
    virtual void PrintReport(int index) = 0;
};

// Says that an output is not built yet, instead of pretending.
void pendingOutput(const QString& what);

// A history line selected: save ("*.TXT" or "Word"), print, then delete, as ticked.
void runTickedActions(const PanelChecks& checks, EntryOutputs& outputs, int index,
                      const std::function<void(int)>& deleteEntry);

// Asks before a deletion; on No says that the entry was kept.
bool confirmDeletion();
// Says that the entry was deleted.
void reportDeletion();

} // namespace prolis
