#include "Calculations.h"

#include "core/Errors.h"
#include "db/ConnectionSettings.h"
#include "domain/FlowModel.h"

#include <QFileInfo>

namespace prolis::cli {

Failure failureOf(const std::exception& e) {
    if (const auto* d = dynamic_cast<const DatabaseError*>(&e))
        return {DatabaseOrSettings, errorDisplayText(d->message())};
    if (const auto* s = dynamic_cast<const SettingsError*>(&e))
        return {DatabaseOrSettings, errorDisplayText(s->message())};
    if (const auto* f = dynamic_cast<const FileError*>(&e))
        return {DatabaseOrSettings, errorDisplayText(f->message())};
    if (const auto* x = dynamic_cast<const Error*>(&e))
        return {CalculationError, errorDisplayText(x->message())};
    return {CalculationError, QString::fromUtf8(e.what())};
}

QString terminalText(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

MaterialDatabase::MaterialDatabase(QString settingsPath, const Environment& env)
    : m_settingsPath(std::move(settingsPath)), m_env(env) {}

MaterialDatabase::~MaterialDatabase() = default;

MaterialConnection& MaterialDatabase::connection() {
    if (m_failure) throw *m_failure;
    if (m_connection) return *m_connection;
    // A settings file that cannot be read fails every later request at once;
    // a server that cannot be reached is tried again by the next one.
    const auto settingsFailed = [&](const QString& message) {
        m_failure = ConnectionFailure{{DatabaseOrSettings, message}};
        throw *m_failure;
    };
    if (!QFileInfo(m_settingsPath).isFile())
        settingsFailed(QStringLiteral("Nepodařilo se načíst konfigurační soubor %1.").arg(m_settingsPath));
    ConnectionSettings s;
    try {
        readSettingsFile(m_settingsPath, s);
    } catch (const Error& e) {
        settingsFailed(errorDisplayText(e.message()));
    }
    if (!m_password) m_password = m_env.password ? m_env.password() : QString(); // asked once a run
    s.Password = *m_password;
    auto c = std::make_unique<MaterialConnection>();
    try {
        c->connect(s);
    } catch (const Error& e) {
        throw ConnectionFailure{{DatabaseOrSettings, errorDisplayText(e.message())}};
    }
    m_connection = std::move(c);
    return *m_connection;
}

Data MaterialDatabase::load(const QString& material, int temperature, MaterialBy by) {
    MaterialConnection& c = connection();
    Data d;
    LookupResult r;
    try {
        r = loadMaterial(c, material, temperature, d, by);
    } catch (const DatabaseError& e) {
        // The server may have gone away: the next request connects again.
        m_connection.reset();
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
    if (r == LookupResult::NoMaterial)
        throw Failure{Refused, QStringLiteral("Materiál „%1“ v databázi není.").arg(material)};
    if (r == LookupResult::NoTemperature)
        throw Failure{
            Refused,
            QStringLiteral("Materiál „%1“ nemá v databázi teplotu %2 °C.").arg(material).arg(temperature)};
    return d;
}

namespace {

// The answers of prolis-calc to a calculation's questions: every one Yes with
// --yes; without it the first refuses the calculation (exit 1).
class TerminalAnswers {
public:
    explicit TerminalAnswers(bool yes) : m_yes(yes) {}
    bool ask(const QString& question) {
        if (m_yes) questions.append(question);
        return m_yes;
    }
    [[noreturn]] static void declined(const QString& question, const QString& refusal) {
        throw Failure{Refused, terminalText(question) + QLatin1Char('\n') + terminalText(refusal)};
    }
    [[noreturn]] static void inputMissing(const QString& message) {
        throw Failure{Refused, terminalText(message)};
    }
    QStringList questions;

private:
    bool m_yes;
};

class ForwardAnswers final : public fwd::Dialogue {
public:
    explicit ForwardAnswers(bool yes) : answers(yes) {}
    void inputMissing(const fwd::InputProblem& problem) override {
        TerminalAnswers::inputMissing(problem.message);
    }
    void showValidity(const fwd::Validity& v) override { validity = v; }
    bool ask(const fwd::Ratio& ratio) override { return answers.ask(ratio.question); }
    void declined(const fwd::Ratio& ratio) override {
        TerminalAnswers::declined(ratio.question, ratio.refusal);
    }

    TerminalAnswers answers;
    fwd::Validity validity;
};

class BackwardAnswers final : public bwd::Dialogue {
public:
    explicit BackwardAnswers(bool yes) : answers(yes) {}
    void inputMissing(const QString& message) override { TerminalAnswers::inputMissing(message); }
    void showMeanFriction(const QString& text) override { f2str = text; }
    void showReduction(const bwd::Reduction& r) override { reduction = r; }
    void showStrain(const bwd::Strain& s) override { strain = s; }
    bool ask(const QString& question) override { return answers.ask(question); }
    void declined(const QString& question, const QString& refusal) override {
        TerminalAnswers::declined(question, refusal);
    }

    TerminalAnswers answers;
    QString f2str;
    bwd::Reduction reduction;
    bwd::Strain strain;
};

void writeChecked(JsonWriter& w, const QString& text, bool inRange) {
    w.beginObject();
    w.key(QLatin1StringView("text"));
    w.string(text);
    w.key(QLatin1StringView("inRange"));
    w.boolean(inRange);
    w.endObject();
}

void writeQuestions(JsonWriter& w, const QStringList& questions) {
    w.beginArray(true);
    for (const QString& q : questions)
        w.string(q);
    w.endArray();
}

// The windows grey out an equation the material has no constants for; a
// caller of the command line cannot see that, so such an equation is refused
// instead of computing with zeros.
void refuseUnavailableEquation(const Data& material, EquationKind eq, const QString& name) {
    if (eq != EquationKind::None && !EquationAvailable(material, eq))
        throw Failure{Refused, QStringLiteral("Materiál nemá konstanty pro rovnici %1.").arg(name)};
}

} // namespace

ForwardOutcome forwardCalculation(const Data& material, EquationKind eq, fwd::DieType die, fwd::Inputs in,
                                  bool yes) {
    refuseUnavailableEquation(material, eq, fwd::equationName(eq));
    fwd::adjustInputsForDie(in, die);
    ForwardAnswers answers(yes);
    const DataModel model(material);
    std::optional<fwd::Souhrn> record =
        fwd::runCalculation(material, material.nazev, model, eq, die, in, answers);
    return {std::move(answers.validity), std::move(answers.answers.questions), std::move(*record)};
}

void writeForward(JsonWriter& w, const ForwardOutcome& o) {
    w.beginObject();
    w.key(QLatin1StringView("validity"));
    w.beginObject();
    for (const fwd::Ratio& r : o.validity.rows) {
        w.key(QLatin1StringView(r.key));
        writeChecked(w, r.text, r.inRange);
    }
    w.endObject();
    w.key(QLatin1StringView("questions"));
    writeQuestions(w, o.questions);
    w.key(QLatin1StringView("record"));
    writeTexts(w, fwd::fieldNames(), o.record.f);
    w.endObject();
}

BackwardOutcome backwardCalculation(const Data& material, EquationKind eq, const bwd::Inputs& in, bool yes) {
    refuseUnavailableEquation(material, eq, bwd::equationName(eq));
    BackwardAnswers answers(yes);
    const DataModel model(material);
    bool stopFlag = false;
    std::optional<bwd::Entry> e =
        bwd::runCalculation(material, material.nazev, model, eq, in, stopFlag, answers);
    return {std::move(answers.f2str), answers.reduction, answers.strain, std::move(answers.answers.questions),
            std::move(*e)};
}

void writeBackward(JsonWriter& w, const BackwardOutcome& o) {
    w.beginObject();
    w.key(QLatin1StringView("f2str"));
    w.string(o.f2str);
    w.key(QLatin1StringView("checks"));
    w.beginObject();
    w.key(QLatin1StringView("b"));
    w.string(o.reduction.bText);
    w.key(QLatin1StringView("Epsilon"));
    writeChecked(w, o.reduction.epsText, o.reduction.epsInRange);
    w.key(QLatin1StringView("Fi1"));
    writeChecked(w, o.strain.phi1Text, o.strain.phi1InRange);
    w.key(QLatin1StringView("Fic"));
    w.string(o.strain.phicText);
    w.key(QLatin1StringView("Fi2"));
    w.string(o.strain.phi2Text);
    w.endObject();
    w.key(QLatin1StringView("questions"));
    writeQuestions(w, o.questions);
    w.key(QLatin1StringView("record"));
    writeTexts(w, bwd::fieldNames(), o.entry.record.f);
    w.key(QLatin1StringView("summaryRow"));
    writeTexts(w, bwd::summaryFieldNames(), o.entry.row.f);
    w.endObject();
}

} // namespace prolis::cli
