#pragma once
// The backward extrusion unit's state, which outlives the window: the chosen
// material record, the history of records with their summary rows (row i
// belongs to record i, so they are kept together), and the stop flag that
// makes "Uložit" and "Tisk" skip the latest calculation.
#include "BackwardRecord.h"
#include "core/History.h"
#include "domain/Data.h"

#include <QList>

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
};

// The unit of the windows, for the whole run of the program.
BackwardUnit& backwardUnit();

} // namespace prolis::bwd
