#pragma once
// The forward extrusion unit's state, which outlives the window: the chosen
// material record and the history of results.
#include "ForwardCalc.h"
#include "ForwardRecord.h"
#include "core/History.h"
#include "domain/Data.h"

#include <optional>

namespace prolis::fwd {

struct ForwardUnit {
    Data material;
    History<Souhrn> history;

    // Sorts the history by temperature (the exchange procedure).
    void sortHistory();
    // Appends the record of a calculation and sorts; returns its serial number.
    quint64 addCalculation(Souhrn record);

    // "Výpočet" of the window: the checks and questions, then the
    // calculation of the die on the unit's material; the serial number of
    // the calculation in the history, or none when a check stopped it.
    // Errors of conversion and arithmetic propagate, the history left as it was.
    std::optional<quint64> calculate(const QString& shownName, EquationKind eq, DieType die, const Inputs& in,
                                     Dialogue& dialogue);
};

// The unit of the windows, for the whole run of the program.
ForwardUnit& forwardUnit();

} // namespace prolis::fwd
