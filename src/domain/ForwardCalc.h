#pragma once
// Forward extrusion: the input checks, the validity ratios and the two die
// calculations, as pure functions of the material record, the equation, the
// die type and the eleven field texts. The window and prolis-calc call these.
#include "ForwardRecord.h"
#include "core/InputMessages.h"
#include "domain/Data.h"
#include "domain/FlowModel.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace prolis::fwd {

enum class DieType { None = -1, WithCone = 0, WithoutCone = 1 };

// The texts of Edit1 ... Edit11, as typed.
struct Inputs {
    QString D0, h0, D1, D2, D3, L1, L3, alpha2, f1, f2, f3;
};

// What "bez redukčního kužele" does to the fields: the angle emptied, f2 "0,5".
void adjustInputsForDie(Inputs& in, DieType die);

// The presence checks of "Výpočet", in order. The first failing one gives its
// warning and the field (1..11) that then takes the focus (0: none).
struct InputProblem {
    QString message;
    int focusField = 0;
};
std::optional<InputProblem> checkInputs(const QString& materialName, const Inputs& in, EquationKind eq,
                                        DieType die);

inline const QString MsgNoDieType = QStringLiteral("Není vybrán typ výpočtu.\rProsím vyberte jej.");
inline const QString MsgNoAngle = QStringLiteral("Není zadán úhel alfa.\rProsím doplňte jej.");

// The four ratios of the validity panel.
struct Ratio {
    const char* key; // h0D0, s0s3, EpsMax, Fi3
    double value = 0;
    QString text;        // three decimals, precision 6
    bool inRange = true; // compared unrounded
    QString question;    // asked when out of range
    QString refusal;     // shown after the answer No
};
struct Validity {
    std::array<Ratio, 4> rows;
};
// Reads h0, D0, D2 and D3 (in this order) and forms the ratios.
Validity validityRatios(const Inputs& in, double fimax);

// The equation and die names of the record.
QString equationName(EquationKind eq);
QString dieTypeName(DieType die);

// The record of one calculation: the validity texts, the equation and die
// type, the material fields, then the calculation of the die. Raises the error
// of the step that fails; nothing is returned half filled.
Souhrn calculate(const Data& material, const MaterialModel& model, EquationKind eq, DieType die,
                 const Inputs& in, const Validity& validity);

// The steps on their own, on a record (used by calculate).
void fillEquationAndDieType(Souhrn& r, EquationKind eq, DieType die);
void fillMaterialFields(Souhrn& r, const Data& material);
void calculateWithoutCone(Souhrn& r, const MaterialModel& model, EquationKind eq, const Inputs& in);
void calculateWithCone(Souhrn& r, const MaterialModel& model, EquationKind eq, const Inputs& in);

// One line of the history list; the separator follows the temperature.
inline const QString SeparatorWithCone = QStringLiteral("°  D0 = ");
inline const QString SeparatorWithoutCone = QStringLiteral("° D0 = ");
QString historyLine(const Souhrn& r, const QString& separator);

// The conversation of one calculation: the window answers with its labels and
// message boxes, prolis-calc with its options.
class Dialogue {
public:
    virtual ~Dialogue() = default;
    // A presence check failed; the sequence stops.
    virtual void inputMissing(const InputProblem& problem) = 0;
    // Before the ratios are computed.
    virtual void validityStarts() {}
    // The four ratios, computed: shown before any question.
    virtual void showValidity(const Validity& validity) = 0;
    // A ratio out of range: true to go on.
    virtual bool ask(const Ratio& ratio) = 0;
    // The answer was No; the sequence stops.
    virtual void declined(const Ratio& ratio) = 0;
};

// "Výpočet": the presence checks, the validity ratios with their questions,
// then the calculation. `shownName` is the material name the window shows
// (empty: none chosen). The record, or nothing when a check stopped it.
// Errors of conversion and arithmetic propagate.
std::optional<Souhrn> runCalculation(const Data& material, const QString& shownName,
                                     const MaterialModel& model, EquationKind eq, DieType die,
                                     const Inputs& in, Dialogue& dialogue);

} // namespace prolis::fwd
