#include "U_VyberMat.h"

#include "core/Errors.h"
#include "ui_U_VyberMat.h"
#include "widgets/Glyphs.h"
#include "widgets/UiServices.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace prolis {

namespace {
const QString MsgNotChosen = QStringLiteral("Nevybrali jste materiál, je nutno jej vybrat.");
const QString MsgEndChoice = QStringLiteral("Skutečně chcete ukončit Výběr Materiálu ?");
} // namespace

TVyberMat::TVyberMat(QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TVyberMat>()), m_selection(m_connection) {
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(size());
    for (QWidget* w : findChildren<QWidget*>())
        m_formGeometry.insert(w, w->geometry());
    connect(m_ui->DBLCBOcel, &QComboBox::activated, this,
            [this](int i) { guarded([&] { withDatabase([&] { DBLCBOcelClick(i); }); }); });
    connect(m_ui->Vyber, &QPushButton::clicked, this,
            [this] { guarded([this] { withDatabase([this] { VyberClick(); }); }); });
    connect(m_ui->Ukoncit, &QPushButton::clicked, this, [this] { guarded([this] { UkoncitClick(); }); });
    m_ui->DBLLBTeplo->viewport()->installEventFilter(this);
    m_ui->DBLLBTeplo->installEventFilter(this);
    connect(m_ui->DBLLBTeplo, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) m_teploRow = row;
    });
    FormCreate();
}

TVyberMat::~TVyberMat() {
    m_connection.disconnect();
}

void TVyberMat::FormCreate() {
    guarded([this] { m_connection.connect(connectionSettings()); });
    if (!m_connection.isConnected()) return;
    guarded([this] {
        m_selection.openMaterials();
        const MaterialQuery& ocel = m_selection.materials();
        for (int i = 0; i < ocel.rowCount(); ++i)
            m_ui->DBLCBOcel->addItem(displayText(ocel.row(i), QStringLiteral("nazev")));
        m_ui->DBLCBOcel->setCurrentIndex(-1);
    });
}

void TVyberMat::withDatabase(const std::function<void()>& action) {
    // After a failed statement the connection may be gone (a server stopped
    // or restarted): the next action connects again first.
    if (m_databaseFailed) {
        m_connection.disconnect();
        m_connection.connect(connectionSettings());
        m_databaseFailed = false;
    }
    try {
        action();
    } catch (const DatabaseError&) {
        m_databaseFailed = true;
        throw;
    }
}

void TVyberMat::DBLCBOcelClick(int index) {
    m_materialPicked = true;
    m_ui->DBLLBTeplo->clear();
    m_teploRow = -1;
    m_selection.pickMaterial(index);
    const MaterialQuery& teplo = m_selection.temperatures();
    QSignalBlocker block(m_ui->DBLLBTeplo);
    for (int i = 0; i < teplo.rowCount(); ++i)
        m_ui->DBLLBTeplo->addItem(displayText(teplo.row(i), QStringLiteral("teplo")));
    m_teploRow = teplo.rowCount() > 0 ? 0 : -1;
}

void TVyberMat::DBLLBTeploClick() {
    m_ui->Vyber->setEnabled(true);
}

void TVyberMat::VyberClick() {
    m_selection.clearConstants();
    showConstants();
    m_selection.pickTemperature(m_teploRow);
    showConstants();
}

void TVyberMat::showConstants() {
    const MaterialQuery& konstanty = m_selection.constants();
    const bool has = konstanty.isOpen() && konstanty.rowCount() > 0;
    for (QLabel* l : findChildren<QLabel*>()) {
        if (!l->objectName().startsWith(QLatin1String("DBT"))) continue;
        const QString column = l->objectName().mid(3);
        l->setText(has ? displayText(konstanty.row(0), column) : QString());
        l->setToolTip(QString());
    }
    fitColumns();
}

