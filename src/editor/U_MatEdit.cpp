#include "U_MatEdit.h"

#include "MatEditCli.h"
#include "core/FileIo.h"
#include "core/NumberText.h"
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
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <qcustomplot.h>

namespace prolis::edit {

namespace {

// The constants of one temperature by the names of their columns.
double* valueOf(Data& d, const QString& field) {
    static const QList<std::pair<const char*, double Data::*>> plain{
        {"fimax", &Data::fimax},   {"fistr", &Data::fistr},  {"pol_a", &Data::pol_a},
        {"pol_b", &Data::pol_b},   {"pol_c", &Data::pol_c},  {"ppol_a", &Data::ppol_a},
        {"ppol_b", &Data::ppol_b}, {"ppol_c", &Data::ppol_c}};
    for (const auto& [name, member] : plain)
        if (field == QLatin1String(name)) return &(d.*member);
    const qsizetype underscore = field.lastIndexOf(QLatin1Char('_'));
    const QString prefix = field.left(underscore);
    const int i = field.mid(underscore + 1).toInt();
    const auto item = [&](auto& array) -> double* {
        return i >= 0 && i < static_cast<int>(array.size()) ? &array[static_cast<size_t>(i)] : nullptr;
    };
    if (prefix == u"pn3") return item(d.pn3);
    if (prefix == u"pn5") return item(d.pn5);
    if (prefix == u"rlff") return item(d.rlff);
    if (prefix == u"rlfd") return item(d.rlfd);
    if (prefix == u"ppn") return item(d.ppn);
    return nullptr;
}

double* valueOf(Material& m, const QString& field) {
    if (field == u"rm") return &m.rm;
    if (field == u"rp") return &m.rp;
    if (field == u"a5") return &m.a5;
    if (field == u"z") return &m.z;
    return nullptr;
}

QStringList numbered(const char* prefix, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QLatin1String(prefix) + QString::number(i);
    return out;
}

// The groups of the constants, as the selection dialog shows them.
const QList<std::pair<QString, QStringList>>& groups() {
    static const QList<std::pair<QString, QStringList>> g{
        {QStringLiteral("Polytropa"), {"pol_a", "pol_b", "pol_c"}},
        {QStringLiteral("Polynom 3 st."), numbered("pn3_", 4)},
        {QStringLiteral("Polynom 5 st."), numbered("pn5_", 6)},
        {QStringLiteral("Polynom F"), numbered("rlff_", 10)},
        {QStringLiteral("Polynom D"), numbered("rlfd_", 10)},
        {QStringLiteral("Měrná práce: Polytropa"), {"ppol_a", "ppol_b", "ppol_c"}},
        {QStringLiteral("Měrná práce: Polynom"), numbered("ppn_", 10)},
        {QStringLiteral("Přetvoření"), {"fimax", "fistr"}},
    };
    return g;
}

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
    plot->setMinimumSize(380, 260);
    plot->xAxis->setLabel(QStringLiteral("φ [-]"));
    plot->yAxis->setLabel(yLabel);
    plot->legend->setVisible(true);
    // The curves rise from the lower left: the legend stands in the empty upper left.
    plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignLeft | Qt::AlignTop);
    QFont small = plot->legend->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    plot->legend->setFont(small);
    return plot;
}

} // namespace

