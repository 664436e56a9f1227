#pragma once
// The outputs the calculation windows use: text protocols through the save
// dialog, Word documents and the chart handed to the desktop, printed reports
// in the print preview, each through the UI services it is given. One object
// per window: it keeps what the window's save dialog remembers.
#include "output/DocumentFiles.h"
#include "output/Outputs.h"
#include "output/ReportPages.h"
#include "output/TextSave.h"
#include "output/WordDocument.h"

#include <QByteArray>
#include <functional>
#include <memory>

namespace prolis {

class UiServices;

// Asks for the file and writes `bytes` there. Cancelled: nothing written,
// nothing said. A write that fails shows an error box with the path and the
// reason, and leaves an existing file as it was.
OutputResult saveTextFile(UiServices& ui, out::SaveDialogState& dialog, const QByteArray& bytes);

// The hand-over of a document: without an application for `mimeType` the
// plain message `missing` and nothing else (Unavailable); otherwise the
// bytes `build` makes are written to a new document that is then opened
// (Done). A file that cannot be written or opened raises an Error with the
// path and the reason.
OutputResult handOverDocument(UiServices& ui, const QString& mimeType, const QString& missing,
                              const QString& stem, const QString& extension,
                              const std::function<QByteArray()>& build);

// The outputs of both calculation windows.
class WindowOutputs final : public ForwardOutputs, public BackwardOutputs {
public:
    explicit WindowOutputs(UiServices& ui) : m_ui(ui) {}

    OutputResult WriteTextProtocol(const fwd::Souhrn& record) override;
    OutputResult WriteWordDocument(const fwd::Souhrn& record) override;
    OutputResult PrintReport(const fwd::Souhrn& record) override;

    OutputResult WriteTextProtocol(const bwd::Souhrn& record) override;
    OutputResult WriteWordDocument(const bwd::Souhrn& record) override;
    OutputResult PrintReport(const bwd::Souhrn& record) override;
    OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) override;
    OutputResult WriteSummaryWord(const QList<bwd::SouhrnVysl>& rows) override;
    OutputResult PrintSummaryReport(const QList<bwd::SouhrnVysl>& rows) override;
    OutputResult DrawChart(const QList<bwd::SouhrnVysl>& rows) override;

private:
    OutputResult preview(const QList<out::Page>& pages);
    OutputResult word(const QString& stem, const std::function<out::WordDocument()>& document);

    UiServices& m_ui;
    out::SaveDialogState m_dialog; // the window's one save dialog
};

} // namespace prolis
