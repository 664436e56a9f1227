#pragma once
// A material as the material editor keeps it: the material row and one set
// of constants per forming temperature (the rows of "materialy" and of the
// combinations linked to it), its checks before a save, and the curves the
// editor draws, evaluated by the same flow-stress model the calculations use.
#include "Data.h"
#include "FlowModel.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace prolis::edit {

struct Material {
    std::optional<int> id; // none: not in the database yet
    QString nazev;
    double rm = 0, rp = 0, a5 = 0, z = 0;
    // One record per temperature, lowest first: the forming temperature and
    // the constants (their name and material values are those above).
    QList<Data> temperatures;

    bool operator==(const Material&) const = default;
};

// The material row (name and material values) as a record, and back.
Data materialRow(const Material& m);
void setMaterialRow(Material& m, const Data& row);

// The records of the material, one per temperature, each complete (name and
// material values filled in): what the material files hold.
QList<Data> records(const Material& m);
// A material from such records; they must agree on the name and the
// material values. A refusal says why.
struct FromRecords {
    std::optional<Material> material;
    QString refusal;
};
FromRecords fromRecords(const QList<Data>& records);

// Why a name cannot be a material's name (empty, too long, a control or
// format character, a lone surrogate, blanks at either end): the refusal
// naming the character, or empty.
QString nameProblem(const QString& name);

// The constants of one temperature by their column names ("pol_a",
// "pn3_0", "fimax", ...), grouped as the selection dialog shows them.
const QList<std::pair<QString, QStringList>>& constantGroups();
double* constantOf(Data& d, const QString& column);
double constantOf(const Data& d, const QString& column);

// Refusals are listed at most this many, then "… a N dalších".
inline constexpr int MaxListedRefusals = 5;
QStringList limited(const QStringList& lines);

// Why the material cannot be saved as it is (the checks Prolis makes when it
// reads it, and a temperature given twice): empty when it can.
QStringList refusals(const Material& m);
// What a technologist wants to know before saving (Rp above Rm, φ(str) above
// φ(max), a falling or negative curve, no work constants).
QStringList warnings(const Material& m);

// The equations the constants of one temperature make available.
QList<EquationKind> availableEquations(const Data& d);
// The flow stress σp(φ) of an equation at `points` strains spread over
// 0 < φ ≤ φ(max) (φ(max) 2 when it is 0), through the calculations' model; a
// point the model cannot evaluate is left out.
struct Curve {
    QList<double> phi, value;
};
Curve flowCurve(const Data& d, EquationKind kind, int points = 100);
// The specific work Aj(φ) [J/mm^3] at the same strains.
Curve workCurve(const Data& d, int points = 100);

// The Czech caption of an equation ("Polytropa", "Polynom 3 st.", ...).
QString equationCaption(EquationKind kind);

} // namespace prolis::edit