TMatEdit::TMatEdit(MaterialStore& store, QWidget* parent) : QMainWindow(parent), m_store(store) {
    setWindowTitle(QStringLiteral("MatEdit – materiálová databáze"));
    setWindowIcon(programIcon());
    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);

    // The materials.
    auto* left = new QVBoxLayout;
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
    m_list->setMinimumWidth(420);
    left->addWidget(m_filter);
    left->addWidget(m_list);
    auto* listButtons = new QGridLayout;
    const auto button = [this](const QString& text, const char* name, auto handler) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [handler] { guarded(handler); });
        return b;
    };
    listButtons->addWidget(button(QStringLiteral("Nový"), "Novy", [this] { NewMaterial(); }), 0, 0);
    listButtons->addWidget(button(QStringLiteral("Kopie"), "Kopie", [this] { CopyMaterial(); }), 0, 1);
    listButtons->addWidget(button(QStringLiteral("Smazat"), "Smazat", [this] { DeleteMaterial(); }), 0, 2);
    listButtons->addWidget(button(QStringLiteral("Uložit"), "Ulozit", [this] { SaveMaterial(); }), 1, 0);
    listButtons->addWidget(button(QStringLiteral("Import…"), "Import", [this] { ImportMaterial(); }), 1, 1);
    listButtons->addWidget(button(QStringLiteral("Export…"), "Export", [this] { ExportMaterial(); }), 2, 1);
    listButtons->addWidget(button(QStringLiteral("Ukončit"), "Ukoncit", [this] { close(); }), 2, 2);
    left->addLayout(listButtons);
    columns->addLayout(left);

    // The material and its temperatures.
    auto* middle = new QVBoxLayout;
    auto* materialBox = new QGroupBox(QStringLiteral("Materiál"));
    auto* materialForm = new QFormLayout(materialBox);
    for (const auto& [field, label] : QList<std::pair<QString, QString>>{
             {"nazev", "Název"}, {"rm", "Rm [MPa]"}, {"rp", "Rp [MPa]"}, {"a5", "A5 [%]"}, {"z", "Z [%]"}}) {
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
        button(QStringLiteral("Přidat teplotu"), "PridatTeplotu", [this] { AddTemperature(20, false); }));
    temperatureLayout->addWidget(button(QStringLiteral("Přidat kopii teploty"), "KopieTeploty", [this] {
        AddTemperature(chosen() ? chosen()->teplo + 100 : 20, true);
    }));
    temperatureLayout->addWidget(
        button(QStringLiteral("Smazat teplotu"), "SmazatTeplotu", [this] { DeleteTemperature(); }));
    middle->addWidget(temperatureBox);
    auto* fitBox = new QGroupBox(QStringLiteral("Naměřená křivka"));
    auto* fitLayout = new QVBoxLayout(fitBox);
    auto* curveButtons = new QHBoxLayout;
    curveButtons->addWidget(
        button(QStringLiteral("Načíst křivku…"), "NacistKrivku", [this] { LoadCurve(); }));
    curveButtons->addWidget(button(QStringLiteral("Vložit"), "VlozitKrivku",
                                   [this] { PasteCurve(QGuiApplication::clipboard()->text()); }));
    curveButtons->addWidget(button(QStringLiteral("Proložit"), "Prolozit", [this] { FitCurve(); }));
    fitLayout->addLayout(curveButtons);
    m_fits = new QListWidget;
    m_fits->setObjectName(QStringLiteral("Prolozeni"));
    m_fits->setMaximumHeight(110);
    fitLayout->addWidget(m_fits);
    fitLayout->addWidget(button(QStringLiteral("Převzít zaškrtnuté"), "Prevzit", [this] { TakeFits(); }));
    middle->addWidget(fitBox);
    columns->addLayout(middle);

    // The constants and their curves.
    auto* scroll = new QScrollArea;
    scroll->setWidget(buildConstants());
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(300);
    columns->addWidget(scroll);
    auto* plots = new QVBoxLayout;
    m_flowPlot = makePlot(QStringLiteral("σp [MPa]"));
    m_flowPlot->setObjectName(QStringLiteral("GrafSigma"));
    m_workPlot = makePlot(QStringLiteral("Aj [J/mm^3]"));
    m_workPlot->setObjectName(QStringLiteral("GrafPrace"));
    plots->addWidget(m_flowPlot);
    plots->addWidget(m_workPlot);
    columns->addLayout(plots, 1);
    setCentralWidget(central);
    resize(1500, 820);
    setButtonGlyphs(this);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { guarded([this] { RefreshList(); }); });
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) {
        const int id = m_list->item(row, 0)->data(Qt::UserRole).toInt();
        guarded([&] { OpenMaterial(id); });
    });
    guarded([this] { RefreshList(); });
    showMaterial();
}

