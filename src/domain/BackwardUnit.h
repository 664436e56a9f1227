#pragma once
// The backward extrusion unit's state, which outlives the window: the chosen
// material record, the history of records with their summary rows (row i
// belongs to record i, so they are kept together), and the stop flag that
// makes "Uložit" and "Tisk" skip the latest calculation.
#include "BackwardCalc.h"
#include "BackwardRecord.h"
#include "core/History.h"
#include "domain/Data.h"

#include <QList>
#include <optional>

namespace prolis::bwd {

struct BackwardUnit {
    Data material;
    History<Entry> history;
    bool StopFlag = false;

    void sortHistory();
    // Appends a calculation (record and summary row) and sorts; returns its serial number.
    quint64 addCalculation(Entry entry);
    // The summary rows in history order.
    QList<SouhrnVysl> summaryRows() const;

    // "Výpočet" of the window: the checks and questions (which set and clear
    // the stop flag), then the calculation on the unit's material; the
    // serial number of the calculation in the history, or none when a check
    // stopped it. Errors of conversion and arithmetic propagate, the history
    // left as it was.
    std::optional<quint64> calculate(const QString& shownName, EquationKind eq, const Inputs& in,
                                     Dialogue& dialogue);
    // A summary output ran (written, cancelled or failed, handed over,
    // previewed): "Uložit" and "Tisk" skip the latest calculation. One that
    // could not start is not said here and leaves the flag alone.
    void summaryOutputRan() { StopFlag = true; }
    // A summary box ticked or unticked: they act on it again.
    void summaryChoiceChanged() { StopFlag = false; }
};

// The unit of the windows, for the whole run of the program.
BackwardUnit& backwardUnit();

} // namespace prolis::bwd
