#include "WindowOutputs.h"

#include "UiServices.h"
#include "core/Errors.h"
#include "core/FileIo.h"
#include "output/ChartWorkbook.h"
#include "output/Protocol.h"
#include "output/ReportPages.h"
#include "output/WordDocument.h"
#include "print/ReportPainter.h"

#include <QFileInfo>

namespace prolis {

OutputResult saveTextFile(UiServices& ui, out::SaveDialogState& dialog, const QByteArray& bytes) {
    const QString proposed = QFileInfo(dialog.lastChoice).fileName();
    const QString chosen = ui.saveFileName(out::dataFolder(), proposed, out::TextFilter);
    if (chosen.isEmpty()) return OutputResult::Cancelled;
    dialog.lastChoice = chosen;
    const QString path = QFileInfo(out::withTxtExtension(chosen)).absoluteFilePath();
    QString reason;
    if (!writeWholeFile(path, bytes, &reason)) {
        ui.message(MsgKind::Error, QStringLiteral("Error"),
                   QStringLiteral("Protokol nebyl uložen.\r") + path + QStringLiteral(": ") + reason,
                   Buttons::Ok);
        return OutputResult::Failed;
    }
    return OutputResult::Done;
}

OutputResult handOverDocument(UiServices& ui, const QString& mimeType, const QString& missing,
                              const QString& stem, const QString& extension,
                              const std::function<QByteArray()>& build) {
    if (!ui.hasApplicationFor(mimeType)) {
        ui.message(MsgKind::Plain, AppTitle, missing, Buttons::Ok);
        return OutputResult::Unavailable;
    }
    const QString path = out::writeNewDocument(stem, extension, build());
    const QString failure = ui.openDocument(path);
    if (!failure.isEmpty()) throw Error(QStringLiteral("Dokument %1 nelze otevřít: %2").arg(path, failure));
    return OutputResult::Done;
}

// The modal print preview of report pages; done when it closes, printed or not.
OutputResult WindowOutputs::preview(const QList<out::Page>& pages) {
    m_ui.printPreview([&](QPagedPaintDevice* device) { paintReport(device, pages); });
    return OutputResult::Done;
}

OutputResult WindowOutputs::word(const QString& stem, const std::function<out::WordDocument()>& document) {
    return handOverDocument(m_ui, out::WordMimeType, out::MsgNoWord, stem, QStringLiteral("docx"),
                            [&] { return out::docxBytes(document()); });
}

OutputResult WindowOutputs::WriteTextProtocol(const fwd::Souhrn& record) {
    return saveTextFile(m_ui, m_dialog, out::textFileBytes(out::forwardProtocol(record, out::Flavour::Text)));
}

OutputResult WindowOutputs::WriteWordDocument(const fwd::Souhrn& record) {
    return word(QStringLiteral("Dopredne"), [&] { return out::forwardDocument(record); });
}

OutputResult WindowOutputs::PrintReport(const fwd::Souhrn& record) {
    return preview(out::forwardReport(record));
}

OutputResult WindowOutputs::WriteTextProtocol(const bwd::Souhrn& record) {
    return saveTextFile(m_ui, m_dialog,
                        out::textFileBytes(out::backwardProtocol(record, out::Flavour::Text)));
}

OutputResult WindowOutputs::WriteWordDocument(const bwd::Souhrn& record) {
    return word(QStringLiteral("Zpetne"), [&] { return out::backwardDocument(record); });
}

OutputResult WindowOutputs::PrintReport(const bwd::Souhrn& record) {
    return preview(out::backwardReport(record));
}

OutputResult WindowOutputs::WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) {
    return saveTextFile(m_ui, m_dialog, out::textFileBytes(out::summaryTable(rows)));
}

OutputResult WindowOutputs::WriteSummaryWord(const QList<bwd::SouhrnVysl>& rows) {
    return word(QStringLiteral("Zpetne-souhrn"), [&] { return out::summaryDocument(rows); });
}

OutputResult WindowOutputs::PrintSummaryReport(const QList<bwd::SouhrnVysl>& rows) {
    return preview(out::summaryReport(rows));
}

OutputResult WindowOutputs::DrawChart(const QList<bwd::SouhrnVysl>& rows) {
    // The spreadsheet first, as the system asks for it; then the rows.
    if (!m_ui.hasApplicationFor(out::SpreadsheetMimeType)) {
        m_ui.message(MsgKind::Plain, AppTitle, out::MsgNoExcel, Buttons::Ok);
        return OutputResult::Unavailable;
    }
    if (rows.isEmpty()) {
        m_ui.message(MsgKind::Plain, AppTitle, out::MsgNoSummaryRows, Buttons::Ok);
        return OutputResult::Unavailable;
    }
    const QString stem =
        QStringLiteral("Graf-") + out::safeFileName(rows.constFirst()[bwd::SummaryField::Ocel]);
    return handOverDocument(m_ui, out::SpreadsheetMimeType, out::MsgNoExcel, stem, QStringLiteral("xlsx"),
                            [&] { return out::chartWorkbook(rows); });
}

} // namespace prolis