QWidget* TMatEdit::buildConstants() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    for (const auto& [title, fields] : groups()) {
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
    m_listed = m_store.list();
    m_list->setSortingEnabled(false);
    m_list->setRowCount(0);
    const QString filter = m_filter->text().trimmed();
    for (const ListedMaterial& m : m_listed) {
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
}

bool TMatEdit::keepOrDiscard() {
    return !isModified() || confirm(QStringLiteral("Materiál má neuložené změny. Zahodit je?"));
}

bool TMatEdit::OpenMaterial(int id) {
    if (!keepOrDiscard()) return false;
    m_loaded = m_store.load(id);
    if (!m_loaded) {
        warning(QStringLiteral("Materiál v databázi už není."));
        RefreshList();
        return false;
    }
    m_edited = *m_loaded;
    m_temperatureRow = m_edited.temperatures.isEmpty() ? -1 : 0;
    showMaterial();
    return true;
}

void TMatEdit::NewMaterial() {
    if (!keepOrDiscard()) return;
    m_loaded.reset();
    m_edited = Material{};
    m_temperatureRow = -1;
    showMaterial();
}

void TMatEdit::CopyMaterial() {
    if (!m_loaded) {
        warning(QStringLiteral("Nejprve vyberte uložený materiál."));
        return;
    }
    if (!keepOrDiscard()) return;
    m_edited = *m_loaded; // the copy is of what the database holds
    const int id = m_store.duplicate(*m_loaded);
    RefreshList();
    OpenMaterial(id);
}

void TMatEdit::DeleteMaterial() {
    if (!m_loaded) return;
    const QString question = QStringLiteral("Smazat materiál „%1“ i s jeho teplotami (%2)?")
                                 .arg(m_loaded->nazev)
                                 .arg(m_loaded->temperatures.size());
    if (!confirm(question)) return;
    try {
        m_store.remove(*m_loaded);
    } catch (const SaveRefused& e) {
        warning(e.message());
        return;
    }
    m_loaded.reset();
    m_edited = Material{};
    m_temperatureRow = -1;
    RefreshList();
    showMaterial();
}

void TMatEdit::ImportMaterial() {
    if (!keepOrDiscard()) return;
    const QString path = ui().openFileName(QDir::currentPath(), QStringLiteral("Materiál JSON (*.json)"));
    if (path.isEmpty()) return;
    const MaterialFile file = readMaterialFile(path);
    if (!file.material) {
        warning(file.refusal);
        return;
    }
    Material imported = *file.material;
    m_loaded.reset();
    if (const std::optional<int> existing = m_store.findByName(imported.nazev)) {
        if (!confirm(QStringLiteral("Materiál „%1“ v databázi už je. Nahradit jeho hodnoty importovanými?")
                         .arg(imported.nazev)))
            return;
        m_loaded = m_store.load(*existing);
        imported.id = existing;
    }
    m_edited = imported;
    m_temperatureRow = m_edited.temperatures.isEmpty() ? -1 : 0;
    showMaterial();
}

void TMatEdit::ExportMaterial() {
    if (!m_loaded) {
        warning(QStringLiteral("Nejprve vyberte uložený materiál."));
        return;
    }
    const QString path = ui().saveFileName(QDir::currentPath(), m_loaded->nazev + QStringLiteral(".json"),
                                           QStringLiteral("Materiál JSON (*.json)"));
    if (path.isEmpty()) return;
    QString reason;
    if (!writeWholeFile(path, materialJson(*m_loaded), &reason))
        errorBox(QStringLiteral("Soubor nebyl uložen.\r") + path + QStringLiteral(": ") + reason);
}

bool TMatEdit::SaveMaterial() {
    const QStringList refused = refusals(m_edited);
    if (!refused.isEmpty()) {
        warning(refused.join(QLatin1Char('\r')));
        return false;
    }
    const QStringList warned = warnings(m_edited);
    if (!warned.isEmpty() && !confirm(warned.join(QLatin1Char('\r')) + QStringLiteral("\rUložit přesto?")))
        return false;
    int id = 0;
    try {
        id = m_store.save(m_loaded, m_edited);
    } catch (const SaveRefused& e) {
        warning(e.message()); // the form keeps the user's values
        return false;
    } catch (const DatabaseError& e) {
        errorBox(QStringLiteral("Materiál nebyl uložen.\r") + errorDisplayText(e.message()));
        return false;
    }
    m_loaded = m_store.load(id);
    if (m_loaded) m_edited = *m_loaded;
    RefreshList();
    showMaterial();
    information(QStringLiteral("Materiál „%1“ byl uložen.").arg(m_edited.nazev));
    return true;
}

namespace {
// The fits in the order of the list: the equation (None for the work law) and its quality.
QList<std::pair<EquationKind, const fit::Quality*>> fitsOf(const fit::Result& r) {
    return {{EquationKind::Polytropa, &r.polytropa},
            {EquationKind::Polynom3, &r.polynom3},
            {EquationKind::Polynom5, &r.polynom5},
            {EquationKind::Racionalni, &r.racionalni},
            {EquationKind::None, &r.work}};
}
} // namespace

bool TMatEdit::LoadCurve() {
    if (!chosen()) {
        warning(QStringLiteral("Nejprve vyberte teplotu."));
        return false;
    }
    const QString path = ui().openFileName(
        QDir::currentPath(), QStringLiteral("Naměřené body (*.txt *.csv *.dat);;Všechny soubory (*)"));
    if (path.isEmpty()) return false;
    const FileRead file = readBoundedFile(path, fit::MaxPointsFileSize);
    if (!file) {
        warning(QStringLiteral("Soubor %1 nelze číst.").arg(path));
        return false;
    }
    const fit::ReadPoints read = fit::readPoints(file.bytes);
    if (!read.refusal.isEmpty()) {
        warning(read.refusal);
        return false;
    }
    showCurve(read);
    return true;
}

bool TMatEdit::PasteCurve(const QString& text) {
    if (!chosen()) {
        warning(QStringLiteral("Nejprve vyberte teplotu."));
        return false;
    }
    const fit::ReadPoints read = fit::readPoints(text.toUtf8());
    if (!read.refusal.isEmpty()) {
        warning(read.refusal);
        return false;
    }
    showCurve(read);
    return true;
}

void TMatEdit::showCurve(const fit::ReadPoints& read) {
    m_points = read.points;
    m_fit.reset();
    m_fits->clear();
    replot();
}

void TMatEdit::FitCurve() {
    if (m_points.isEmpty()) {
        warning(QStringLiteral("Nejprve načtěte naměřenou křivku."));
        return;
    }
    fit::Options options;
    if (const Data* d = chosen(); d && d->fistr > 0) options.phiStr = d->fistr;
    m_fit = fit::fitAll(m_points, options);
    if (!m_fit->refusal.isEmpty()) {
        warning(m_fit->refusal);
        m_fit.reset();
        return;
    }
    m_fits->clear();
    for (const auto& [kind, q] : fitsOf(*m_fit)) {
        const QString name =
            kind == EquationKind::None ? QStringLiteral("Měrná práce: Polynom") : equationCaption(kind);
        const QString unit = kind == EquationKind::None ? QStringLiteral("J/mm^3") : QStringLiteral("MPa");
        auto* item = new QListWidgetItem(q->fitted ? QStringLiteral("%1: R² = %2, max. odchylka %3 %4 (%5 %)")
                                                         .arg(name, formatFixed(q->r2, 6),
                                                              formatGeneral(q->maxDeviation), unit,
                                                              formatFixed(q->maxDeviationPercent, 2))
                                                   : QStringLiteral("%1: málo bodů").arg(name));
        item->setToolTip(item->text());
        item->setFlags(q->fitted ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
        item->setCheckState(q->fitted ? Qt::Checked : Qt::Unchecked);
        m_fits->addItem(item);
    }
    replot();
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
    Data* d = chosen();
    if (!d || !m_fit) return;
    const Data& f = m_fit->constants;
    const QList<std::pair<EquationKind, const fit::Quality*>> fits = fitsOf(*m_fit);
    for (int i = 0; i < fits.size(); ++i) {
        if (m_fits->item(i)->checkState() != Qt::Checked) continue;
        switch (fits[i].first) {
        case EquationKind::Polytropa:
            d->pol_a = f.pol_a, d->pol_b = f.pol_b, d->pol_c = f.pol_c;
            d->ppol_a = f.ppol_a, d->ppol_b = f.ppol_b, d->ppol_c = f.ppol_c; // its work law with it
            break;
        case EquationKind::Polynom3:
            d->pn3 = f.pn3;
            break;
        case EquationKind::Polynom5:
            d->pn5 = f.pn5;
            break;
        case EquationKind::Racionalni:
            d->rlff = f.rlff, d->rlfd = f.rlfd;
            break;
        case EquationKind::None:
            d->ppn = f.ppn;
            break;
        }
    }
    if (d->fimax == 0) d->fimax = f.fimax;
    showTemperature();
}

void TMatEdit::AddTemperature(int temperature, bool copyChosen) {
    Data d = copyChosen && chosen() ? *chosen() : Data{};
    d.teplo = static_cast<std::int16_t>(std::clamp(temperature, -32768, 32767));
    m_edited.temperatures.append(d);
    m_temperatureRow = static_cast<int>(m_edited.temperatures.size()) - 1;
    showMaterial();
}

void TMatEdit::DeleteTemperature() {
    if (!chosen()) return;
    if (!confirm(QStringLiteral("Smazat teplotu %1 °C?").arg(chosen()->teplo))) return;
    m_edited.temperatures.removeAt(m_temperatureRow);
    m_temperatureRow = std::min(m_temperatureRow, static_cast<int>(m_edited.temperatures.size()) - 1);
    showMaterial();
}

void TMatEdit::SelectTemperature(int row) {
    if (row != m_temperatureRow) {
        m_points.clear(); // a curve belongs to its temperature
        m_fit.reset();
        m_fits->clear();
    }
    m_temperatureRow = row >= 0 && row < m_edited.temperatures.size() ? row : -1;
    showTemperature();
}

Data* TMatEdit::chosen() {
    return m_temperatureRow >= 0 && m_temperatureRow < m_edited.temperatures.size()
               ? &m_edited.temperatures[m_temperatureRow]
               : nullptr;
}

void TMatEdit::TypeField(const QString& field, const QString& text) {
    QLineEdit* e = m_fields.value(field);
    if (!e) return;
    e->setText(text);
    applyField(field, text, e);
}

void TMatEdit::applyField(const QString& field, const QString& text, QLineEdit* edit) {
    // Numbers are typed as in Prolis, with the decimal comma; an empty field is 0.
    if (field == u"nazev") {
        m_edited.nazev = text;
        return;
    }
    double value = 0;
    bool valid = true;
    if (!text.trimmed().isEmpty()) {
        try {
            value = textToFloat(text.trimmed());
        } catch (const Error&) {
            valid = false;
        }
    }
    if (field == u"teplo") valid = valid && value == std::trunc(value) && value >= -32768 && value <= 32767;
    markInvalid(edit, !valid);
    if (!valid) return;
    if (double* m = valueOf(m_edited, field)) {
        *m = value;
        return;
    }
    Data* d = chosen();
    if (!d) return;
    if (field == u"teplo") {
        d->teplo = static_cast<std::int16_t>(value);
        if (QListWidgetItem* item = m_temperatures->item(m_temperatureRow))
            item->setText(QStringLiteral("%1 °C").arg(d->teplo));
    } else if (double* c = valueOf(*d, field)) {
        *c = value;
    }
    replot();
}

void TMatEdit::showMaterial() {
    m_showing = true;
    m_fields.value("nazev")->setText(m_edited.nazev);
    for (const char* f : {"rm", "rp", "a5", "z"}) {
        m_fields.value(f)->setText(formatGeneral(*valueOf(m_edited, QLatin1String(f))));
        markInvalid(m_fields.value(f), false);
    }
    m_temperatures->clear();
    for (const Data& d : m_edited.temperatures)
        m_temperatures->addItem(QStringLiteral("%1 °C").arg(d.teplo));
    m_temperatures->setCurrentRow(m_temperatureRow);
    m_showing = false;
    showTemperature();
}

void TMatEdit::showTemperature() {
    Data* d = chosen();
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        if (it.key() == u"nazev" || valueOf(m_edited, it.key())) continue;
        it.value()->setEnabled(d != nullptr);
        markInvalid(it.value(), false);
        if (!d)
            it.value()->clear();
        else if (it.key() == u"teplo")
            it.value()->setText(QString::number(d->teplo));
        else if (double* v = valueOf(*d, it.key()))
            it.value()->setText(formatGeneral(*v));
    }
    replot();
}

void TMatEdit::replot() {
    static const QList<QColor> colours{QColor(0x1f, 0x5a, 0x9e), QColor(0xd9, 0x82, 0x2b),
                                       QColor(0x2e, 0x85, 0x40), QColor(0xb3, 0x3a, 0x3a)};
    m_flowPlot->clearGraphs();
    m_workPlot->clearGraphs();
    if (const Data* d = chosen()) {
        int k = 0;
        for (EquationKind kind : availableEquations(*d)) {
            const Curve c = flowCurve(*d, kind);
            QCPGraph* g = m_flowPlot->addGraph();
            g->setName(equationCaption(kind));
            g->setPen(QPen(colours[k++ % colours.size()], 2));
            g->setData(QVector<double>(c.phi.begin(), c.phi.end()),
                       QVector<double>(c.value.begin(), c.value.end()));
        }
        if (!m_points.isEmpty()) {
            QCPGraph* measured = m_flowPlot->addGraph();
            measured->setName(QStringLiteral("naměřeno"));
            measured->setLineStyle(QCPGraph::lsNone);
            measured->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, Qt::black, 4));
            QVector<double> x, y;
            for (const fit::Point& p : m_points)
                x << p.phi, y << p.sigma;
            measured->setData(x, y);
        }
        if (m_fit) {
            int j = 0;
            for (EquationKind kind : availableEquations(m_fit->constants)) {
                const Curve c = flowCurve(m_fit->constants, kind);
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
