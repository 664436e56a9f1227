#include "WindowOutputs.h"

#include "output/Protocol.h"
#include "output/TextSave.h"

namespace prolis {

namespace {

class ForwardWindowOutputs final : public ForwardOutputs {
public:
    OutputResult WriteTextProtocol(const fwd::Souhrn& record) override {
        return out::saveTextFile(m_dialog,
                                 out::textFileBytes(out::forwardProtocol(record, out::Flavour::Text)));
    }
    OutputResult WriteWordDocument(const fwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Předání protokolu do MS Word"));
    }
    OutputResult PrintReport(const fwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Tisk protokolu"));
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
    OutputResult WriteWordDocument(const bwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Předání protokolu do MS Word"));
    }
    OutputResult PrintReport(const bwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Tisk protokolu"));
    }
    OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>& rows) override {
        return out::saveTextFile(m_dialog, out::textFileBytes(out::summaryTable(rows)));
    }
    OutputResult WriteSummaryWord(const QList<bwd::SouhrnVysl>&) override {
        return pendingOutput(QStringLiteral("Předání souhrnných výsledků do MS Word"));
    }
    OutputResult PrintSummaryReport(const QList<bwd::SouhrnVysl>&) override {
        return pendingOutput(QStringLiteral("Tisk souhrnných výsledků"));
    }
    OutputResult DrawChart(const QList<bwd::SouhrnVysl>&) override {
        return pendingOutput(QStringLiteral("Graf závislosti síly na teplotě"));
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
