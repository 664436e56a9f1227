#pragma once
#include "BackwardCalc.h"
#include "material/Data.h"

#include <QDialog>
#include <memory>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace Ui {
class TProtlZpet;
}

namespace prolis {

class HistoryPanel;
class NumericKeyFilter;

// The backward extrusion window.
class TProtlZpet : public QDialog, public IRunOnVyberClose {
    Q_OBJECT
public:
    explicit TProtlZpet(QWidget* owner = nullptr);
    ~TProtlZpet() override;
    Ui::TProtlZpet* form() const { return m_ui.get(); }

    void MaterialChosen(const Data& data) override;

    void VyberMaterialClick();
    void UkoncitClick();
    void VypocetClick();
    void ComputeMeanFriction();
    // Shows b and epsilon, asks when epsilon is out of range, then runs
    // CheckStrain; false when the user refused (StopFlag set).
    bool CheckReduction(bwd::Reduction& reduction, bwd::Strain& strain);
    bool CheckStrain(bwd::Strain& strain);
    void RebuildHistoryList();
    void DeleteHistoryEntry(int index);
    void UlozitPClick();
    void TiskPClick();
    void GrafBBClick();
    void UlozitSClick();
    void TiskSClick();
    void ListBox1Click(int index);
    void OtevriClick();
    void ZavriClick();

    EquationKind equation() const;
    void selectEquation(int index);
    bwd::Inputs inputs() const;
    std::optional<int> latestEntry() const;

private:
    QList<QLineEdit*> edits() const;

    std::unique_ptr<Ui::TProtlZpet> m_ui;
    NumericKeyFilter* m_keys;
    QButtonGroup* m_equation;
    QButtonGroup* m_saveAs;
    HistoryPanel* m_panel;
    std::optional<quint64> m_latest;
};

extern TProtlZpet* ProtlZpet;

} // namespace prolis
