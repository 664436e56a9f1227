#include "MaterialSession.h"

#include "MaterialFiles.h"
#include "core/NumberText.h"
#include "domain/DataFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace prolis::edit {

namespace {

// A material value (Rm, Rp, A5, Z) by its field name.
double materialValue(const Material& m, const QString& field) {
    const DataField* f = dataField(field);
    return f ? f->of(materialRow(m)) : 0.0;
}

void setMaterialValue(Material& m, const QString& field, double v) {
    Data row = materialRow(m);
    if (double* target = dataField(field)->in(row)) *target = v;
    setMaterialRow(m, row);
}

// A number as the fields take it: the decimal comma, an empty field 0.
bool parseNumber(const QString& text, double& value) {
    if (text.trimmed().isEmpty()) {
        value = 0;
        return true;
    }
    return tryTextToFloat(text.trimmed(), value) && std::isfinite(value);
}

// A temperature: whole degrees the record can hold (16 bits).
bool parseTemperature(const QString& text, int& value) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    qsizetype i = t.front() == u'-' || t.front() == u'+' ? 1 : 0;
    if (i == t.size()) return false;
    for (qsizetype j = i; j < t.size(); ++j)
        if (t[j] < u'0' || t[j] > u'9') return false;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok || v < -32768 || v > 32767) return false;
    value = static_cast<int>(v);
    return true;
}

// `v` rounded to `digits` significant decimal digits (exactly as its text).
double roundedTo(double v, int digits) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, digits - 1);
    double out = v;
    std::from_chars(buffer, r.ptr, out);
    return out;
}

} // namespace

bool isMaterialField(const QString& field) {
    const DataField* f = dataField(field);
    return f && f->table == DataTable::Materialy;
}

bool isTemperatureField(const QString& field) {
    Data d;
    return field == u"teplo" || constantOf(d, field) != nullptr;
}

QString fieldCaption(const QString& field) {
    const DataField* f = dataField(field);
    return f ? f->caption : field;
}

void MaterialSession::refreshList() {
    m_listed = m_repository.list();
}

Material MaterialSession::edited() const {
    Material m = m_material;
    m.temperatures.clear();
    for (const Temperature& t : m_temperatures)
        m.temperatures.append(t.data);
    return m;
}

bool MaterialSession::isModified() const {
    if (!m_invalid.isEmpty()) return true;
    for (const Temperature& t : m_temperatures)
        if (!t.invalid.isEmpty()) return true;
    return m_loaded ? edited() != *m_loaded : edited() != Material{};
}

void MaterialSession::show(const std::optional<Material>& loaded, const Material& m) {
    m_loaded = loaded;
    m_material = m;
    m_material.temperatures.clear();
    m_invalid.clear();
    m_temperatures.clear();
    for (const Data& d : m.temperatures) {
        Temperature t;
        t.data = d;
        t.serial = m_nextSerial++;
        m_temperatures.append(t);
    }
    m_chosen = -1;
    sortTemperatures();
    m_chosen = m_temperatures.isEmpty() ? -1 : 0;
}

bool MaterialSession::open(int id) {
    const std::optional<Material> m = m_repository.load(id);
    if (!m) {
        refreshList();
        return false;
    }
    show(m, *m);
    return true;
}

void MaterialSession::newMaterial() {
    show(std::nullopt, Material{});
}

bool MaterialSession::copyLoaded() {
    if (!m_loaded || !m_loaded->id) return false;
    const int id = m_repository.duplicate(*m_loaded);
    refreshList();
    open(id);
    return true;
}

void MaterialSession::removeLoaded() {
    if (!m_loaded || !m_loaded->id) return;
    m_repository.remove(*m_loaded);
    newMaterial();
    refreshList();
}

MaterialSession::Temperature* MaterialSession::chosenTemperature() {
    return m_chosen >= 0 && m_chosen < m_temperatures.size() ? &m_temperatures[m_chosen] : nullptr;
}

const MaterialSession::Temperature* MaterialSession::chosenTemperature() const {
    return m_chosen >= 0 && m_chosen < m_temperatures.size() ? &m_temperatures[m_chosen] : nullptr;
}

