#pragma once
// What the two calculation windows share: the history panel, the chosen
// material's rows, the equation and "Uložit jako" groups, the buttons that
// act on the latest calculation of this opening, the list rebuilt from the
// unit's history, the deletion of an entry and the ticked actions of a
// history line. A window gives its controls by role and its unit; the
// unit-specific parts (inputs, the conversation of "Výpočet") stay its own.
#include "HistoryPanel.h"
#include "MaterialDisplay.h"
#include "ProjectCommands.h"
#include "UiServices.h"
#include "core/HistoryActions.h"
#include "domain/Data.h"
#include "domain/FlowModel.h"

#include <QDialog>
#include <QList>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QDialog;
class QPushButton;
class QRadioButton;

namespace prolis {

class CalculationFrame {
public:
    // The size of both windows, with the history panel closed and open.
    static constexpr int ClosedWidth = 310, OpenWidth = 631, Height = 446;

    // Sets the window up (its glyphs, fixed closed size, place on the screen)
    // and takes the controls both forms name alike: the history panel
    // (ScrollBox1, ListBox1, Ulozit, txt, doc, Vymaz, Tisk, Otevri, Zavri, with
    // `historyTitle`), the material rows (Label28, Label30, Label29, Label31
    // between Panel3 and UlozitP, beside Ulozitjako), the equations
    // RcePretOdporu0..3 and "Uložit jako" Ulozitjako0/1; `latestButtons` are
    // enabled by a calculation of this opening. A selected history line goes
    // to `onLine`.
    CalculationFrame(QDialog* window, QLabel* historyTitle, QList<QPushButton*> latestButtons,
                     std::function<void(int)> onLine);

    // Connects a control's signal to a handler of the window, through the
    // top-level error handler.
    template <class Sender, class Signal, class Handler>
    void on(Sender* sender, Signal signal, Handler handler) {
        QObject::connect(sender, signal, m_window, [handler] { guarded(handler); });
    }

    // The chosen material: its name and temperature shown, the equations it
    // has no constants for greyed out.
    void showMaterial(const Data& data);
    EquationKind equation() const;
    void selectEquation(int index);
    // The "Uložit jako" item: 0 *.TXT, 1 *.DOC, -1 none.
    int saveAs() const;
    QButtonGroup* equationGroup() const { return m_equation; }
    HistoryPanel* panel() const { return m_panel; }
    MaterialDisplay* materialDisplay() const { return m_materialDisplay; }

    // A calculation of this opening entered the history as `serial`.
    void calculated(quint64 serial);
    // Its index in `history`, if it is still there.
    template <class H> std::optional<int> latestIn(const H& history) const {
        if (!m_latest) return std::nullopt;
        return history.indexOf(*m_latest);
    }
    void setLatestButtonsEnabled(bool enabled);

    // Sorts the unit's history, keeps it in the run's journal and shows a
    // line per entry: what the list shows is on disk first (the lines are
    // made and measured while the journal is written).
    template <class Unit, class LineOf> void rebuildList(Unit& unit, LineOf lineOf) {
        unit.sortHistory();
        KeepingHistories keeping;
        QStringList lines;
        lines.reserve(unit.history.size());
        for (int i = 0; i < unit.history.size(); ++i)
            lines.append(lineOf(unit.history.at(i)));
        m_panel->setLines(lines, [&] { keeping.finish(); });
    }
    // Asks, removes entry `index` and says so; false when the user kept it.
    template <class Unit> bool deleteEntry(Unit& unit, int index, const std::function<void()>& rebuild) {
        if (!confirmDeletion()) return false;
        unit.history.remove(index);
        rebuild();
        return true;
    }
    // A history line selected: its record through the ticked outputs, then
    // the deletion when ticked. The record is a copy: an output must not see
    // the history change under it.
    template <class Record, class Outputs>
    void lineActions(const Record& record, Outputs& outputs, const std::function<void()>& remove) {
        runTickedActions(m_panel->checks(), {[&] { outputs.WriteTextProtocol(record); },
                                             [&] { outputs.WriteWordDocument(record); },
                                             [&] { outputs.PrintReport(record); }, remove});
    }

private:
    QDialog* m_window;
    HistoryPanel* m_panel;
    MaterialDisplay* m_materialDisplay;
    QButtonGroup* m_equation;
    QButtonGroup* m_saveAs;
    QList<QPushButton*> m_latestButtons;
    QLabel* m_name;
    QLabel* m_temperature;
    std::optional<quint64> m_latest;
};

// The base of both calculation windows: the frame, and the handlers that do
// the same in both (the material chosen, the history panel opened and closed,
// the latest calculation looked up). `Unit` is the window's calculation unit,
// `unit()` its one instance.
template <class Unit, Unit& (*unit)()> class CalculationWindow : public QDialog, public IRunOnVyberClose {
public:
    using QDialog::QDialog;

    void MaterialChosen(const Data& data) override {
        unit().material = data;
        m_frame->showMaterial(data);
    }
    void OtevriClick() { m_frame->panel()->open(); }
    void ZavriClick() { m_frame->panel()->close(); }
    EquationKind equation() const { return m_frame->equation(); }
    // The history index of the latest calculation of this opening, if it is still there.
    std::optional<int> latestEntry() const { return m_frame->latestIn(unit().history); }

protected:
    std::unique_ptr<CalculationFrame> m_frame;
};

} // namespace prolis
