#include "U_MatEdit.h"

#include "MaterialFiles.h"
#include "core/FileIo.h"
#include "core/NumberText.h"
#include "domain/DataFields.h"
#include "widgets/Glyphs.h"
#include "widgets/UiServices.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <qcustomplot.h>

namespace prolis::edit {

namespace {

QString caption(const QString& field) {
    if (field == u"fimax") return QStringLiteral("φ(max)");
    if (field == u"fistr") return QStringLiteral("φ(str)");
    return field;
}

void markInvalid(QLineEdit* e, bool invalid) {
    e->setStyleSheet(invalid ? QStringLiteral("background: #ffb0b0;") : QString());
}

QCustomPlot* makePlot(const QString& yLabel) {
    auto* plot = new QCustomPlot;
    plot->setMinimumSize(220, 160);
    plot->xAxis->setLabel(QStringLiteral("φ [-]"));
    plot->yAxis->setLabel(yLabel);
    plot->legend->setVisible(true);
    // The legend below the axes, where it covers no curve.
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->plotLayout()->addElement(1, 0, plot->legend);
    plot->plotLayout()->setRowStretchFactor(1, 0.001);
    plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot->legend->setWrap(2);
    plot->legend->setBorderPen(Qt::NoPen);
    QFont small = plot->legend->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    plot->legend->setFont(small);
    return plot;
}

QScrollArea* scrolled(QWidget* w, int minimumWidth) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(w);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(minimumWidth);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return scroll;
}

} // namespace

QPushButton* TMatEdit::button(const QString& text, const char* name, std::function<void()> handler) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    connect(b, &QPushButton::clicked, this, [handler = std::move(handler)] { guarded(handler); });
    return b;
}

TMatEdit::TMatEdit(MaterialRepository& store, QWidget* parent) : QMainWindow(parent), m_session(store) {
    setWindowTitle(QStringLiteral("MatEdit – materiálová databáze"));
    setWindowIcon(programIcon());
    auto* columns = new QSplitter(Qt::Horizontal);
    columns->setChildrenCollapsible(false);

    // The materials.
    auto* leftPanel = new QWidget;
    auto* left = new QVBoxLayout(leftPanel);
    left->setContentsMargins(0, 0, 0, 0);
    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("Filtr"));
    m_filter->setPlaceholderText(QStringLiteral("Hledat materiál…"));
    m_list = new QTableWidget(0, 5);
    m_list->setObjectName(QStringLiteral("Materialy"));
    m_list->setHorizontalHeaderLabels({"Název", "Rm", "Rp", "A5", "Z"});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 5; ++column)
        m_list->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_list->setMinimumWidth(240);
    left->addWidget(m_filter);
    left->addWidget(m_list);
    auto* listButtons = new QGridLayout;
    listButtons->addWidget(button(QStringLiteral("&Nový"), "Novy", [this] { NewMaterial(); }), 0, 0);
    listButtons->addWidget(button(QStringLiteral("&Kopie"), "Kopie", [this] { CopyMaterial(); }), 0, 1);
    listButtons->addWidget(button(QStringLiteral("&Smazat"), "Smazat", [this] { DeleteMaterial(); }), 0, 2);
    listButtons->addWidget(button(QStringLiteral("&Uložit"), "Ulozit", [this] { SaveMaterial(); }), 1, 0);
    listButtons->addWidget(button(QStringLiteral("&Import…"), "Import", [this] { ImportMaterial(); }), 1, 1);
    listButtons->addWidget(button(QStringLiteral("&Export…"), "Export", [this] { ExportMaterial(); }), 1, 2);
    listButtons->addWidget(button(QStringLiteral("Uk&ončit"), "Ukoncit", [this] { close(); }), 2, 2);
    left->addLayout(listButtons);
    columns->addWidget(leftPanel);

    columns->addWidget(scrolled(buildMiddle(), 220));
    columns->addWidget(scrolled(buildConstants(), 200));

    // The curves, each shrinking with the window.
    auto* plots = new QSplitter(Qt::Vertical);
    plots->setChildrenCollapsible(false);
    m_flowPlot = makePlot(QStringLiteral("σp [MPa]"));
    m_flowPlot->setObjectName(QStringLiteral("GrafSigma"));
    m_workPlot = makePlot(QStringLiteral("Aj [J/mm^3]"));
    m_workPlot->setObjectName(QStringLiteral("GrafPrace"));
    plots->addWidget(m_flowPlot);
    plots->addWidget(m_workPlot);
    columns->addWidget(plots);
    columns->setStretchFactor(0, 3);
    columns->setStretchFactor(1, 2);
    columns->setStretchFactor(2, 2);
    columns->setStretchFactor(3, 4);
    setCentralWidget(columns);
    // As large as it was laid out for, but never beyond the screen.
    QSize size(1500, 820);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(20, 40));
    resize(size);
    // The plots take what the lists and forms leave.
    const int w = size.width();
    columns->setSizes({w * 27 / 100, w * 23 / 100, w * 19 / 100, w * 31 / 100});
    setButtonGlyphs(this);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { guarded([this] { RefreshList(); }); });
    // The highlighted row is always the material on the form: moving the
    // highlight (mouse, arrows, Page Down) opens it, after the question
    // about unsaved changes; a "No" puts the highlight back.
    connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (m_showing || row < 0 || !m_list->item(row, 0)) return;
        const int id = m_list->item(row, 0)->data(Qt::UserRole).toInt();
        if (m_session.currentId() == id) return;
        guarded([&] { OpenMaterial(id); });
        QMetaObject::invokeMethod(
            this, [this] { showListSelection(); }, Qt::QueuedConnection);
    });
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, [this] { guarded([this] { RefreshList(); }); });
    guarded([this] { RefreshList(); });
    showMaterial();
}

