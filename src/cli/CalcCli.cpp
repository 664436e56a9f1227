#include "CalcCli.h"

#include "core/Errors.h"
#include "core/Json.h"
#include "core/NumberText.h"
#include "db/ConnectionSettings.h"
#include "db/MaterialCatalog.h"
#include "domain/BackwardCalc.h"
#include "domain/DataJson.h"
#include "domain/FlowModel.h"
#include "domain/ForwardCalc.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace prolis::cli {

namespace {

const char* const MainHelp =
    "Použití: prolis-calc PŘÍKAZ [volby]\n"
    "\n"
    "Příkazy:\n"
    "  materials   materiály databáze s jejich teplotami (JSON)\n"
    "  material    záznam materiálu při teplotě (JSON, formát souboru materiálu)\n"
    "  flow        přetvárný odpor, měrná práce a střední přetvárný odpor při deformaci\n"
    "  forward     dopředné protlačování: kontrola platnosti a záznam výsledků\n"
    "  backward    zpětné protlačování: kontroly, záznam výsledků a souhrnný řádek\n"
    "\n"
    "Společné volby:\n"
    "  --ini SOUBOR    nastavení připojení (jinak prolis.ini vedle programu)\n"
    "  -o SOUBOR       výsledek do souboru místo na standardní výstup\n"
    "  --help          nápověda příkazu\n"
    "\n"
    "Heslo databáze: proměnná PROLIS_PASSWORD, jinak dotaz na terminálu.\n"
    "Návratové kódy: 0 úspěch, 1 odmítnuto kontrolou, 2 chyba výpočtu,\n"
    "3 chyba databáze nebo nastavení, 64 chybné použití.\n";

struct Command {
    const char* name;
    const char* help;
    QSet<QString> valued; // options that take a value
    QSet<QString> flags;  // options without a value
};

const QList<Command>& commands() {
    static const QList<Command> list{
        {"materials",
         "Použití: prolis-calc materials [--ini SOUBOR] [-o SOUBOR]\n"
         "Vypíše pole materiálů: id, nazev a jejich teploty (id, teplo) v pořadí dotazů.\n",
         {"--ini", "-o"},
         {}},
        {"material",
         "Použití: prolis-calc material --material NÁZEV|ID --temperature T [--ini SOUBOR] [-o SOUBOR]\n"
         "Vypíše záznam materiálu tak, jak jej plní dialog výběru materiálu.\n",
         {"--ini", "-o", "--material", "--temperature"},
         {}},
        {"flow",
         "Použití: prolis-calc flow (--material-file SOUBOR | --material NÁZEV|ID --temperature T)\n"
         "                          --equation 0..3 --phi TEXT [--ini SOUBOR] [-o SOUBOR]\n"
         "Rovnice: 0 Polytropa, 1 Polynom 3 st., 2 Polynom 5 st., 3 Racionálně lomená fce.\n"
         "phi se zadává jako v okně (desetinná čárka).\n",
         {"--ini", "-o", "--material", "--temperature", "--material-file", "--equation", "--phi"},
         {}},
        {"forward",
         "Použití: prolis-calc forward (--material-file SOUBOR | --material NÁZEV|ID --temperature T)\n"
         "             --equation 0..3 --die 0|1 --D0 T --h0 T --D1 T --D2 T --D3 T --L1 T --L3 T\n"
         "             [--alpha2 T] --f1 T [--f2 T] --f3 T [--yes] [--ini SOUBOR] [-o SOUBOR]\n"
         "Hodnoty se zadávají jako texty polí okna (desetinná čárka) a kontrolují se stejně.\n"
         "--die 0 s redukčním kuželem, 1 bez redukčního kužele (úhel se vyprázdní, f2 = 0,5).\n"
         "Bez --yes odmítne první poměr mimo povolený interval (návratový kód 1);\n"
         "s --yes se na všechny dotazy odpoví Ano.\n",
         {"--ini", "-o", "--material", "--temperature", "--material-file", "--equation", "--die", "--D0",
          "--h0", "--D1", "--D2", "--D3", "--L1", "--L3", "--alpha2", "--f1", "--f2", "--f3"},
         {"--yes"}},
        {"backward",
         "Použití: prolis-calc backward (--material-file SOUBOR | --material NÁZEV|ID --temperature T)\n"
         "             --equation 0..3 --D0 T --h0 T --d T --H T --f1 T --f2 T [--yes] [--ini SOUBOR] [-o "
         "SOUBOR]\n"
         "Hodnoty se zadávají jako texty polí okna (desetinná čárka) a kontrolují se stejně.\n"
         "Bez --yes odmítne první hodnotu mimo povolený interval (návratový kód 1);\n"
         "s --yes se na všechny dotazy odpoví Ano.\n",
         {"--ini", "-o", "--material", "--temperature", "--material-file", "--equation", "--D0", "--h0",
          "--d", "--H", "--f1", "--f2"},
         {"--yes"}},
    };
    return list;
}

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An error that ends the command with its own exit code.
struct Failure {
    int code;
    QString message;
};

struct Options {
    QHash<QString, QString> values;
    QSet<QString> flags;
    bool has(const QString& k) const { return values.contains(k) || flags.contains(k); }
    QString value(const QString& k) const { return values.value(k); }
};

Options parse(const Command& cmd, const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (cmd.valued.contains(a)) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("volba %1 potřebuje hodnotu").arg(a).toStdString());
            o.values.insert(a, args[++i]);
        } else if (cmd.flags.contains(a) || a == QLatin1String("--help")) {
            o.flags.insert(a);
        } else {
            throw UsageError(QStringLiteral("neznámá volba nebo argument: %1").arg(a).toStdString());
        }
    }
    return o;
}

