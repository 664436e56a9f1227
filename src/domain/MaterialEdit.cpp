#include "MaterialEdit.h"

#include "DataFields.h"
#include "core/Errors.h"
#include "core/NumberText.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace prolis::edit {

Data materialRow(const Material& m) {
    Data d;
    d.nazev = m.nazev;
    d.rm = m.rm;
    d.rp = m.rp;
    d.a5 = m.a5;
    d.z = m.z;
    return d;
}

void setMaterialRow(Material& m, const Data& row) {
    m.nazev = row.nazev;
    m.rm = row.rm;
    m.rp = row.rp;
    m.a5 = row.a5;
    m.z = row.z;
}

namespace {
// The name and material values of `from` into `to`, field by field.
void copyMaterialRow(Data& to, const Data& from) {
    for (const DataField* f : fieldsIn(DataTable::Materialy)) {
        if (f->kind == FieldKind::Text)
            to.nazev = from.nazev;
        else
            *f->in(to) = f->of(from);
    }
}

bool sameMaterialRow(const Data& a, const Data& b) {
    Data c = b;
    copyMaterialRow(c, a);
    return c == b;
}
} // namespace

QList<Data> records(const Material& m) {
    QList<Data> out = m.temperatures;
    const Data row = materialRow(m);
    for (Data& d : out)
        copyMaterialRow(d, row);
    std::sort(out.begin(), out.end(), [](const Data& a, const Data& b) { return a.teplo < b.teplo; });
    return out;
}

FromRecords fromRecords(const QList<Data>& list) {
    if (list.isEmpty()) return {std::nullopt, QStringLiteral("Soubor neobsahuje žádný materiál.")};
    Material m;
    const Data& first = list.first();
    setMaterialRow(m, first);
    for (const Data& d : list) {
        if (!sameMaterialRow(first, d))
            return {
                std::nullopt,
                QStringLiteral("Záznamy souboru se liší v názvu nebo hodnotách materiálu (teplota %1 °C).")
                    .arg(d.teplo)};
        m.temperatures.append(d);
    }
    std::sort(m.temperatures.begin(), m.temperatures.end(),
              [](const Data& a, const Data& b) { return a.teplo < b.teplo; });
    return {m, {}};
}

namespace {
bool finite(const Data& d) {
    for (const DataField& f : dataFields())
        if (f.table != DataTable::Materialy && f.kind == FieldKind::Number && !std::isfinite(f.of(d)))
            return false;
    return true;
}

double maxStrain(const Data& d) {
    return d.fimax > 0 ? d.fimax : 2.0;
}

// The strains of a curve: `points` of them, evenly over (0, φ(max)].
QList<double> strains(const Data& d, int points) {
    QList<double> phi;
    const double top = maxStrain(d);
    for (int i = 1; i <= points; ++i)
        phi.append(top * i / points);
    return phi;
}
} // namespace

QString nameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) return QStringLiteral("Název materiálu nesmí být prázdný.");
    if (name.size() > 100) return QStringLiteral("Název materiálu je delší než 100 znaků.");
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const QChar::Category cat = c.category();
        const bool refused = c.isSurrogate() || cat == QChar::Other_Control || cat == QChar::Other_Format ||
                             cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph ||
                             c.unicode() == 0xFFFE || c.unicode() == 0xFFFF;
        if (refused) {
            static const QMap<ushort, const char*> known{
                {0x00, "NUL"}, {0x09, "tabulátor"},         {0x0A, "LF"},   {0x0D, "CR"}, {0x1B, "ESC"},
                {0x7F, "DEL"}, {0x2028, "oddělovač řádků"}, {0xFEFF, "BOM"}};
            const QString code =
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            const char* known_name = known.value(c.unicode(), nullptr);
            return QStringLiteral("Název materiálu obsahuje nepovolený znak U+%1%2 na %3. místě.")
                .arg(code, c.isSurrogate() ? QStringLiteral(" (osamocená polovina znaku)")
                           : known_name    ? QStringLiteral(" (%1)").arg(QString::fromUtf8(known_name))
                                           : QString())
                .arg(i + 1);
        }
    }
    if (name.front().isSpace() || name.back().isSpace())
        return QStringLiteral("Název materiálu nesmí začínat ani končit mezerou.");
    return {};
}

const QList<std::pair<QString, QStringList>>& constantGroups() {
    static const QList<std::pair<QString, QStringList>> g = [] {
        QList<std::pair<QString, QStringList>> out;
        for (DataGroup group :
             {DataGroup::Polytropa, DataGroup::Polynom3, DataGroup::Polynom5, DataGroup::PolynomF,
              DataGroup::PolynomD, DataGroup::WorkPolytropa, DataGroup::WorkPolynom, DataGroup::Strain}) {
            QStringList columns;
            for (const DataField* f : fieldsOf(group))
                columns << f->column;
            out.append({groupCaption(group), columns});
        }
        return out;
    }();
    return g;
}

double* constantOf(Data& d, const QString& column) {
    const DataField* f = dataField(column);
    return f && f->table != DataTable::Materialy ? f->in(d) : nullptr;
}

double constantOf(const Data& d, const QString& column) {
    const DataField* f = dataField(column);
    return f && f->table != DataTable::Materialy ? f->of(d) : 0.0;
}

