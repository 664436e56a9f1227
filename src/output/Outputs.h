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

// The outputs of one record: its text protocol, Word document and report.
template <class Record> class RecordOutputs {
public:
    virtual ~RecordOutputs() = default;
    virtual OutputResult WriteTextProtocol(const Record& record) = 0;
    virtual OutputResult WriteWordDocument(const Record& record) = 0;
    virtual OutputResult PrintReport(const Record& record) = 0;
};

class ForwardOutputs : public RecordOutputs<fwd::Souhrn> {};

// The backward unit adds the outputs of its summary rows.
class BackwardOutputs : public RecordOutputs<bwd::Souhrn> {
public:
    virtual OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult WriteSummaryWord(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult PrintSummaryReport(const QList<bwd::SouhrnVysl>& rows) = 0;
    virtual OutputResult DrawChart(const QList<bwd::SouhrnVysl>& rows) = 0;
};

} // namespace prolis