const Data* MaterialSession::chosen() const {
    const Temperature* t = chosenTemperature();
    return t ? &t->data : nullptr;
}

void MaterialSession::choose(int row) {
    m_chosen = row >= 0 && row < m_temperatures.size() ? row : -1;
}

void MaterialSession::sortTemperatures() {
    // The chosen temperature stays chosen wherever it moves to.
    const int serial = chosenTemperature() ? chosenTemperature()->serial : -1;
    std::stable_sort(m_temperatures.begin(), m_temperatures.end(),
                     [](const Temperature& a, const Temperature& b) { return a.data.teplo < b.data.teplo; });
    for (qsizetype i = 0; i < m_temperatures.size(); ++i)
        if (m_temperatures[i].serial == serial) m_chosen = static_cast<int>(i);
}

QString MaterialSession::addTemperature(int temperature, bool copyChosen) {
    if (temperature < -273 || temperature > 32767)
        return QStringLiteral(
                   "Teplotu %1 °C nelze přidat: záznam materiálu drží teploty od −273 do 32767 °C.")
            .arg(temperature);
    Temperature t;
    if (copyChosen && chosenTemperature()) t = *chosenTemperature();
    t.serial = m_nextSerial++;
    t.data.teplo = static_cast<std::int16_t>(temperature);
    t.invalid.remove(QStringLiteral("teplo"));
    m_temperatures.append(t);
    m_chosen = static_cast<int>(m_temperatures.size()) - 1;
    sortTemperatures();
    return {};
}

void MaterialSession::removeChosenTemperature() {
    if (!chosenTemperature()) return;
    m_temperatures.removeAt(m_chosen);
    m_chosen = std::min(m_chosen, static_cast<int>(m_temperatures.size()) - 1);
}

void MaterialSession::setField(const QString& field, const QString& text) {
    if (field == u"nazev") {
        m_material.nazev = text;
        return;
    }
    if (isMaterialField(field)) {
        double v = 0;
        if (parseNumber(text, v)) {
            setMaterialValue(m_material, field, v);
            m_invalid.remove(field);
        } else {
            m_invalid.insert(field, text);
        }
        return;
    }
    Temperature* t = chosenTemperature();
    if (!t) return;
    if (field == u"teplo") {
        int v = 0;
        if (parseTemperature(text, v)) {
            t->data.teplo = static_cast<std::int16_t>(v);
            t->invalid.remove(field);
            sortTemperatures();
        } else {
            t->invalid.insert(field, text);
        }
        return;
    }
    double* c = constantOf(t->data, field);
    if (!c) return;
    double v = 0;
    if (parseNumber(text, v)) {
        *c = v;
        t->invalid.remove(field);
    } else {
        t->invalid.insert(field, text);
    }
}

QString MaterialSession::fieldText(const QString& field) const {
    if (field == u"nazev") return m_material.nazev;
    if (isMaterialField(field)) {
        if (m_invalid.contains(field)) return m_invalid.value(field);
        return formatGeneral(materialValue(m_material, field));
    }
    const Temperature* t = chosenTemperature();
    if (!t) return {};
    if (t->invalid.contains(field)) return t->invalid.value(field);
    if (field == u"teplo") return QString::number(t->data.teplo);
    return formatGeneral(constantOf(t->data, field));
}

bool MaterialSession::fieldValid(const QString& field) const {
    if (field == u"nazev") return m_material.nazev.isEmpty() || nameProblem(m_material.nazev).isEmpty();
    if (isMaterialField(field)) return !m_invalid.contains(field);
    const Temperature* t = chosenTemperature();
    return !t || !t->invalid.contains(field);
}

QStringList MaterialSession::invalidFields() const {
    QStringList out;
    for (auto it = m_invalid.begin(); it != m_invalid.end(); ++it)
        out << QStringLiteral("%1: „%2“").arg(fieldCaption(it.key()), it.value());
    for (const Temperature& t : m_temperatures)
        for (auto it = t.invalid.begin(); it != t.invalid.end(); ++it)
            out << QStringLiteral("%1 (teplota %2 °C): „%3“")
                       .arg(fieldCaption(it.key()))
                       .arg(t.data.teplo)
                       .arg(it.value());
    return out;
}

