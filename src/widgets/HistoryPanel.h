#pragma once
// The history panel of the calculation windows.
#include "core/PanelChecks.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QCheckBox;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

namespace prolis {

// The history panel: a list in a sideways-scrolling frame and the check boxes
// "Uložit" ("*.TXT", "Word"), "Tisk" and "Vymaž". A line selected with the
// mouse or the arrow keys is handed to `onLine`.
class HistoryPanel : public QObject {
public:
    struct Widgets {
        QLabel* title;
        QScrollArea* frame;
        QListWidget* list;
        QCheckBox *ulozit, *txt, *doc, *vymaz, *tisk;
        QPushButton *otevri, *zavri;
    };
    HistoryPanel(QDialog* window, const Widgets& w, int closedWidth, int openWidth, int height,
                 std::function<void(int)> onLine);

    void open();
    void close();
    // The lines measured, then `measured` called (when given), then shown.
    void setLines(const QStringList& lines, const std::function<void()>& measured = {});
    const PanelChecks& checks() const { return m_checks; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggled(PanelChecks::Box box, bool checked);
    void sync();

    QDialog* m_window;
    Widgets m_w;
    int m_closedWidth, m_openWidth, m_height;
    std::function<void(int)> m_onLine;
    PanelChecks m_checks;
    bool m_keyboardSelection = false;
};

// Asks before a deletion; on No says that the entry was kept.
bool confirmDeletion();
// Says that the entry was deleted.
void reportDeletion();

} // namespace prolis