QStringList limited(const QStringList& lines) {
    if (lines.size() <= MaxListedRefusals) return lines;
    QStringList out = lines.mid(0, MaxListedRefusals);
    out << QStringLiteral("… a %1 dalších.").arg(lines.size() - MaxListedRefusals);
    return out;
}

QStringList refusals(const Material& m) {
    QStringList out;
    if (const QString name = nameProblem(m.nazev); !name.isEmpty()) out << name;
    bool finiteValues = true;
    for (double v : {m.rm, m.rp, m.a5, m.z})
        finiteValues = finiteValues && std::isfinite(v);
    if (!finiteValues) out << QStringLiteral("Hodnoty materiálu musí být konečná čísla.");
    // What no steel can have.
    const QList<std::pair<const char*, double>> values{{"Rm", m.rm}, {"Rp", m.rp}, {"A5", m.a5}, {"Z", m.z}};
    for (const auto& [name, v] : values)
        if (v < 0)
            out << QStringLiteral("%1 nesmí být záporné (%2).").arg(QLatin1String(name), formatGeneral(v));
    if (m.z > 100) out << QStringLiteral("Kontrakce Z nemůže být větší než 100 %.");
    QSet<int> seen;
    for (const Data& d : m.temperatures) {
        if (seen.contains(d.teplo)) out << QStringLiteral("Teplota %1 °C je zadána vícekrát.").arg(d.teplo);
        seen.insert(d.teplo);
        if (d.teplo < -273) out << QStringLiteral("Teplota %1 °C je pod absolutní nulou.").arg(d.teplo);
        if (!finite(d))
            out << QStringLiteral("Konstanty při teplotě %1 °C musí být konečná čísla.").arg(d.teplo);
        if (d.fimax < 0 || d.fistr < 0)
            out << QStringLiteral("φ(max) ani φ(str) nesmí být záporné (teplota %1 °C).").arg(d.teplo);
    }
    return limited(out);
}

QStringList warnings(const Material& m) {
    QStringList out;
    if (m.temperatures.isEmpty())
        out << QStringLiteral("Materiál nemá žádnou teplotu: Prolis jej k výpočtu nenabídne.");
    if (m.rm == 0 && m.rp == 0 && m.a5 == 0 && m.z == 0)
        out << QStringLiteral("Rm, Rp, A5 ani Z nejsou zadány.");
    if (m.rp > m.rm) out << QStringLiteral("Mez kluzu Rp je větší než mez pevnosti Rm.");
    if (m.a5 > 100) out << QStringLiteral("Tažnost A5 je větší než 100 %.");
    for (const Data& d : m.temperatures) {
        const QString at = QStringLiteral(" (teplota %1 °C)").arg(d.teplo);
        if (d.teplo > 1250)
            out << QStringLiteral("Teplota %1 °C je nad teplotami tváření oceli.").arg(d.teplo);
        if (d.fistr > d.fimax) out << QStringLiteral("φ(str) je větší než φ(max)") + at + QLatin1Char('.');
        if (availableEquations(d).isEmpty())
            out << QStringLiteral("Chybí konstanty všech rovnic přetvárného odporu") + at + QLatin1Char('.');
        if (d.ppol_a == 0.0 && d.ppn[0] == 0.0)
            out << QStringLiteral("Materiál nemá konstanty pro výpočet přetvárné práce") + at +
                       QLatin1Char('.');
        for (EquationKind k : availableEquations(d)) {
            const Curve c = flowCurve(d, k, 50);
            bool falls = c.phi.size() < 50, negative = false;
            for (qsizetype i = 0; i < c.value.size(); ++i) {
                negative = negative || c.value[i] < 0;
                falls = falls || (i > 0 && c.value[i] < c.value[i - 1]);
            }
            if (negative)
                out << QStringLiteral("Křivka rovnice %1 je záporná").arg(equationCaption(k)) + at +
                           QLatin1Char('.');
            else if (falls)
                out << QStringLiteral("Křivka rovnice %1 klesá").arg(equationCaption(k)) + at +
                           QLatin1Char('.');
        }
    }
    return out;
}

QList<EquationKind> availableEquations(const Data& d) {
    QList<EquationKind> out;
    for (EquationKind k :
         {EquationKind::Polytropa, EquationKind::Polynom3, EquationKind::Polynom5, EquationKind::Racionalni})
        if (EquationAvailable(d, k)) out.append(k);
    return out;
}

Curve flowCurve(const Data& d, EquationKind kind, int points) {
    Curve c;
    for (double phi : strains(d, points)) {
        try {
            const double v = FlowStress(d, kind, phi);
            c.phi.append(phi);
            c.value.append(v);
        } catch (const Error&) {
            // the model has no value here (a pole of the rational function, ...)
        }
    }
    return c;
}

Curve workCurve(const Data& d, int points) {
    Curve c;
    for (double phi : strains(d, points)) {
        try {
            const double v = SpecificWork(d, phi);
            c.phi.append(phi);
            c.value.append(v);
        } catch (const Error&) {
        }
    }
    return c;
}

QString equationCaption(EquationKind kind) {
    switch (kind) {
    case EquationKind::Polytropa:
        return QStringLiteral("Polytropa");
    case EquationKind::Polynom3:
        return QStringLiteral("Polynom 3 st.");
    case EquationKind::Polynom5:
        return QStringLiteral("Polynom 5 st.");
    case EquationKind::Racionalni:
        return QStringLiteral("Racionálně lomená fce");
    case EquationKind::None:
        break;
    }
    return {};
}

} // namespace prolis::edit
