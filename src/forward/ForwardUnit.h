#pragma once
// The forward extrusion unit's state, which outlives the window: the chosen
// material record and the history of results.
#include "ForwardRecord.h"
#include "core/EntryOutputs.h"
#include "core/History.h"
#include "material/Data.h"

namespace prolis::fwd {

struct ForwardUnit {
    Data material;
    History<Souhrn> history;

    // Sorts the history by temperature (the exchange procedure).
    void sortHistory();
};

ForwardUnit& forwardUnit();

// The outputs of a history entry (index into the history).
using ForwardOutputs = EntryOutputs;

// The outputs in use; tests may install their own (not owned; null restores).
ForwardOutputs& forwardOutputs();
void setForwardOutputs(ForwardOutputs* outputs);

} // namespace prolis::fwd
