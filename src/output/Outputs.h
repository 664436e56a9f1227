#pragma once
// The outputs of the calculation windows: each takes a record (or the summary
// rows), does its work through the UI services and says what happened; the
// window applies the consequences (the backward stop flag).
#include "domain/BackwardRecord.h"
#include "domain/ForwardRecord.h"

#include <QList>

namespace prolis {

enum class OutputResult {
    Done,        // written, handed over or previewed
    Cancelled,   // the user cancelled the save dialog
    Unavailable, // no application for the document, or the output does not exist
    Failed,      // the file could not be written (the user was told)
};

class ForwardOutputs {
public:
    virtual ~ForwardOutputs() = default;
    virtual OutputResult WriteTextProtocol(const fwd::Souhrn& record) = 0;
    virtual OutputResult WriteWordDocument(const fwd::Souhrn& record) = 0;
    virtual OutputResult PrintReport(const fwd::Souhrn& record) = 0;
};

class BackwardOutputs {
public:
    virtual ~BackwardOutputs() = default;
    virtual OutputResult WriteTextProtocol(const bwd::Souhrn& record) = 0;
    virtual OutputResult WriteWordDocument(const bwd::Souhrn& record) = 0;
    virtual OutputResult PrintReport(const bwd::Souhrn& record) = 0;
    virtual OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult WriteSummaryWord(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult PrintSummaryReport(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult DrawChart(const QList<bwd::SouhrnVysl>& rows) = 0;
};

} // namespace prolis
