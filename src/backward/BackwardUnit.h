#pragma once
// The backward extrusion unit's state, which outlives the window: the chosen
// material record, the history of records with their summary rows (row i
// belongs to record i, so they are kept together), and the stop flag that
// makes "Uložit" and "Tisk" skip the latest calculation.
#include "BackwardRecord.h"
#include "core/EntryOutputs.h"
#include "core/History.h"
#include "material/Data.h"

#include <QList>

namespace prolis::bwd {

struct BackwardUnit {
    Data material;
    History<Entry> history;
    bool StopFlag = false;

    void sortHistory();
    // The summary rows in history order.
    QList<SouhrnVysl> summaryRows() const;
};

BackwardUnit& backwardUnit();

// The outputs of the backward window: one record (index into the history), or
// all summary rows.
class BackwardOutputs : public EntryOutputs {
public:
    virtual void WriteSummaryText() = 0;
    virtual void WriteSummaryWord() = 0;
    virtual void PrintSummaryReport() = 0;
    virtual void DrawChart() = 0;
};

BackwardOutputs& backwardOutputs();
void setBackwardOutputs(BackwardOutputs* outputs);

} // namespace prolis::bwd
