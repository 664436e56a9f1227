#pragma once
#include "ForwardCalc.h"
#include "material/Data.h"

#include <QDialog>
#include <memory>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace Ui {
class TProtlDopr;
}

namespace prolis {

class HistoryPanel;
class NumericKeyFilter;

// The forward extrusion window.
class TProtlDopr : public QDialog, public IRunOnVyberClose {
    Q_OBJECT
public:
    explicit TProtlDopr(QWidget* owner = nullptr);
    ~TProtlDopr() override;
    Ui::TProtlDopr* form() const { return m_ui.get(); }

    void MaterialChosen(const Data& data) override;

    void VyberMaterialClick();
    void UkoncitClick();
    void RcePretOdporuClick();
    void TypVypoctuClick();
    void VypocetClick();
    void ApplyCalculationType();
    bool CheckSolutionValidity(fwd::Validity& validity);
    void RebuildHistoryList(const QString& separator);
    void DeleteHistoryEntry(int index);
    void UlozitPClick();
    void TiskPClick();
    void ListBox1Click(int index);
    void OtevriClick();
    void ZavriClick();

    // The selected items (-1: none).
    EquationKind equation() const;
    fwd::DieType dieType() const;
    void selectEquation(int index); // as a click on the item
    void selectDieType(int index);  // as a click on the item
    fwd::Inputs inputs() const;
    // The history index of the latest calculation of this opening, if it is still there.
    std::optional<int> latestEntry() const;

private:
    QList<QLineEdit*> edits() const;
    QList<QLabel*> validityLabels() const;

    std::unique_ptr<Ui::TProtlDopr> m_ui;
    NumericKeyFilter* m_keys;
    QButtonGroup* m_equation;
    QButtonGroup* m_die;
    QButtonGroup* m_saveAs;
    HistoryPanel* m_panel;
    std::optional<quint64> m_latest;
};

extern TProtlDopr* ProtlDopr;

} // namespace prolis