QWidget* TMatEdit::buildMiddle() {
    auto* panel = new QWidget;
    auto* middle = new QVBoxLayout(panel);
    auto* materialBox = new QGroupBox(QStringLiteral("Materiál"));
    auto* materialForm = new QFormLayout(materialBox);
    for (const DataField* f : fieldsIn(DataTable::Materialy)) {
        const QString field = f->name();
        const QString label =
            f->unit.isEmpty() ? f->caption : QStringLiteral("%1 [%2]").arg(f->caption, f->unit);
        auto* e = new QLineEdit;
        e->setObjectName(field);
        if (field == u"nazev") e->setMaxLength(100);
        connect(e, &QLineEdit::textEdited, this,
                [this, f = field, e](const QString& t) { applyField(f, t, e); });
        m_fields.insert(field, e);
        materialForm->addRow(label, e);
    }
    middle->addWidget(materialBox);
    auto* temperatureBox = new QGroupBox(QStringLiteral("Teploty"));
    auto* temperatureLayout = new QVBoxLayout(temperatureBox);
    m_temperatures = new QListWidget;
    m_temperatures->setObjectName(QStringLiteral("Teploty"));
    m_temperatures->setMinimumHeight(60);
    connect(m_temperatures, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showing) SelectTemperature(row);
    });
    temperatureLayout->addWidget(m_temperatures);
    auto* teplo = new QLineEdit;
    teplo->setObjectName(QStringLiteral("teplo"));
    connect(teplo, &QLineEdit::textEdited, this,
            [this, teplo](const QString& t) { applyField("teplo", t, teplo); });
    m_fields.insert(QStringLiteral("teplo"), teplo);
    auto* teploRow = new QFormLayout;
    teploRow->addRow(QStringLiteral("Teplota [°C]"), teplo);
    temperatureLayout->addLayout(teploRow);
    temperatureLayout->addWidget(
        button(QStringLiteral("Přidat &teplotu"), "PridatTeplotu", [this] { AddTemperature(20, false); }));
    temperatureLayout->addWidget(button(QStringLiteral("&Přidat kopii teploty"), "KopieTeploty", [this] {
        AddTemperature(m_session.chosen() ? m_session.chosen()->teplo + 100 : 20, true);
    }));
    temperatureLayout->addWidget(
        button(QStringLiteral("S&mazat teplotu"), "SmazatTeplotu", [this] { DeleteTemperature(); }));
    middle->addWidget(temperatureBox);
    auto* fitBox = new QGroupBox(QStringLiteral("Naměřená křivka"));
    auto* fitLayout = new QVBoxLayout(fitBox);
    auto* curveButtons = new QGridLayout;
    curveButtons->addWidget(
        button(QStringLiteral("N&ačíst křivku…"), "NacistKrivku", [this] { LoadCurve(); }), 0, 0);
    curveButtons->addWidget(button(QStringLiteral("&Vložit"), "VlozitKrivku",
                                   [this] { PasteCurve(QGuiApplication::clipboard()->text()); }),
                            0, 1);
    curveButtons->addWidget(button(QStringLiteral("P&roložit"), "Prolozit", [this] { FitCurve(); }), 1, 0, 1,
                            2);
    fitLayout->addLayout(curveButtons);
    m_fits = new QListWidget;
    m_fits->setObjectName(QStringLiteral("Prolozeni"));
    m_fits->setMinimumHeight(60);
    m_fits->setMaximumHeight(200);
    // A reason or a quality is read whole: lines wrap in the pane's width.
    m_fits->setWordWrap(true);
    m_fits->setTextElideMode(Qt::ElideNone);
    m_fits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fits->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_fits->setResizeMode(QListView::Adjust);
    connect(m_fits, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_showing) m_session.tickFit(m_fits->row(item), item->checkState() == Qt::Checked);
    });
    fitLayout->addWidget(m_fits);
    fitLayout->addWidget(button(QStringLiteral("Převzít &zaškrtnuté"), "Prevzit", [this] { TakeFits(); }));
    middle->addWidget(fitBox);
    middle->addStretch();
    return panel;
}