QString settingsPath(const Options& o, const Environment& env) {
    if (o.values.contains(QStringLiteral("--ini"))) return o.value(QStringLiteral("--ini"));
    return env.executableDir + QStringLiteral("/prolis.ini");
}

// Connects with the settings file and the password, as the windows do.
void connectDb(MaterialConnection& c, const Options& o, const Environment& env) {
    const QString path = settingsPath(o, env);
    if (!QFileInfo(path).isFile())
        throw Failure{DatabaseOrSettings,
                      QStringLiteral("Nepodařilo se načíst konfigurační soubor %1.").arg(path)};
    ConnectionSettings s;
    try {
        readSettingsFile(path, s);
    } catch (const Error& e) {
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
    s.Password = env.password ? env.password() : QString();
    try {
        c.connect(s);
    } catch (const Error& e) {
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
}

int requireTemperature(const Options& o) {
    int t = 0;
    if (!tryTextToInt(o.value(QStringLiteral("--temperature")), t))
        throw UsageError("--temperature potřebuje celé číslo");
    return t;
}

Data loadFromDatabase(const Options& o, const Environment& env) {
    if (!o.values.contains(QStringLiteral("--material")) ||
        !o.values.contains(QStringLiteral("--temperature")))
        throw UsageError("chybí --material a --temperature");
    const int t = requireTemperature(o);
    MaterialConnection c;
    connectDb(c, o, env);
    Data d;
    LookupResult r;
    try {
        r = loadMaterial(c, o.value(QStringLiteral("--material")), t, d);
    } catch (const DatabaseError& e) {
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
    if (r == LookupResult::NoMaterial)
        throw Failure{
            Refused,
            QStringLiteral("Materiál „%1“ v databázi není.").arg(o.value(QStringLiteral("--material")))};
    if (r == LookupResult::NoTemperature)
        throw Failure{Refused, QStringLiteral("Materiál „%1“ nemá v databázi teplotu %2 °C.")
                                   .arg(o.value(QStringLiteral("--material")))
                                   .arg(t)};
    return d;
}

Data materialOf(const Options& o, const Environment& env) {
    if (o.values.contains(QStringLiteral("--material-file"))) {
        if (o.values.contains(QStringLiteral("--material")))
            throw UsageError("--material-file a --material se vylučují");
        const QString path = o.value(QStringLiteral("--material-file"));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw Failure{CalculationError, QStringLiteral("Soubor materiálu '%1' nelze číst.").arg(path)};
        return dataFromJson(f.readAll(), path);
    }
    return loadFromDatabase(o, env);
}

Json materialsJson(const Options& o, const Environment& env) {
    MaterialConnection c;
    connectDb(c, o, env);
    QList<MaterialRow> rows;
    try {
        rows = listMaterials(c);
    } catch (const DatabaseError& e) {
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
    Json arr = Json::array();
    for (const MaterialRow& m : rows) {
        Json temps = Json::array();
        for (const TemperatureRow& t : m.temperatures) {
            Json tj = Json::object();
            tj.add(QStringLiteral("id"), Json::integer(t.id));
            tj.add(QStringLiteral("teplo"), t.teplo.isNull() ? Json() : Json::integer(t.teplo.toLongLong()));
            temps.append(tj);
        }
        Json mj = Json::object();
        mj.add(QStringLiteral("id"), Json::integer(m.id));
        mj.add(QStringLiteral("nazev"), Json::string(m.nazev));
        mj.add(QStringLiteral("temperatures"), temps);
        arr.append(mj);
    }
    return arr;
}

Json flowJson(const Options& o, const Environment& env) {
    bool ok = false;
    const int eq = o.value(QStringLiteral("--equation")).toInt(&ok);
    if (!o.values.contains(QStringLiteral("--equation")) || !ok || eq < 0 || eq > 3)
        throw UsageError("--equation potřebuje 0, 1, 2 nebo 3");
    if (!o.values.contains(QStringLiteral("--phi"))) throw UsageError("chybí --phi");
    const Data d = materialOf(o, env);
    const double phi = textToFloat(o.value(QStringLiteral("--phi")));
    const auto kind = static_cast<EquationKind>(eq);
    Json available = Json::array();
    for (int k = 0; k < 4; ++k)
        available.append(Json::boolean(EquationAvailable(d, static_cast<EquationKind>(k))));
    const double sigma = FlowStress(d, kind, phi);
    const double work = SpecificWork(d, phi);
    const double mean = MeanFlowStress(d, phi);
    Json j = Json::object();
    j.add(QStringLiteral("available"), available);
    j.add(QStringLiteral("flowStress"), Json::string(formatGeneral(sigma)));
    j.add(QStringLiteral("specificWork"), Json::string(formatGeneral(work)));
    j.add(QStringLiteral("meanFlowStress"), Json::string(formatGeneral(mean)));
    return j;
}

template <size_t N>
Json textsObject(const std::array<const char*, N>& names, const std::array<QString, N>& texts) {
    Json j = Json::object();
    for (size_t i = 0; i < N; ++i)
        j.add(QLatin1String(names[i]), Json::string(texts[i]));
    return j;
}

Json checkedText(const QString& text, bool inRange) {
    Json j = Json::object();
    j.add(QStringLiteral("text"), Json::string(text));
    j.add(QStringLiteral("inRange"), Json::boolean(inRange));
    return j;
}

// A message of the windows for the terminal: "\r" breaks the line.
QString terminalText(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// The equation: none when the option is missing (the window's check then
// refuses), a usage error when it is not 0..3.
EquationKind equationOption(const Options& o) {
    if (!o.values.contains(QStringLiteral("--equation"))) return EquationKind::None;
    bool ok = false;
    const int eq = o.value(QStringLiteral("--equation")).toInt(&ok);
    if (!ok || eq < 0 || eq > 3) throw UsageError("--equation potřebuje 0, 1, 2 nebo 3");
    return static_cast<EquationKind>(eq);
}

// The material of a calculation: none given counts as no material chosen.
Data calculationMaterial(const Options& o, const Environment& env) {
    if (!o.values.contains(QStringLiteral("--material-file")) &&
        !o.values.contains(QStringLiteral("--material")))
        return Data{};
    return materialOf(o, env);
}

// The answers of prolis-calc to a calculation's questions: every one Yes with
// --yes; without it the first refuses the calculation (exit 1).
class TerminalAnswers {
public:
    explicit TerminalAnswers(bool yes) : m_yes(yes) {}
    bool ask(const QString& question) {
        if (m_yes) m_questions.append(Json::string(question));
        return m_yes;
    }
    [[noreturn]] static void declined(const QString& question, const QString& refusal) {
        throw Failure{Refused, terminalText(question) + QLatin1Char('\n') + terminalText(refusal)};
    }
    [[noreturn]] static void inputMissing(const QString& message) {
        throw Failure{Refused, terminalText(message)};
    }
    const Json& questions() const { return m_questions; }

private:
    bool m_yes;
    Json m_questions = Json::array();
};

class ForwardAnswers final : public fwd::Dialogue {
public:
    explicit ForwardAnswers(bool yes) : answers(yes) {}
    void inputMissing(const fwd::InputProblem& problem) override {
        TerminalAnswers::inputMissing(problem.message);
    }
    void showValidity(const fwd::Validity& validity) override {
        for (const fwd::Ratio& r : validity.rows)
            checks.add(QLatin1String(r.key), checkedText(r.text, r.inRange));
    }
    bool ask(const fwd::Ratio& ratio) override { return answers.ask(ratio.question); }
    void declined(const fwd::Ratio& ratio) override {
        TerminalAnswers::declined(ratio.question, ratio.refusal);
    }

    TerminalAnswers answers;
    Json checks = Json::object();
};

class BackwardAnswers final : public bwd::Dialogue {
public:
    explicit BackwardAnswers(bool yes) : answers(yes) {}
    void inputMissing(const QString& message) override { TerminalAnswers::inputMissing(message); }
    void showMeanFriction(const QString& text) override { f2str = text; }
    void showReduction(const bwd::Reduction& r) override {
        checks.add(QStringLiteral("b"), Json::string(r.bText));
        checks.add(QStringLiteral("Epsilon"), checkedText(r.epsText, r.epsInRange));
    }
    void showStrain(const bwd::Strain& s) override {
        checks.add(QStringLiteral("Fi1"), checkedText(s.phi1Text, s.phi1InRange));
        checks.add(QStringLiteral("Fic"), Json::string(s.phicText));
        checks.add(QStringLiteral("Fi2"), Json::string(s.phi2Text));
    }
    bool ask(const QString& question) override { return answers.ask(question); }
    void declined(const QString& question, const QString& refusal) override {
        TerminalAnswers::declined(question, refusal);
    }

    TerminalAnswers answers;
    QString f2str;
    Json checks = Json::object();
};

Json forwardJson(const Options& o, const Environment& env) {
    const EquationKind eq = equationOption(o);
    fwd::DieType die = fwd::DieType::None;
    if (o.values.contains(QStringLiteral("--die"))) {
        const QString d = o.value(QStringLiteral("--die"));
        if (d != QLatin1String("0") && d != QLatin1String("1")) throw UsageError("--die potřebuje 0 nebo 1");
        die = static_cast<fwd::DieType>(d.toInt());
    }
    const Data material = calculationMaterial(o, env);
    fwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--D1"), o.value("--D2"),
                   o.value("--D3"), o.value("--L1"), o.value("--L3"), o.value("--alpha2"),
                   o.value("--f1"), o.value("--f2"), o.value("--f3")};
    fwd::adjustInputsForDie(in, die);
    ForwardAnswers answers(o.flags.contains(QStringLiteral("--yes")));
    const DataModel model(material);
    const std::optional<fwd::Souhrn> record =
        fwd::runCalculation(material, material.nazev, model, eq, die, in, answers);
    Json j = Json::object();
    j.add(QStringLiteral("validity"), answers.checks);
    j.add(QStringLiteral("questions"), answers.answers.questions());
    j.add(QStringLiteral("record"), textsObject(fwd::fieldNames(), record->f));
    return j;
}

Json backwardJson(const Options& o, const Environment& env) {
    const EquationKind eq = equationOption(o);
    const Data material = calculationMaterial(o, env);
    const bwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--d"),
                         o.value("--H"),  o.value("--f1"), o.value("--f2")};
    BackwardAnswers answers(o.flags.contains(QStringLiteral("--yes")));
    const DataModel model(material);
    bool stopFlag = false;
    const std::optional<bwd::Entry> e =
        bwd::runCalculation(material, material.nazev, model, eq, in, stopFlag, answers);
    Json j = Json::object();
    j.add(QStringLiteral("f2str"), Json::string(answers.f2str));
    j.add(QStringLiteral("checks"), answers.checks);
    j.add(QStringLiteral("questions"), answers.answers.questions());
    j.add(QStringLiteral("record"), textsObject(bwd::fieldNames(), e->record.f));
    j.add(QStringLiteral("summaryRow"), textsObject(bwd::summaryFieldNames(), e->row.f));
    return j;
}

void writeResult(const Json& j, const Options& o, QTextStream& out) {
    const QByteArray text = j.toText() + '\n';
    if (o.values.contains(QStringLiteral("-o"))) {
        QFile f(o.value(QStringLiteral("-o")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
            throw Failure{CalculationError,
                          QStringLiteral("Unable to write to %1").arg(QFileInfo(f).absoluteFilePath())};
        return;
    }
    out << QString::fromUtf8(text);
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err, const Environment& env) {
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        (args.isEmpty() ? err : out) << MainHelp;
        out.flush();
        err.flush();
        return args.isEmpty() ? Usage : Ok;
    }
    const Command* cmd = nullptr;
    for (const Command& c : commands())
        if (args[0] == QLatin1String(c.name)) cmd = &c;
    int code = Ok;
    try {
        if (!cmd) throw UsageError(QStringLiteral("neznámý příkaz: %1").arg(args[0]).toStdString());
        const Options o = parse(*cmd, args.mid(1));
        if (o.flags.contains(QStringLiteral("--help"))) {
            out << cmd->help;
        } else {
            const QString name = QLatin1String(cmd->name);
            if (name == QLatin1String("materials"))
                writeResult(materialsJson(o, env), o, out);
            else if (name == QLatin1String("material"))
                writeResult(dataToJson(loadFromDatabase(o, env)), o, out);
            else if (name == QLatin1String("flow"))
                writeResult(flowJson(o, env), o, out);
            else if (name == QLatin1String("forward"))
                writeResult(forwardJson(o, env), o, out);
            else if (name == QLatin1String("backward"))
                writeResult(backwardJson(o, env), o, out);
        }
    } catch (const UsageError& e) {
        err << "prolis-calc: " << QString::fromUtf8(e.what()) << "\n" << (cmd ? cmd->help : MainHelp);
        code = Usage;
    } catch (const Failure& f) {
        err << f.message << "\n";
        code = f.code;
    } catch (const DatabaseError& e) {
        err << errorDisplayText(e.message()) << "\n";
        code = DatabaseOrSettings;
    } catch (const Error& e) {
        err << errorDisplayText(e.message()) << "\n";
        code = CalculationError;
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace prolis::cli