void MaterialSession::setCurve(const QList<fit::Point>& points) {
    Temperature* t = chosenTemperature();
    if (!t) return;
    t->curve = points;
    t->fits.reset();
    t->ticked.clear();
}

const QList<fit::Point>& MaterialSession::curve() const {
    static const QList<fit::Point> none;
    const Temperature* t = chosenTemperature();
    return t ? t->curve : none;
}

const std::optional<fit::Fits>& MaterialSession::fits() const {
    static const std::optional<fit::Fits> none;
    const Temperature* t = chosenTemperature();
    return t ? t->fits : none;
}

QString MaterialSession::fitCurve() {
    Temperature* t = chosenTemperature();
    if (!t) return QStringLiteral("Nejprve vyberte teplotu.");
    if (t->curve.isEmpty()) return QStringLiteral("Nejprve načtěte naměřenou křivku.");
    fit::Options options;
    if (t->data.fistr > 0) options.phiStr = t->data.fistr;
    fit::Fits r = fit::fitAll(t->curve, options);
    if (!r.refusal.isEmpty()) return r.refusal;
    t->fits = r;
    t->ticked.clear();
    for (const fit::Fit& f : r.fits)
        t->ticked << f.made();
    // Every fit refused: the reasons at once (the list shows them too).
    if (!r.anyMade()) return r.reasons().join(QLatin1Char('\r'));
    return {};
}

QList<fit::Fit> MaterialSession::fitList() const {
    const std::optional<fit::Fits>& r = fits();
    return r ? r->fits : QList<fit::Fit>{};
}

bool MaterialSession::fitTicked(int row) const {
    const Temperature* t = chosenTemperature();
    return t && row >= 0 && row < t->ticked.size() && t->ticked[row];
}

void MaterialSession::tickFit(int row, bool ticked) {
    Temperature* t = chosenTemperature();
    if (t && row >= 0 && row < t->ticked.size()) t->ticked[row] = ticked && fitList()[row].made();
}

std::vector<double> shortestConstants(const std::vector<double>& fitted,
                                      const std::function<double(const std::vector<double>&, double)>& model,
                                      const QList<double>& strains, double tolerance) {
    // The curve of the full constants at the strains where it has a value.
    QList<std::pair<double, double>> reference;
    for (double phi : strains) {
        try {
            const double v = model(fitted, phi);
            if (std::isfinite(v)) reference.append({phi, v});
        } catch (const Error&) {
        }
    }
    const auto within = [&](const std::vector<double>& c) {
        for (const auto& [phi, v] : reference) {
            try {
                const double w = model(c, phi);
                if (!std::isfinite(w) || std::fabs(w - v) > tolerance) return false;
            } catch (const Error&) {
                return false;
            }
        }
        return true;
    };
    // No more than the 15 digits the fields show: what is shown is what is saved.
    std::vector<int> digits(fitted.size(), 15);
    std::vector<double> best(fitted.size());
    for (size_t i = 0; i < fitted.size(); ++i)
        best[i] = roundedTo(fitted[i], 15);
    for (int n = 1; n < 15; ++n) {
        std::vector<double> c(fitted.size());
        for (size_t i = 0; i < fitted.size(); ++i)
            c[i] = roundedTo(fitted[i], n);
        if (within(c)) {
            best = c;
            std::fill(digits.begin(), digits.end(), n);
            break;
        }
    }
    // Then each constant as short as the others allow.
    for (size_t i = 0; i < fitted.size(); ++i)
        for (int n = 1; n < digits[i]; ++n) {
            std::vector<double> c = best;
            c[i] = roundedTo(fitted[i], n);
            if (within(c)) {
                best = c;
                digits[i] = n;
                break;
            }
        }
    return best;
}

