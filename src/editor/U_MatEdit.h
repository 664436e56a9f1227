#pragma once
// The material editor's window: the materials (sortable, filtered by name),
// the chosen material's values and temperatures, the constants of the chosen
// temperature grouped as the selection dialog groups them, and the curves
// σp(φ) and Aj(φ) they give, redrawn on every edit. "Uložit" writes the
// material and all its temperatures in one transaction.
#include "MaterialSession.h"

#include <QMainWindow>
#include <QMap>
#include <functional>
#include <optional>

class QCustomPlot;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace prolis::edit {

class TMatEdit : public QMainWindow {
    Q_OBJECT
public:
    explicit TMatEdit(MaterialRepository& store, QWidget* parent = nullptr);

    // The list of materials from the database (kept filter and sorting).
    void RefreshList();
    // Opens material `id` (after asking about unsaved changes); false when
    // the user stayed with the one open.
    bool OpenMaterial(int id);
    void NewMaterial();
    // Copies the highlighted material, which is the one on the form.
    void CopyMaterial();
    void DeleteMaterial();
    // A material file read into the form (over the material of the same
    // name, when there is one and the user agrees); saved as any edit.
    void ImportMaterial();
    // The material on the form written as a material file.
    void ExportMaterial();
    // Saves; true when written.
    bool SaveMaterial();
    // A new temperature, empty or with the constants of the chosen one.
    void AddTemperature(int temperature, bool copyChosen);
    void DeleteTemperature();
    void SelectTemperature(int row);
    // A measured curve for the chosen temperature, from a file or pasted
    // text: drawn over the curves of the constants. False (and said why)
    // when it is refused.
    bool LoadCurve();
    bool PasteCurve(const QString& text);
    // Fits every equation and work law to the chosen temperature's curve.
    void FitCurve();
    // Takes the ticked fits into the chosen temperature's constants.
    void TakeFits();
    // The list of the fits (for tests): their lines, and ticking one.
    QStringList fitLines() const;
    void tickFit(int row, bool ticked);

    // Types `text` into a field ("nazev", "rm", ..., "teplo", "pol_a",
    // "pn3_0", ...), as the user would.
    void TypeField(const QString& field, const QString& text);

    const MaterialSession& session() const { return m_session; }
    Material edited() const { return m_session.edited(); }
    bool isModified() const { return m_session.isModified(); }
    // The plotted curves (for tests): the flow plot's graph names and points.
    QStringList flowCurveNames() const;
    int flowPoints(int graph) const;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildConstants();
    QWidget* buildMiddle();
    void showMaterial();
    void showTemperatures();
    void showTemperature();
    void showFits();
    void showListSelection();
    void replot();
    // The points of a file or of pasted text onto the chosen temperature.
    bool takeCurve(const QByteArray& bytes);
    bool keepOrDiscard();
    void applyField(const QString& field, const QString& text, QLineEdit* edit);
    QPushButton* button(const QString& text, const char* name, std::function<void()> handler);

    MaterialSession m_session;

    QLineEdit* m_filter;
    QTableWidget* m_list;
    QListWidget* m_temperatures;
    QMap<QString, QLineEdit*> m_fields;
    QListWidget* m_fits;
    QCustomPlot* m_flowPlot;
    QCustomPlot* m_workPlot;
    bool m_showing = false;
};

// Asks for the writing account (user prefilled from the settings) and its
// password; false when cancelled.
bool askAccount(QWidget* parent, QString& user, QString& password);

} // namespace prolis::edit
