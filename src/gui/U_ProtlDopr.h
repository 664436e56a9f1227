#pragma once
#include "domain/ForwardUnit.h"

#include "widgets/CalculationFrame.h"
#include <memory>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace Ui {
class TProtlDopr;
}

namespace prolis {

class ForwardOutputs;
class NumericKeyFilter;
class WindowOutputs;

// The forward extrusion window.
class TProtlDopr : public CalculationWindow<fwd::ForwardUnit, fwd::forwardUnit>, private fwd::Dialogue {
    Q_OBJECT
public:
    // `outputs` (not owned) replaces the window's own outputs, for tests.
    explicit TProtlDopr(QWidget* owner = nullptr, ForwardOutputs* outputs = nullptr);
    ~TProtlDopr() override;

    void VyberMaterialClick();
    void UkoncitClick();
    void RcePretOdporuClick();
    void TypVypoctuClick();
    void VypocetClick();
    void ApplyCalculationType();
    void RebuildHistoryList(const QString& separator);
    void DeleteHistoryEntry(int index);
    void UlozitPClick();
    void TiskPClick();
    void ListBox1Click(int index);

    // The selected items (-1: none).
    fwd::DieType dieType() const;
    void selectEquation(int index); // as a click on the item
    void selectDieType(int index);  // as a click on the item
    fwd::Inputs inputs() const;

private:
    // The conversation of "Výpočet": labels, questions and messages.
    void inputMissing(const fwd::InputProblem& problem) override;
    void validityStarts() override;
    void showValidity(const fwd::Validity& validity) override;
    bool ask(const fwd::Ratio& ratio) override;
    void declined(const fwd::Ratio& ratio) override;

    QList<QLineEdit*> edits() const;
    QList<QLabel*> validityLabels() const;

    std::unique_ptr<Ui::TProtlDopr> m_ui;
    std::unique_ptr<WindowOutputs> m_ownOutputs;
    ForwardOutputs* m_outputs;
    NumericKeyFilter* m_keys;
    QButtonGroup* m_die;
};

} // namespace prolis