QWidget* TMatEdit::buildConstants() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    for (const auto& [title, fields] : constantGroups()) {
        auto* box = new QGroupBox(title);
        auto* form = new QFormLayout(box);
        for (const QString& field : fields) {
            auto* e = new QLineEdit;
            e->setObjectName(field);
            connect(e, &QLineEdit::textEdited, this,
                    [this, f = field, e](const QString& t) { applyField(f, t, e); });
            m_fields.insert(field, e);
            form->addRow(caption(field), e);
        }
        layout->addWidget(box);
    }
    layout->addStretch();
    return panel;
}

void TMatEdit::RefreshList() {
    m_session.refreshList();
    m_showing = true;
    m_list->setSortingEnabled(false);
    m_list->setRowCount(0);
    const QString filter = m_filter->text().trimmed();
    for (const ListedMaterial& m : m_session.listed()) {
        if (!filter.isEmpty() && !m.nazev.contains(filter, Qt::CaseInsensitive)) continue;
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        auto* name = new QTableWidgetItem(m.nazev);
        name->setData(Qt::UserRole, m.id);
        m_list->setItem(row, 0, name);
        int column = 1;
        for (double v : {m.rm, m.rp, m.a5, m.z}) {
            auto* item = new QTableWidgetItem;
            item->setData(Qt::DisplayRole, v); // sorted as numbers
            item->setData(Qt::ToolTipRole, formatGeneral(v));
            m_list->setItem(row, column++, item);
        }
    }
    m_list->setSortingEnabled(true);
    m_showing = false;
    showListSelection();
}

void TMatEdit::showListSelection() {
    // The row of the material on the form, or none.
    m_showing = true;
    const std::optional<int> id = m_session.currentId();
    int found = -1;
    for (int row = 0; id && row < m_list->rowCount(); ++row)
        if (m_list->item(row, 0) && m_list->item(row, 0)->data(Qt::UserRole).toInt() == *id) found = row;
    if (found >= 0) {
        m_list->setCurrentCell(found, 0);
    } else {
        m_list->clearSelection();
        m_list->setCurrentCell(-1, -1);
    }
    m_showing = false;
}

bool TMatEdit::keepOrDiscard() {
    return !isModified() || confirm(QStringLiteral("Materiál má neuložené změny. Zahodit je?"));
}

bool TMatEdit::OpenMaterial(int id) {
    if (!keepOrDiscard()) {
        showListSelection();
        return false;
    }
    if (!m_session.open(id)) {
        warning(QStringLiteral("Materiál v databázi už není."));
        RefreshList();
        return false;
    }
    showMaterial();
    return true;
}

void TMatEdit::NewMaterial() {
    if (!keepOrDiscard()) return;
    m_session.newMaterial();
    showMaterial();
}

