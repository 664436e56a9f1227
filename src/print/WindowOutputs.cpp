#include "WindowOutputs.h"

namespace prolis {

namespace {

class ForwardWindowOutputs final : public ForwardOutputs {
public:
    OutputResult WriteTextProtocol(const fwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Uložení protokolu do souboru *.TXT"));
    }
    OutputResult WriteWordDocument(const fwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Předání protokolu do MS Word"));
    }
    OutputResult PrintReport(const fwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Tisk protokolu"));
    }
};

class BackwardWindowOutputs final : public BackwardOutputs {
public:
    OutputResult WriteTextProtocol(const bwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Uložení protokolu do souboru *.TXT"));
    }
    OutputResult WriteWordDocument(const bwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Předání protokolu do MS Word"));
    }
    OutputResult PrintReport(const bwd::Souhrn&) override {
        return pendingOutput(QStringLiteral("Tisk protokolu"));
    }
    OutputResult WriteSummaryText(const QList<bwd::SouhrnVysl>&) override {
        return pendingOutput(QStringLiteral("Uložení souhrnných výsledků do souboru *.TXT"));
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
};

} // namespace

std::unique_ptr<ForwardOutputs> makeForwardOutputs() {
    return std::make_unique<ForwardWindowOutputs>();
}
std::unique_ptr<BackwardOutputs> makeBackwardOutputs() {
    return std::make_unique<BackwardWindowOutputs>();
}

} // namespace prolis
