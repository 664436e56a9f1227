#pragma once
// Backward extrusion of a cup: the input checks, the mean friction, the strain
// geometry with its range checks, and the calculation of the record and the
// summary row, as pure functions used by the window and prolis-calc.
#include "BackwardRecord.h"
#include "core/InputMessages.h"
#include "domain/Data.h"
#include "domain/FlowModel.h"

#include <optional>

namespace prolis::bwd {

// The texts of Edit1 ... Edit6 (D0, h0, d, H, f1, f2), as typed.
struct Inputs {
    QString D0, h0, d, H, f1, f2;
};

inline const QString QuestionEpsilon =
    QStringLiteral("Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?");
inline const QString RefusalEpsilon = QStringLiteral("Zadejte nové hodnoty polotovaru a průtlačku.");
inline const QString QuestionFi1 =
    QStringLiteral("Jste mimo povolený interval pro Fi1\rChcete pokracovat ve výpočtu ?");
inline const QString RefusalFi1 =
    QStringLiteral("Zadejte nové hodnoty polotovaru a průtlačku,\rnebo zvolte jiný materiál.");

// The presence checks of "Výpočet", in order; the first failing one's warning.
std::optional<QString> checkInputs(const QString& materialName, const Inputs& in, EquationKind eq);

// f2str = (f1 + f2) / 2 with three decimals (precision 15), as Edit7 shows it.
QString meanFriction(const Inputs& in);

// b and epsilon: the bottom thickness and the height reduction (0 <= eps <= 0.6).
struct Reduction {
    double b = 0, eps = 0;
    QString bText, epsText;
    bool epsInRange = true;
};
Reduction reductionOf(const Inputs& in);

// phi1, phic, phi2: the strains of the two zones (0 <= phi1 <= fimax).
struct Strain {
    double phi1 = 0, phic = 0, phi2 = 0;
    QString phi1Text, phicText, phi2Text;
    bool phi1InRange = true;
};
Strain strainOf(const Inputs& in, double fimax);

// The geometry read afresh from the texts.
double bottomThickness(const Inputs& in);

QString equationName(EquationKind eq);

// The record and summary row of one calculation: the strain texts, the
// material fields, the results (f2str read back from its text) and the
// equation name. Raises the error of the step that fails.
Entry calculate(const Data& material, const MaterialModel& model, EquationKind eq, const Inputs& in,
                const QString& f2strText, const Reduction& reduction, const Strain& strain);

void fillMaterialFields(Souhrn& r, const Data& material);

// One line of the history list.
QString historyLine(const Souhrn& r);

// The conversation of one calculation: the window answers with its fields,
// labels and message boxes, prolis-calc with its options.
class Dialogue {
public:
    virtual ~Dialogue() = default;
    // A presence check failed; the sequence stops.
    virtual void inputMissing(const QString& message) = 0;
    // f2str, computed.
    virtual void showMeanFriction(const QString& f2str) = 0;
    // Before b and epsilon are computed, and before the strains.
    virtual void reductionStarts() {}
    virtual void strainStarts() {}
    virtual void showReduction(const Reduction& reduction) = 0;
    virtual void showStrain(const Strain& strain) = 0;
    // A value out of its range: true to go on.
    virtual bool ask(const QString& question) = 0;
    // The answer was No (`refusal` follows `question`); the sequence stops.
    virtual void declined(const QString& question, const QString& refusal) = 0;
};

// "Výpočet": the presence checks, the mean friction, the reduction and the
// strain with their questions (each clears `stopFlag` after showing its
// values and sets it on a No), then the calculation. `shownName` is the
// material name the window shows. The record with its summary row, or nothing
// when a check stopped it. Errors of conversion and arithmetic propagate.
std::optional<Entry> runCalculation(const Data& material, const QString& shownName,
                                    const MaterialModel& model, EquationKind eq, const Inputs& in,
                                    bool& stopFlag, Dialogue& dialogue);

} // namespace prolis::bwd
