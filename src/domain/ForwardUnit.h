#pragma once
// The forward extrusion unit's state, which outlives the window: the chosen
// material record and the history of results.
#include "ForwardRecord.h"
#include "core/History.h"
#include "domain/Data.h"

namespace prolis::fwd {

struct ForwardUnit {
    Data material;
    History<Souhrn> history;

    // Sorts the history by temperature (the exchange procedure).
    void sortHistory();
    // Appends the record of a calculation and sorts; returns its serial number.
    quint64 addCalculation(Souhrn record);
};

// The unit of the windows, for the whole run of the program.
ForwardUnit& forwardUnit();

} // namespace prolis::fwd