void MaterialSession::takeTickedFits() {
    Temperature* t = chosenTemperature();
    if (!t || !t->fits) return;
    const Data fitted = t->fits->constants();
    const QList<fit::Fit> list = fitList();
    for (int row = 0; row < list.size(); ++row) {
        if (!fitTicked(row)) continue;
        const fit::Fit& f = list[row];
        const fit::Quality& q = f.quality;
        QList<double> strains;
        for (const fit::Point& p : t->curve)
            if (p.phi >= q.phiMin && p.phi <= q.phiMax) strains << p.phi;
        for (int i = 0; i <= 50; ++i)
            strains << q.phiMin + (q.phiMax - q.phiMin) * i / 50;
        for (const fit::Law& law : f.laws) {
            // A work curve of its own law alone (ppn takes precedence over ppol).
            const auto model = [&](const std::vector<double>& values, double phi) {
                Data d = fitted;
                if (law.work && f.kind == fit::FitKind::Polytropa) d.ppn.fill(0);
                for (qsizetype i = 0; i < law.columns.size(); ++i)
                    *constantOf(d, law.columns[i]) = values[static_cast<size_t>(i)];
                return law.work ? SpecificWork(d, phi) * 1000.0 : FlowStress(d, f.equation(), phi);
            };
            const std::vector<double> shortest = shortestConstants(law.values, model, strains, 0.01);
            for (qsizetype i = 0; i < law.columns.size(); ++i) {
                *constantOf(t->data, law.columns[i]) = shortest[static_cast<size_t>(i)];
                t->invalid.remove(law.columns[i]);
            }
        }
    }
    if (t->data.fimax == 0) t->data.fimax = fitted.fimax;
}

QStringList MaterialSession::saveRefusals() const {
    QStringList out;
    const QStringList invalid = invalidFields();
    if (!invalid.isEmpty())
        out << QStringLiteral("Tato pole neobsahují platnou hodnotu: %1.")
                   .arg(limited(invalid).join(QStringLiteral(", ")));
    out << refusals(edited());
    return out;
}

QStringList MaterialSession::similarNames() const {
    if (m_material.nazev.trimmed().isEmpty()) return {};
    return m_repository.similarNames(m_material.nazev);
}

QStringList MaterialSession::saveWarnings() const {
    QStringList out = warnings(edited());
    for (const QString& name : similarNames())
        out << QStringLiteral(
                   "V databázi je materiál „%1“, jehož název se od „%2“ liší jen velikostí písmen, "
                   "diakritikou nebo mezerami.")
                   .arg(name, m_material.nazev);
    return out;
}

int MaterialSession::save() {
    int id = 0;
    try {
        id = m_repository.save(m_loaded, edited());
    } catch (const DeletedMeanwhile&) {
        // Gone from the database: the form holds a new material now.
        m_loaded.reset();
        m_material.id.reset();
        refreshList();
        throw;
    }
    QList<Temperature> before = m_temperatures;
    const int chosenDegrees = chosen() ? chosen()->teplo : 0;
    const bool hadChosen = chosen() != nullptr;
    if (const std::optional<Material> saved = m_repository.load(id)) {
        show(saved, *saved);
        for (Temperature& t : m_temperatures)
            for (const Temperature& b : before)
                if (b.data.teplo == t.data.teplo) {
                    t.curve = b.curve;
                    t.fits = b.fits;
                    t.ticked = b.ticked;
                }
        for (int i = 0; hadChosen && i < m_temperatures.size(); ++i)
            if (m_temperatures[i].data.teplo == chosenDegrees) m_chosen = i;
    }
    refreshList();
    return id;
}

MaterialSession::Import MaterialSession::prepareImport(const QString& path) const {
    const MaterialFile file = readMaterialFile(path);
    Import out;
    if (!file.material) {
        out.refusal = file.refusal;
        return out;
    }
    out.material = file.material;
    out.replaces = m_repository.findByName(file.material->nazev);
    out.similar = m_repository.similarNames(file.material->nazev);
    return out;
}

void MaterialSession::applyImport(const Import& import) {
    if (!import.material) return;
    Material m = *import.material;
    std::optional<Material> loaded;
    if (import.replaces) {
        loaded = m_repository.load(*import.replaces);
        if (loaded) m.id = import.replaces;
    }
    show(loaded, m);
}

} // namespace prolis::edit
