#pragma once
#include "domain/BackwardUnit.h"

#include "widgets/CalculationFrame.h"
#include <memory>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace Ui {
class TProtlZpet;
}

namespace prolis {

class BackwardOutputs;
class NumericKeyFilter;
class WindowOutputs;
enum class OutputResult;

// The backward extrusion window.
class TProtlZpet : public CalculationWindow<bwd::BackwardUnit, bwd::backwardUnit>, private bwd::Dialogue {
    Q_OBJECT
public:
    // `outputs` (not owned) replaces the window's own outputs, for tests.
    explicit TProtlZpet(QWidget* owner = nullptr, BackwardOutputs* outputs = nullptr);
    ~TProtlZpet() override;

    void VyberMaterialClick();
    void UkoncitClick();
    void VypocetClick();
    void RebuildHistoryList();
    void DeleteHistoryEntry(int index);
    void UlozitPClick();
    void TiskPClick();
    void GrafBBClick();
    void UlozitSClick();
    void TiskSClick();
    void ListBox1Click(int index);

    void selectEquation(int index);
    bwd::Inputs inputs() const;

private:
    // The conversation of "Výpočet": the mean friction, the labels of
    // CheckReduction and CheckStrain, questions and messages.
    void inputMissing(const QString& message) override;
    void showMeanFriction(const QString& f2str) override;
    void reductionStarts() override;
    void strainStarts() override;
    void showReduction(const bwd::Reduction& reduction) override;
    void showStrain(const bwd::Strain& strain) override;
    bool ask(const QString& question) override;
    void declined(const QString& question, const QString& refusal) override;

    // Says so (true) when the history is empty and `summary` is not ticked:
    // the button has nothing to output.
    bool refuseEmptyHistory(const QCheckBox* summary);
    // A summary output has ended: what it did decides the stop flag.
    void summaryOutputEnded(OutputResult result);
    QList<QLineEdit*> edits() const;

    std::unique_ptr<Ui::TProtlZpet> m_ui;
    std::unique_ptr<WindowOutputs> m_ownOutputs;
    BackwardOutputs* m_outputs;
    NumericKeyFilter* m_keys;
};

} // namespace prolis
