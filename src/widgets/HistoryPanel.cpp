#include "HistoryPanel.h"

#include "widgets/UiServices.h"

#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace prolis {

namespace {
constexpr int ListWidth = 500;
}

HistoryPanel::HistoryPanel(QDialog* window, const Widgets& w, int closedWidth, int openWidth, int height,
                           std::function<void(int)> onLine)
    : QObject(window), m_window(window), m_w(w), m_closedWidth(closedWidth), m_openWidth(openWidth),
      m_height(height), m_onLine(std::move(onLine)) {
    // The list is wider than its frame, which scrolls it sideways.
    m_w.list->setFixedWidth(ListWidth);
    // Whole lines: the frame scrolls them sideways, the list never elides them.
    m_w.list->setTextElideMode(Qt::ElideNone);
    m_w.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_w.frame->setWidget(m_w.list);
    m_w.list->setFixedHeight(m_w.frame->height() - m_w.frame->horizontalScrollBar()->sizeHint().height() - 4);
    m_w.list->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; }"));
    // Every line is one line of the list's font: the view need not measure
    // a thousand of them to lay them out (the list's width is set below).
    m_w.list->setUniformItemSizes(true);

    const QList<QPair<QCheckBox*, PanelChecks::Box>> boxes{{m_w.ulozit, PanelChecks::Ulozit},
                                                           {m_w.txt, PanelChecks::Txt},
                                                           {m_w.doc, PanelChecks::Doc},
                                                           {m_w.tisk, PanelChecks::Tisk},
                                                           {m_w.vymaz, PanelChecks::Vymaz}};
    for (const auto& [box, id] : boxes)
        connect(box, &QCheckBox::clicked, this, [this, id = id](bool checked) { toggled(id, checked); });
    connect(m_w.list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_w.list->row(item);
        guarded([this, row] { m_onLine(row); });
    });
    connect(m_w.list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_keyboardSelection && row >= 0) guarded([this, row] { m_onLine(row); });
    });
    m_w.list->installEventFilter(this);
}

void HistoryPanel::open() {
    m_window->setFixedSize(m_openWidth, m_height);
    m_checks.open();
    sync();
    for (QWidget* w : std::initializer_list<QWidget*>{m_w.title, m_w.frame, m_w.list, m_w.ulozit, m_w.tisk,
                                                      m_w.vymaz, m_w.zavri})
        w->setVisible(true);
    m_w.otevri->setVisible(false);
}

void HistoryPanel::close() {
    for (QWidget* w : std::initializer_list<QWidget*>{m_w.title, m_w.frame, m_w.list, m_w.ulozit, m_w.txt,
                                                      m_w.doc, m_w.vymaz, m_w.tisk, m_w.zavri})
        w->setVisible(false);
    m_w.otevri->setVisible(true);
    m_window->setFixedSize(m_closedWidth, m_height);
}

namespace {
// The widths of the lines shown in both windows' lists (one font), each
// measured once: a line keeps its text while its entry lasts, and a window
// opened again shows the same lines.
int widestLine(const QFont& font, const QStringList& lines) {
    static QHash<QString, int> widths;
    static QFont measuredIn;
    if (measuredIn != font || widths.size() > 4 * lines.size() + 1000) {
        widths.clear();
        measuredIn = font;
    }
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : lines) {
        auto it = widths.constFind(line);
        if (it == widths.constEnd()) it = widths.insert(line, metrics.horizontalAdvance(line));
        widest = std::max(widest, *it);
    }
    return widest;
}
} // namespace

void HistoryPanel::setLines(const QStringList& lines, const std::function<void()>& measured) {
    // At least 500 pixels, wider when a line needs it.
    const int widest = widestLine(m_w.list->font(), lines);
    if (measured) measured();
    QSignalBlocker block(m_w.list);
    m_w.list->clear();
    m_w.list->addItems(lines);
    m_w.list->setFixedWidth(std::max(ListWidth, widest + 2 * m_w.list->frameWidth() + 12));
}

void HistoryPanel::toggled(PanelChecks::Box box, bool checked) {
    m_checks.userToggled(box, checked);
    sync();
}

void HistoryPanel::sync() {
    m_w.ulozit->setChecked(m_checks.ulozit);
    m_w.txt->setChecked(m_checks.txt);
    m_w.doc->setChecked(m_checks.doc);
    m_w.tisk->setChecked(m_checks.tisk);
    m_w.vymaz->setChecked(m_checks.vymaz);
    m_w.txt->setVisible(m_checks.txtVisible);
    m_w.doc->setVisible(m_checks.docVisible);
}

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_w.list) {
        if (event->type() == QEvent::KeyPress)
            m_keyboardSelection = true;
        else if (event->type() == QEvent::KeyRelease || event->type() == QEvent::FocusOut)
            m_keyboardSelection = false;
    }
    return QObject::eventFilter(watched, event);
}

bool confirmDeletion() {
    if (warningYesNo(QStringLiteral("Opravdu chcete smazat záznam?"))) return true;
    information(QStringLiteral("Záznam byl zachován."));
    return false;
}

void reportDeletion() {
    information(QStringLiteral("Záznam byl odstraněn."));
}

} // namespace prolis