void TVyberMat::fitColumns() {
    // Every value is shown whole: a column is as wide as its widest value
    // (never narrower than in the form), the columns after it and the units
    // move right, and the panels and the dialog grow as needed.
    constexpr int Gap = 4;
    const auto textWidth = [](const QLabel* l) {
        return l->fontMetrics().horizontalAdvance(l->text()) + Gap;
    };
    const auto form = [this](const QLabel* l) { return m_formGeometry.value(l); };

    // The material panel: name, the value column, the units.
    QFrame* material = m_ui->Panel1;
    const QList<QLabel*> values{m_ui->DBTrm,    m_ui->DBTrp,    m_ui->DBTa5,   m_ui->DBTz,
                                m_ui->DBTteplo, m_ui->DBTfimax, m_ui->DBTfistr};
    const QList<QLabel*> units{m_ui->Label3, m_ui->Label5, m_ui->Label7, m_ui->Label9, m_ui->Label11};
    int valueWidth = form(m_ui->DBTrm).width();
    for (const QLabel* l : values)
        valueWidth = std::max(valueWidth, textWidth(l));
    for (QLabel* l : values)
        l->resize(valueWidth, l->height());
    const int unitsLeft = form(m_ui->DBTrm).x() + valueWidth;
    int materialWidth = m_formGeometry.value(material).width();
    for (QLabel* u : units) {
        u->move(unitsLeft, u->y());
        materialWidth = std::max(materialWidth, unitsLeft + u->width() + Gap);
    }
    const int nameWidth = std::max(form(m_ui->DBTnazev).width(), textWidth(m_ui->DBTnazev));
    m_ui->DBTnazev->resize(nameWidth, m_ui->DBTnazev->height());
    materialWidth = std::max(materialWidth, m_ui->DBTnazev->x() + nameWidth + Gap);
    material->resize(materialWidth, material->height());

    // The constants panels share one grid of columns.
    const QList<QFrame*> panels{m_ui->Panel2, m_ui->Panel3, m_ui->Panel4};
    QMap<int, int> columnWidth; // by the column's left edge in the form
    QList<QLabel*> cells;
    for (QFrame* panel : panels)
        for (QLabel* l : panel->findChildren<QLabel*>())
            if (l->objectName().startsWith(QLatin1String("DBT"))) {
                cells.append(l);
                int& w = columnWidth[form(l).x()];
                w = std::max({w, form(l).width(), textWidth(l)});
                m_formWidthAt[form(l).x()] = std::max(m_formWidthAt.value(form(l).x()), form(l).width());
            }
    // Within the screen whatever a constant holds: the widest columns give
    // way first (never below their width in the form), and a value that no
    // longer fits is cut with "…" and shown whole in its tool tip.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() - 24 : 100000;
    const int panelsStart = material->x() + material->width() + 3;
    const int room = available - panelsStart - Gap - (columnWidth.isEmpty() ? 0 : columnWidth.firstKey());
    const auto total = [&](int cap) {
        int sum = 0;
        for (auto it = columnWidth.cbegin(); it != columnWidth.cend(); ++it)
            sum += std::min(it.value(), std::max(cap, m_formWidthAt.value(it.key()))) + 2;
        return sum;
    };
    int widest = 0;
    for (int w : columnWidth)
        widest = std::max(widest, w);
    if (total(widest) > room) {
        int lo = 0, hi = widest;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (total(mid) <= room)
                lo = mid;
            else
                hi = mid - 1;
        }
        for (auto it = columnWidth.begin(); it != columnWidth.end(); ++it)
            it.value() = std::min(it.value(), std::max(lo, m_formWidthAt.value(it.key())));
    }
    for (QLabel* l : cells) {
        const int w = columnWidth[form(l).x()];
        if (textWidth(l) > w) {
            l->setToolTip(l->text());
            l->setText(l->fontMetrics().elidedText(l->text(), Qt::ElideRight, w - Gap));
        }
    }
    QMap<int, int> columnLeft;
    int left = columnWidth.isEmpty() ? 0 : columnWidth.firstKey();
    for (auto it = columnWidth.cbegin(); it != columnWidth.cend(); ++it) {
        columnLeft[it.key()] = left;
        left += it.value() + 2;
    }
    for (QLabel* l : cells)
        l->setGeometry(columnLeft[form(l).x()], l->y(), columnWidth[form(l).x()], l->height());
    const int panelsLeft = material->x() + material->width() + 3;
    const int panelsWidth = std::max(m_formGeometry.value(m_ui->Panel2).width(), left + Gap);
    for (QFrame* panel : panels)
        panel->setGeometry(panelsLeft, panel->y(), panelsWidth, panel->height());
    setFixedSize(panelsLeft + panelsWidth, height());
}

void TVyberMat::UkoncitClick() {
    close();
}

bool TVyberMat::FormCloseQuery() {
    // No material to choose (an empty database, or a materials statement that
    // failed): let the user out instead of trapping them in the dialog.
    if (!m_selection.materials().isOpen() || m_selection.materials().rowCount() == 0) return true;
    // The database failed and nothing was chosen since: the user may leave
    // (without a hand-over) rather than be kept in the dialog.
    if (m_databaseFailed && !m_selection.temperaturePicked()) return true;
    if (!m_selection.temperaturePicked()) {
        warning(MsgNotChosen);
        return false;
    }
    if (!confirm(MsgEndChoice)) return false;
    Data data;
    m_selection.fill(data);
    if (Receiver) Receiver->MaterialChosen(data);
    return true;
}

void TVyberMat::reject() {
    bool allowed = false;
    guarded([&] { allowed = FormCloseQuery(); });
    if (allowed) QDialog::reject();
}

void TVyberMat::closeEvent(QCloseEvent* e) {
    // Every attempt to close goes through the closing check.
    e->ignore();
    reject();
}

bool TVyberMat::eventFilter(QObject* watched, QEvent* event) {
    const bool inList = watched == m_ui->DBLLBTeplo || watched == m_ui->DBLLBTeplo->viewport();
    if (inList && m_materialPicked) {
        if (event->type() == QEvent::MouseButtonRelease) {
            guarded([this] { DBLLBTeploClick(); });
        } else if (event->type() == QEvent::KeyRelease && watched == m_ui->DBLLBTeplo) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
                key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Space)
                guarded([this] { DBLLBTeploClick(); });
        }
    } else if (inList && !m_materialPicked &&
               (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        return true; // before a material is picked the list takes no selection
    }
    return QDialog::eventFilter(watched, event);
}

void chooseMaterial(QWidget* owner, IRunOnVyberClose* receiver) {
    TVyberMat dialog(owner);
    if (!dialog.isConnected()) {
        showMessage(MsgNoConnection);
        return;
    }
    dialog.Receiver = receiver;
    ui().execModal(&dialog);
}

} // namespace prolis
