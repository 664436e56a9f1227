#include "WindowOutputs.h"

#include "ReportPainter.h"
#include "core/UiServices.h"
#include "output/ChartWorkbook.h"
#include "output/DocumentFiles.h"
#include "output/Protocol.h"
#include "output/ReportPages.h"
#include "output/TextSave.h"
#include "output/WordDocument.h"

namespace prolis {

namespace {

// The modal print preview of report pages; done when it closes, printed or not.
OutputResult preview(const QList<out::Page>& pages) {
    ui().printPreview([&](QPagedPaintDevice* device) { paintReport(device, pages); });
    return OutputResult::Done;
}

class ForwardWindowOutputs final : public ForwardOutputs {
public:
    OutputResult WriteTextProtocol(const fwd::Souhrn& record) override {
        return out::saveTextFile(m_dialog,
                                 out::textFileBytes(out::forwardProtocol(record, out::Flavour::Text)));
    }
    OutputResult WriteWordDocument(const fwd::Souhrn& record) override {
        return out::handOverDocument(out::WordMimeType, out::MsgNoWord, QStringLiteral("Dopredne"),
                                     QStringLiteral("docx"),
                                     [&] { return out::docxBytes(out::forwardDocument(record)); });
    }
    OutputResult PrintReport(const fwd::Souhrn& record) override {
        return preview(out::forwardReport(record));
    }

private:
    out::SaveDialogState m_dialog;
};

class BackwardWindowOutputs final : public BackwardOutputs {
public:
    OutputResult WriteTextProtocol(const bwd::Souhrn& record) override {
        return out::saveTextFile(m_dialog,
                                 out::textFileBytes(out::backwardProtocol(record, out::Flavour::Text)));
    }
    OutputResult WriteWordDocument(const bwd::Souhrn& record) override {
        return out::handOverDocument(out::WordMimeType, out::MsgNoWord, QStringLiteral("Zpetne"),
                                     QStringLiteral("docx"),
                                     [&] { return out::docxBytes(out::backwardDocument(record)); });
    }
    OutputResult PrintReport(const bwd::Souhrn& record) override {
        return preview(out::backwardReport(record));
    }
    OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) override {
        return out::saveTextFile(m_dialog, out::textFileBytes(out::summaryTable(rows)));
    }
    OutputResult WriteSummaryWord(const QList<bwd::SouhrnVysl>& rows) override {
        return out::handOverDocument(out::WordMimeType, out::MsgNoWord, QStringLiteral("Zpetne-souhrn"),
                                     QStringLiteral("docx"),
                                     [&] { return out::docxBytes(out::summaryDocument(rows)); });
    }
    OutputResult PrintSummaryReport(const QList<bwd::SouhrnVysl>& rows) override {
        return preview(out::summaryReport(rows));
    }
    OutputResult DrawChart(const QList<bwd::SouhrnVysl>& rows) override {
        // The spreadsheet first, as the system asks for it; then the rows.
        if (!ui().hasApplicationFor(out::SpreadsheetMimeType)) {
            showMessage(out::MsgNoExcel);
            return OutputResult::Unavailable;
        }
        if (rows.isEmpty()) {
            showMessage(out::MsgNoSummaryRows);
            return OutputResult::Unavailable;
        }
        const QString stem =
            QStringLiteral("Graf-") + out::safeFileName(rows.constFirst()[bwd::SummaryField::Ocel]);
        return out::handOverDocument(out::SpreadsheetMimeType, out::MsgNoExcel, stem, QStringLiteral("xlsx"),
                                     [&] { return out::chartWorkbook(rows); });
    }

private:
    out::SaveDialogState m_dialog; // the window's one save dialog
};

} // namespace

std::unique_ptr<ForwardOutputs> makeForwardOutputs() {
    return std::make_unique<ForwardWindowOutputs>();
}
std::unique_ptr<BackwardOutputs> makeBackwardOutputs() {
    return std::make_unique<BackwardWindowOutputs>();
}

} // namespace prolis