void TMatEdit::CopyMaterial() {
    if (!m_session.currentId()) {
        warning(QStringLiteral("Nejprve vyberte uložený materiál."));
        return;
    }
    if (!keepOrDiscard()) return;
    m_session.copyLoaded();
    RefreshList();
    showMaterial();
}

void TMatEdit::DeleteMaterial() {
    const std::optional<Material>& loaded = m_session.loaded();
    if (!loaded || !loaded->id) return;
    const QString question = QStringLiteral("Smazat materiál „%1“ i s jeho teplotami (%2)?")
                                 .arg(loaded->nazev)
                                 .arg(loaded->temperatures.size());
    if (!confirm(question)) return;
    try {
        m_session.removeLoaded();
    } catch (const SaveRefused& e) {
        warning(e.message());
        return;
    }
    RefreshList();
    showMaterial();
}

void TMatEdit::ImportMaterial() {
    if (!keepOrDiscard()) return;
    const QString path = ui().openFileName(QDir::currentPath(), QStringLiteral("Materiál JSON (*.json)"));
    if (path.isEmpty()) return;
    const MaterialSession::Import import = m_session.prepareImport(path);
    if (!import.material) {
        warning(import.refusal);
        return;
    }
    // Declining the replacement changes nothing on the form.
    if (import.replaces &&
        !confirm(QStringLiteral("Materiál „%1“ v databázi už je. Nahradit jeho hodnoty importovanými?")
                     .arg(import.material->nazev)))
        return;
    for (const QString& similar : import.similar)
        warning(
            QStringLiteral("V databázi je materiál „%1“, jehož název se od „%2“ liší jen velikostí písmen, "
                           "diakritikou nebo mezerami.")
                .arg(similar, import.material->nazev));
    m_session.applyImport(import);
    showMaterial();
}

void TMatEdit::ExportMaterial() {
    // What the form shows, as it would be saved.
    const QStringList refused = m_session.saveRefusals();
    if (!refused.isEmpty()) {
        warning(QStringLiteral("Materiál nelze exportovat:\r") + refused.join(QLatin1Char('\r')));
        return;
    }
    const Material m = m_session.edited();
    if (const QString refusal = exportRefusal(m); !refusal.isEmpty()) {
        warning(refusal);
        return;
    }
    const QString path = ui().saveFileName(QDir::currentPath(), m.nazev + QStringLiteral(".json"),
                                           QStringLiteral("Materiál JSON (*.json)"));
    if (path.isEmpty()) return;
    QString reason;
    if (!writeWholeFile(path, materialJson(m), &reason))
        errorBox(QStringLiteral("Soubor nebyl uložen.\r") + path + QStringLiteral(": ") + reason);
}

bool TMatEdit::SaveMaterial() {
    const QStringList refused = m_session.saveRefusals();
    if (!refused.isEmpty()) {
        warning(QStringLiteral("Materiál nebyl uložen:\r") + refused.join(QLatin1Char('\r')));
        return false;
    }
    const QStringList warned = m_session.saveWarnings();
    if (!warned.isEmpty() && !confirm(warned.join(QLatin1Char('\r')) + QStringLiteral("\rUložit přesto?")))
        return false;
    try {
        m_session.save();
    } catch (const SaveRefused& e) {
        warning(e.message()); // the form keeps the user's values
        RefreshList();
        return false;
    } catch (const DatabaseError& e) {
        errorBox(QStringLiteral("Materiál nebyl uložen.\r") + errorDisplayText(e.message()));
        return false;
    }
    RefreshList();
    showMaterial();
    information(QStringLiteral("Materiál „%1“ byl uložen.").arg(m_session.edited().nazev));
    return true;
}

bool TMatEdit::LoadCurve() {
    if (!m_session.chosen()) {
        warning(QStringLiteral("Nejprve vyberte teplotu."));
        return false;
    }
    const QString path = ui().openFileName(
        QDir::currentPath(), QStringLiteral("Naměřené body (*.txt *.csv *.dat);;Všechny soubory (*)"));
    if (path.isEmpty()) return false;
    const FileRead file = readBoundedFile(path, fit::MaxPointsFileSize);
    if (!file) {
        warning(readFailure(path, file, fit::MaxPointsFileSize));
        return false;
    }
    return takeCurve(file.bytes);
}

