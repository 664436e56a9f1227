#pragma once
// What the commands of prolis-calc share: the calculation of each unit as
// the window runs it after "Výpočet" (one function per unit, answering the
// questions by --yes), its JSON, the errors that end a calculation with their
// exit codes, and the material database of a run.
#include "CalcCli.h"
#include "core/JsonWriter.h"
#include "db/MaterialCatalog.h"
#include "domain/BackwardCalc.h"
#include "domain/ForwardCalc.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace prolis::cli {

// An error that ends a command (or one calculation) with its own exit code.
struct Failure {
    int code;
    QString message;
};

// The database cannot be reached: no calculation of the run can go on.
struct ConnectionFailure : Failure {};

// The exit code and message of an error that ends a calculation.
Failure failureOf(const std::exception& e);

// A message of the windows for the terminal: "\r" breaks the line.
QString terminalText(QString text);

// The material database of a run, connected when first needed with the
// settings file and the password, as the windows connect.
class MaterialDatabase {
public:
    MaterialDatabase(QString settingsPath, const Environment& env);
    ~MaterialDatabase();
    // The record of a material (its id as digits, or its name) at a temperature.
    Data load(const QString& material, int temperature, MaterialBy by = MaterialBy::IdOrName);
    MaterialConnection& connection();

private:
    QString m_settingsPath;
    const Environment& m_env;
    std::unique_ptr<MaterialConnection> m_connection;
    std::optional<ConnectionFailure> m_failure; // of the settings file
    std::optional<QString> m_password;
};

struct ForwardOutcome {
    fwd::Validity validity;
    QStringList questions; // those answered Yes
    fwd::Souhrn record;
};

// One forward calculation: refusals and errors raise Failure or the
// system's Error.
ForwardOutcome forwardCalculation(const Data& material, EquationKind eq, fwd::DieType die, fwd::Inputs in,
                                  bool yes);
// The object prolis-calc forward prints.
void writeForward(JsonWriter& w, const ForwardOutcome& o);

struct BackwardOutcome {
    QString f2str;
    bwd::Reduction reduction;
    bwd::Strain strain;
    QStringList questions;
    bwd::Entry entry;
};

BackwardOutcome backwardCalculation(const Data& material, EquationKind eq, const bwd::Inputs& in, bool yes);
void writeBackward(JsonWriter& w, const BackwardOutcome& o);

} // namespace prolis::cli