bool TMatEdit::PasteCurve(const QString& text) {
    if (!m_session.chosen()) {
        warning(QStringLiteral("Nejprve vyberte teplotu."));
        return false;
    }
    return takeCurve(text.toUtf8());
}

bool TMatEdit::takeCurve(const QByteArray& bytes) {
    const fit::ReadPoints read = fit::readPoints(bytes);
    if (!read.refusal.isEmpty()) {
        warning(read.refusal);
        return false;
    }
    m_session.setCurve(read.points);
    showFits();
    replot();
    return true;
}

void TMatEdit::FitCurve() {
    const QString refusal = m_session.fitCurve();
    if (!refusal.isEmpty()) warning(refusal);
    showFits();
    replot();
}

void TMatEdit::showFits() {
    m_showing = true;
    m_fits->clear();
    const QList<fit::Fit> list = m_session.fitList();
    for (int row = 0; row < list.size(); ++row) {
        const fit::Fit& f = list[row];
        const fit::Quality& q = f.quality;
        QString text = f.made() ? QStringLiteral("%1: R² = %2, max. odchylka %3 %4 (%5 %)")
                                      .arg(f.caption(), formatFixed(q.r2, 6), formatGeneral(q.maxDeviation),
                                           f.unit(), formatFixed(q.maxDeviationPercent, 2))
                                : QStringLiteral("%1: %2").arg(f.caption(), f.reason);
        if (f.made() && !f.notes.isEmpty()) text += QStringLiteral("; ") + f.notes.join(QStringLiteral("; "));
        auto* item = new QListWidgetItem(text);
        item->setToolTip(item->text());
        item->setFlags(f.made() ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
        item->setCheckState(m_session.fitTicked(row) ? Qt::Checked : Qt::Unchecked);
        m_fits->addItem(item);
    }
    m_showing = false;
}

QStringList TMatEdit::fitLines() const {
    QStringList lines;
    for (int i = 0; i < m_fits->count(); ++i)
        lines << m_fits->item(i)->text();
    return lines;
}

void TMatEdit::tickFit(int row, bool ticked) {
    if (QListWidgetItem* item = m_fits->item(row)) item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TMatEdit::TakeFits() {
    m_session.takeTickedFits();
    showTemperature();
}

void TMatEdit::AddTemperature(int temperature, bool copyChosen) {
    if (const QString refusal = m_session.addTemperature(temperature, copyChosen); !refusal.isEmpty()) {
        warning(refusal);
        return;
    }
    showTemperatures();
    showTemperature();
}

void TMatEdit::DeleteTemperature() {
    const Data* d = m_session.chosen();
    if (!d) return;
    if (!confirm(QStringLiteral("Smazat teplotu %1 °C?").arg(d->teplo))) return;
    m_session.removeChosenTemperature();
    showTemperatures();
    showTemperature();
}

void TMatEdit::SelectTemperature(int row) {
    m_session.choose(row);
    showTemperature();
}

void TMatEdit::TypeField(const QString& field, const QString& text) {
    QLineEdit* e = m_fields.value(field);
    if (!e) return;
    e->setText(text);
    applyField(field, text, e);
}

void TMatEdit::applyField(const QString& field, const QString& text, QLineEdit* edit) {
    m_session.setField(field, text);
    markInvalid(edit, !m_session.fieldValid(field));
    if (field == u"teplo") showTemperatures(); // its caption, and its place in the order
    if (!isMaterialField(field)) replot();
}

void TMatEdit::showMaterial() {
    m_showing = true;
    for (const DataField* f : fieldsIn(DataTable::Materialy)) {
        m_fields.value(f->name())->setText(m_session.fieldText(f->name()));
        markInvalid(m_fields.value(f->name()), !m_session.fieldValid(f->name()));
    }
    m_showing = false;
    showTemperatures();
    showTemperature();
    showListSelection();
}

void TMatEdit::showTemperatures() {
    m_showing = true;
    const Material m = m_session.edited();
    m_temperatures->clear();
    for (const Data& d : m.temperatures)
        m_temperatures->addItem(QStringLiteral("%1 °C").arg(d.teplo));
    m_temperatures->setCurrentRow(m_session.chosenRow());
    m_showing = false;
}

void TMatEdit::showTemperature() {
    const bool chosen = m_session.chosen() != nullptr;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        if (isMaterialField(it.key())) continue;
        it.value()->setEnabled(chosen);
        it.value()->setText(m_session.fieldText(it.key()));
        markInvalid(it.value(), !m_session.fieldValid(it.key()));
    }
    showFits();
    replot();
}

void TMatEdit::replot() {
    static const QList<QColor> colours{QColor(0x1f, 0x5a, 0x9e), QColor(0xd9, 0x82, 0x2b),
                                       QColor(0x2e, 0x85, 0x40), QColor(0xb3, 0x3a, 0x3a)};
    m_flowPlot->clearGraphs();
    m_workPlot->clearGraphs();
    if (const Data* d = m_session.chosen()) {
        int k = 0;
        for (EquationKind kind : availableEquations(*d)) {
            const Curve c = flowCurve(*d, kind);
            QCPGraph* g = m_flowPlot->addGraph();
            g->setName(equationCaption(kind));
            g->setPen(QPen(colours[k++ % colours.size()], 2));
            g->setData(QVector<double>(c.phi.begin(), c.phi.end()),
                       QVector<double>(c.value.begin(), c.value.end()));
        }
        // The measured curve and the fits of this temperature only.
        if (!m_session.curve().isEmpty()) {
            QCPGraph* measured = m_flowPlot->addGraph();
            measured->setName(QStringLiteral("naměřeno"));
            measured->setLineStyle(QCPGraph::lsNone);
            measured->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, Qt::black, 4));
            QVector<double> x, y;
            for (const fit::Point& p : m_session.curve())
                x << p.phi, y << p.sigma;
            measured->setData(x, y);
        }
        if (const std::optional<fit::Fits>& fits = m_session.fits()) {
            int j = 0;
            const Data fitted = fits->constants();
            for (EquationKind kind : availableEquations(fitted)) {
                const Curve c = flowCurve(fitted, kind);
                QCPGraph* g = m_flowPlot->addGraph();
                g->setName(equationCaption(kind) + QStringLiteral(" (proložení)"));
                g->setPen(QPen(colours[j++ % colours.size()], 1, Qt::DashLine));
                g->setData(QVector<double>(c.phi.begin(), c.phi.end()),
                           QVector<double>(c.value.begin(), c.value.end()));
            }
        }
        const Curve w = workCurve(*d);
        QCPGraph* g = m_workPlot->addGraph();
        g->setName(QStringLiteral("Aj"));
        g->setPen(QPen(colours[0], 2));
        g->setData(QVector<double>(w.phi.begin(), w.phi.end()),
                   QVector<double>(w.value.begin(), w.value.end()));
    }
    for (QCustomPlot* p : {m_flowPlot, m_workPlot}) {
        p->rescaleAxes();
        p->replot(QCustomPlot::rpQueuedReplot);
    }
}

QStringList TMatEdit::flowCurveNames() const {
    QStringList names;
    for (int i = 0; i < m_flowPlot->graphCount(); ++i)
        names << m_flowPlot->graph(i)->name();
    return names;
}

int TMatEdit::flowPoints(int graph) const {
    return graph < m_flowPlot->graphCount() ? m_flowPlot->graph(graph)->dataCount() : 0;
}

void TMatEdit::closeEvent(QCloseEvent* e) {
    if (isModified() && !confirm(QStringLiteral("Materiál má neuložené změny. Zavřít bez uložení?")))
        e->ignore();
    else
        e->accept();
}

bool askAccount(QWidget* parent, QString& user, QString& password) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("MatEdit – přihlášení"));
    auto* form = new QFormLayout(&dialog);
    auto* userEdit = new QLineEdit(user);
    userEdit->setObjectName(QStringLiteral("Uzivatel"));
    auto* passwordEdit = new QLineEdit;
    passwordEdit->setObjectName(QStringLiteral("Heslo"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Uživatel s právem zápisu"), userEdit);
    form->addRow(QStringLiteral("Heslo"), passwordEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    (user.isEmpty() ? userEdit : passwordEdit)->setFocus();
    if (ui().execModal(&dialog) != QDialog::Accepted) return false;
    user = userEdit->text();
    password = passwordEdit->text();
    return true;
}

} // namespace prolis::edit
