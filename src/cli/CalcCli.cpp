#include "CalcCli.h"

#include "core/Errors.h"
#include "core/FileWrite.h"
#include "core/Json.h"
#include "core/NumberText.h"
#include "db/ConnectionSettings.h"
#include "db/MaterialCatalog.h"
#include "domain/BackwardCalc.h"
#include "domain/BackwardUnit.h"
#include "domain/DataJson.h"
#include "domain/FlowModel.h"
#include "domain/ForwardCalc.h"
#include "output/ChartWorkbook.h"
#include "output/Protocol.h"
#include "output/WordDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QSet>
#include <memory>

namespace prolis::cli {

namespace {

const char* const MainHelp =
    "Použití: prolis-calc PŘÍKAZ [volby]\n"
    "\n"
    "Příkazy:\n"
    "  materials   materiály databáze s jejich teplotami (JSON)\n"
    "  material    záznam materiálu při teplotě (JSON, formát souboru materiálu)\n"
    "  flow        přetvárný odpor, měrná práce a střední přetvárný odpor při deformaci\n"
    "  forward     dopředné protlačování: kontrola platnosti, záznam výsledků a protokol\n"
    "  backward    zpětné protlačování: kontroly, záznamy výsledků, souhrnné řádky a protokoly\n"
    "\n"
    "Společné volby:\n"
    "  --ini SOUBOR    nastavení připojení (jinak prolis.ini vedle programu)\n"
    "  -o SOUBOR       výsledek do souboru místo na standardní výstup\n"
    "  --verbose       i hlášení knihovny Qt na standardní chybový výstup\n"
    "  --help          nápověda příkazu\n"
    "\n"
    "Heslo databáze: proměnná PROLIS_PASSWORD, jinak dotaz na terminálu.\n"
    "Návratové kódy: 0 úspěch, 1 odmítnuto kontrolou, 2 chyba výpočtu,\n"
    "3 chyba databáze, nastavení nebo zápisu souboru, 64 chybné použití.\n";

struct Command {
    const char* name;
    const char* help;
    QSet<QString> valued;     // options that take a value
    QSet<QString> flags;      // options without a value
    QSet<QString> repeatable; // valued options that may be given more than once
};

const QList<Command>& commands() {
    static const QList<Command> list{
        {"materials",
         "Použití: prolis-calc materials [--ini SOUBOR] [-o SOUBOR]\n"
         "Vypíše pole materiálů: id, nazev a jejich teploty (id, teplo) v pořadí dotazů.\n",
         {"--ini", "-o"},
         {},
         {}},
        {"material",
         "Použití: prolis-calc material --material NÁZEV|ID --temperature T [--ini SOUBOR] [-o SOUBOR]\n"
         "Vypíše záznam materiálu tak, jak jej plní dialog výběru materiálu.\n",
         {"--ini", "-o", "--material", "--temperature"},
         {},
         {}},
        {"flow",
         "Použití: prolis-calc flow (--material-file SOUBOR | --material NÁZEV|ID --temperature T)\n"
         "                          --equation 0..3 --phi TEXT [--ini SOUBOR] [-o SOUBOR]\n"
         "Rovnice: 0 Polytropa, 1 Polynom 3 st., 2 Polynom 5 st., 3 Racionálně lomená fce.\n"
         "phi se zadává jako v okně (desetinná čárka).\n",
         {"--ini", "-o", "--material", "--temperature", "--material-file", "--equation", "--phi"},
         {},
         {}},
        {"forward",
         "Použití: prolis-calc forward (--material-file SOUBOR | --material NÁZEV|ID --temperature T)\n"
         "             --equation 0..3 --die 0|1 --D0 T --h0 T --D1 T --D2 T --D3 T --L1 T --L3 T\n"
         "             [--alpha2 T] --f1 T [--f2 T] --f3 T [--yes] [--ini SOUBOR] [-o SOUBOR]\n"
         "             [--text SOUBOR] [--pdf SOUBOR] [--docx SOUBOR]\n"
         "Hodnoty se zadávají jako texty polí okna (desetinná čárka) a kontrolují se stejně.\n"
         "--die 0 s redukčním kuželem, 1 bez redukčního kužele (úhel se vyprázdní, f2 = 0,5).\n"
         "Bez --yes odmítne první poměr mimo povolený interval (návratový kód 1);\n"
         "s --yes se na všechny dotazy odpoví Ano.\n"
         "--text SOUBOR   textový protokol výpočtu (Windows-1250, jako z okna; - je standardní výstup)\n"
         "--pdf SOUBOR    tištěná zpráva výpočtu jako PDF (A4)\n"
         "--docx SOUBOR   dokument výpočtu pro textový procesor (.docx), nikde neotevřený\n",
         {"--ini",      "-o",    "--material", "--temperature", "--material-file",
          "--equation", "--die", "--D0",       "--h0",          "--D1",
          "--D2",       "--D3",  "--L1",       "--L3",          "--alpha2",
          "--f1",       "--f2",  "--f3",       "--text",        "--pdf",
          "--docx"},
         {"--yes"},
         {}},
        {"backward",
         "Použití: prolis-calc backward (--material-file SOUBOR... | --material NÁZEV|ID --temperature "
         "T...)\n"
         "             --equation 0..3 --D0 T --h0 T --d T --H T --f1 T --f2 T [--yes] [--ini SOUBOR]\n"
         "             [-o SOUBOR] [--text SOUBOR] [--summary-text SOUBOR] [--pdf SOUBOR]\n"
         "             [--summary-pdf SOUBOR] [--docx SOUBOR] [--summary-docx SOUBOR] [--chart SOUBOR]\n"
         "Hodnoty se zadávají jako texty polí okna (desetinná čárka) a kontrolují se stejně.\n"
         "Bez --yes odmítne první hodnotu mimo povolený interval (návratový kód 1);\n"
         "s --yes se na všechny dotazy odpoví Ano.\n"
         "Opakované --material-file (nebo --temperature u --material) spočítá tutéž geometrii\n"
         "pro více materiálů či teplot v zadaném pořadí; výsledky se řadí do historie a souhrnu\n"
         "jako v okně. Odmítnutý nebo chybný výpočet vypíše svou zprávu a nic nepřidá, ostatní\n"
         "pokračují; návratový kód je nejvyšší z nich. Při více výpočtech je výstupem objekt\n"
         "{\"calculations\": [...], \"history\": [...], \"summaryRows\": [...]}.\n"
         "--text SOUBOR          textový protokol posledního úspěšného výpočtu (- je standardní výstup)\n"
         "--summary-text SOUBOR  souhrnná tabulka všech souhrnných řádků\n"
         "--pdf SOUBOR           tištěná zpráva posledního úspěšného výpočtu jako PDF (A4)\n"
         "--summary-pdf SOUBOR   tištěný souhrn všech souhrnných řádků jako PDF\n"
         "--docx SOUBOR          dokument posledního úspěšného výpočtu (.docx)\n"
         "--summary-docx SOUBOR  souhrnný dokument všech souhrnných řádků (.docx, na šířku)\n"
         "--chart SOUBOR         sešit (.xlsx) s grafem síly v závislosti na teplotě ze souhrnných řádků\n",
         {"--ini", "-o", "--material", "--temperature", "--material-file", "--equation", "--D0", "--h0",
          "--d", "--H", "--f1", "--f2", "--text", "--summary-text", "--pdf", "--summary-pdf", "--docx",
          "--summary-docx", "--chart"},
         {"--yes"},
         {"--material-file", "--temperature"}},
    };
    return list;
}

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An error that ends a command (or one calculation) with its own exit code.
struct Failure {
    int code;
    QString message;
};

// The database cannot be reached: no calculation of the command can go on.
struct ConnectionFailure : Failure {};

struct Options {
    QHash<QString, QStringList> values;
    QSet<QString> flags;
    bool has(const QString& k) const { return values.contains(k) || flags.contains(k); }
    QString value(const QString& k) const {
        const auto it = values.constFind(k);
        return it == values.cend() ? QString() : it->constLast();
    }
    QStringList all(const QString& k) const { return values.value(k); }
};

Options parse(const Command& cmd, const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (cmd.valued.contains(a)) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("volba %1 potřebuje hodnotu").arg(a).toStdString());
            if (o.values.contains(a) && !cmd.repeatable.contains(a))
                throw UsageError(QStringLiteral("volba %1 je zadána vícekrát").arg(a).toStdString());
            o.values[a].append(args[++i]);
        } else if (cmd.flags.contains(a) || a == QLatin1String("--help") || a == QLatin1String("--verbose")) {
            o.flags.insert(a);
        } else {
            throw UsageError(QStringLiteral("neznámá volba nebo argument: %1").arg(a).toStdString());
        }
    }
    return o;
}

// The exit code and message of an error that ends a command or a calculation.
Failure failureOf(const std::exception& e) {
    if (const auto* d = dynamic_cast<const DatabaseError*>(&e))
        return {DatabaseOrSettings, errorDisplayText(d->message())};
    if (const auto* s = dynamic_cast<const SettingsError*>(&e))
        return {DatabaseOrSettings, errorDisplayText(s->message())};
    if (const auto* x = dynamic_cast<const Error*>(&e))
        return {CalculationError, errorDisplayText(x->message())};
    return {CalculationError, QString::fromUtf8(e.what())};
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

int temperatureOf(const QString& text) {
    int t = 0;
    if (!tryTextToInt(text, t)) throw UsageError("--temperature potřebuje celé číslo");
    return t;
}

// The material database of a command, connected when first needed.
class Database {
public:
    Database(const Options& o, const Environment& env) : m_options(o), m_env(env) {}

    Data load(const QString& material, int temperature) {
        MaterialConnection& c = connection();
        Data d;
        LookupResult r;
        try {
            r = loadMaterial(c, material, temperature, d);
        } catch (const DatabaseError& e) {
            throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
        }
        if (r == LookupResult::NoMaterial)
            throw Failure{Refused, QStringLiteral("Materiál „%1“ v databázi není.").arg(material)};
        if (r == LookupResult::NoTemperature)
            throw Failure{Refused, QStringLiteral("Materiál „%1“ nemá v databázi teplotu %2 °C.")
                                       .arg(material)
                                       .arg(temperature)};
        return d;
    }
    MaterialConnection& connection() {
        if (m_failure) throw *m_failure;
        if (!m_connection) {
            m_connection = std::make_unique<MaterialConnection>();
            try {
                connectDb(*m_connection, m_options, m_env);
            } catch (const Failure& f) {
                m_failure = ConnectionFailure{f};
                throw *m_failure;
            }
        }
        return *m_connection;
    }

private:
    const Options& m_options;
    const Environment& m_env;
    std::unique_ptr<MaterialConnection> m_connection;
    std::optional<ConnectionFailure> m_failure;
};

// A material file: a regular file of a sane size (a device or a pipe could
// be read without end).
constexpr qint64 MaxMaterialFile = 1024 * 1024;

Data materialFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Failure{CalculationError, QStringLiteral("Soubor materiálu '%1' nelze číst.").arg(path)};
    if (!info.isFile())
        throw Failure{CalculationError,
                      QStringLiteral("Soubor materiálu '%1' není obyčejný soubor.").arg(path)};
    if (info.size() > MaxMaterialFile)
        throw Failure{CalculationError,
                      QStringLiteral("Soubor materiálu '%1' je větší než 1 MiB.").arg(path)};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure{CalculationError, QStringLiteral("Soubor materiálu '%1' nelze číst.").arg(path)};
    const QByteArray text = f.read(MaxMaterialFile + 1); // it may have grown since
    if (text.size() > MaxMaterialFile)
        throw Failure{CalculationError,
                      QStringLiteral("Soubor materiálu '%1' je větší než 1 MiB.").arg(path)};
    return dataFromJson(text, path);
}

// Where the materials of a command come from: files, or the database with
// one or more temperatures. Each source is loaded when its calculation runs.
QList<std::function<Data()>> materialSources(const Options& o, Database& db, bool required) {
    const bool files = o.values.contains(QStringLiteral("--material-file"));
    const bool named = o.values.contains(QStringLiteral("--material"));
    if (files && named) throw UsageError("--material-file a --material se vylučují");
    QList<std::function<Data()>> sources;
    if (files) {
        for (const QString& path : o.all(QStringLiteral("--material-file")))
            sources.append([path] { return materialFile(path); });
        return sources;
    }
    if (named || required) {
        if (!named || !o.values.contains(QStringLiteral("--temperature")))
            throw UsageError("chybí --material a --temperature");
        const QString material = o.value(QStringLiteral("--material"));
        for (const QString& text : o.all(QStringLiteral("--temperature"))) {
            const int t = temperatureOf(text);
            sources.append([&db, material, t] { return db.load(material, t); });
        }
        return sources;
    }
    // No material given counts as no material chosen: the first check refuses.
    sources.append([] { return Data{}; });
    return sources;
}

Data singleMaterial(const Options& o, Database& db) {
    return materialSources(o, db, true).constFirst()();
}

Json materialsJson(Database& db) {
    QList<MaterialRow> rows;
    MaterialConnection& c = db.connection();
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

Json flowJson(const Options& o, Database& db) {
    bool ok = false;
    const int eq = o.value(QStringLiteral("--equation")).toInt(&ok);
    if (!o.values.contains(QStringLiteral("--equation")) || !ok || eq < 0 || eq > 3)
        throw UsageError("--equation potřebuje 0, 1, 2 nebo 3");
    if (!o.values.contains(QStringLiteral("--phi"))) throw UsageError("chybí --phi");
    const Data d = singleMaterial(o, db);
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

// The files a command writes besides its JSON: each option's bytes, written
// whole or not at all, "-" meaning standard output.
class FileOutputs {
public:
    FileOutputs(QIODevice& out, const Environment& env) : m_out(out), m_env(env) {}
    void writePdf(const QString& path, const QList<out::Page>& pages) {
        if (!m_env.pdf) throw Failure{Usage, QStringLiteral("PDF zde není k dispozici.")};
        write(path, m_env.pdf(pages));
    }
    void write(const QString& path, const QByteArray& bytes) {
        if (path == QLatin1String("-")) {
            m_out.write(bytes);
            return;
        }
        QString reason;
        if (!writeWholeFile(path, bytes, &reason))
            throw Failure{DatabaseOrSettings, QStringLiteral("Soubor %1 nelze zapsat: %2").arg(path, reason)};
    }

private:
    QIODevice& m_out;
    const Environment& m_env;
};

struct ForwardResult {
    Json json;
    fwd::Souhrn record;
};

// One forward calculation: what the window does after "Výpočet", answered
// by the options.
ForwardResult forwardCalculation(const Data& material, EquationKind eq, fwd::DieType die, fwd::Inputs in,
                                 bool yes) {
    fwd::adjustInputsForDie(in, die);
    ForwardAnswers answers(yes);
    const DataModel model(material);
    std::optional<fwd::Souhrn> record =
        fwd::runCalculation(material, material.nazev, model, eq, die, in, answers);
    Json j = Json::object();
    j.add(QStringLiteral("validity"), answers.checks);
    j.add(QStringLiteral("questions"), answers.answers.questions());
    j.add(QStringLiteral("record"), textsObject(fwd::fieldNames(), record->f));
    return {j, std::move(*record)};
}

struct BackwardResult {
    Json json;
    bwd::Entry entry;
};

// One backward calculation: what the window does after "Výpočet".
BackwardResult backwardCalculation(const Data& material, EquationKind eq, const bwd::Inputs& in, bool yes) {
    BackwardAnswers answers(yes);
    const DataModel model(material);
    bool stopFlag = false;
    std::optional<bwd::Entry> e =
        bwd::runCalculation(material, material.nazev, model, eq, in, stopFlag, answers);
    Json j = Json::object();
    j.add(QStringLiteral("f2str"), Json::string(answers.f2str));
    j.add(QStringLiteral("checks"), answers.checks);
    j.add(QStringLiteral("questions"), answers.answers.questions());
    j.add(QStringLiteral("record"), textsObject(bwd::fieldNames(), e->record.f));
    j.add(QStringLiteral("summaryRow"), textsObject(bwd::summaryFieldNames(), e->row.f));
    return {j, std::move(*e)};
}

fwd::DieType dieOption(const Options& o) {
    if (!o.values.contains(QStringLiteral("--die"))) return fwd::DieType::None;
    const QString d = o.value(QStringLiteral("--die"));
    if (d != QLatin1String("0") && d != QLatin1String("1")) throw UsageError("--die potřebuje 0 nebo 1");
    return static_cast<fwd::DieType>(d.toInt());
}

Json forwardCommand(const Options& o, Database& db, FileOutputs& files) {
    const EquationKind eq = equationOption(o);
    const fwd::DieType die = dieOption(o);
    const Data material = materialSources(o, db, false).constFirst()();
    const fwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--D1"), o.value("--D2"),
                         o.value("--D3"), o.value("--L1"), o.value("--L3"), o.value("--alpha2"),
                         o.value("--f1"), o.value("--f2"), o.value("--f3")};
    const ForwardResult r =
        forwardCalculation(material, eq, die, in, o.flags.contains(QStringLiteral("--yes")));
    if (o.has(QStringLiteral("--text")))
        files.write(o.value(QStringLiteral("--text")),
                    out::textFileBytes(out::forwardProtocol(r.record, out::Flavour::Text)));
    if (o.has(QStringLiteral("--pdf")))
        files.writePdf(o.value(QStringLiteral("--pdf")), out::forwardReport(r.record));
    if (o.has(QStringLiteral("--docx")))
        files.write(o.value(QStringLiteral("--docx")), out::docxBytes(out::forwardDocument(r.record)));
    return r.json;
}

// The backward command: one calculation, or several of one geometry run
// through a unit as the window runs them (history, summary rows, sorting).
// A calculation that is refused or fails reports on `err` and adds nothing.
Json backwardCommand(const Options& o, Database& db, FileOutputs& files, QTextStream& err, int& code) {
    const EquationKind eq = equationOption(o);
    const QList<std::function<Data()>> sources = materialSources(o, db, false);
    const bwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--d"),
                         o.value("--H"),  o.value("--f1"), o.value("--f2")};
    const bool yes = o.flags.contains(QStringLiteral("--yes"));
    bwd::BackwardUnit unit;
    Json calculations = Json::array();
    std::optional<quint64> latest;
    Json single;
    for (const auto& source : sources) {
        try {
            BackwardResult r = backwardCalculation(source(), eq, in, yes);
            single = r.json;
            calculations.append(r.json);
            latest = unit.addCalculation(std::move(r.entry));
        } catch (const ConnectionFailure&) {
            throw; // no calculation can go on
        } catch (const Failure& f) {
            if (sources.size() == 1) throw;
            err << f.message << "\n";
            code = std::max(code, f.code);
        } catch (const std::exception& e) {
            if (sources.size() == 1) throw;
            const Failure f = failureOf(e);
            err << f.message << "\n";
            code = std::max(code, f.code);
        }
    }
    if (const auto i = latest ? unit.history.indexOf(*latest) : std::nullopt) {
        const bwd::Souhrn& record = unit.history.at(*i).record;
        if (o.has(QStringLiteral("--text")))
            files.write(o.value(QStringLiteral("--text")),
                        out::textFileBytes(out::backwardProtocol(record, out::Flavour::Text)));
        if (o.has(QStringLiteral("--pdf")))
            files.writePdf(o.value(QStringLiteral("--pdf")), out::backwardReport(record));
        if (o.has(QStringLiteral("--docx")))
            files.write(o.value(QStringLiteral("--docx")), out::docxBytes(out::backwardDocument(record)));
    }
    if (o.has(QStringLiteral("--summary-text")))
        files.write(o.value(QStringLiteral("--summary-text")),
                    out::textFileBytes(out::summaryTable(unit.summaryRows())));
    if (o.has(QStringLiteral("--summary-pdf")))
        files.writePdf(o.value(QStringLiteral("--summary-pdf")), out::summaryReport(unit.summaryRows()));
    if (o.has(QStringLiteral("--summary-docx")))
        files.write(o.value(QStringLiteral("--summary-docx")),
                    out::docxBytes(out::summaryDocument(unit.summaryRows())));
    if (o.has(QStringLiteral("--chart"))) {
        // The chart needs a row; without one it says so, as the window does.
        if (unit.history.isEmpty()) {
            err << out::MsgNoSummaryRows << "\n";
            code = std::max(code, int(Refused));
        } else {
            files.write(o.value(QStringLiteral("--chart")), out::chartWorkbook(unit.summaryRows()));
        }
    }
    if (sources.size() == 1) return single;
    Json history = Json::array();
    Json rows = Json::array();
    for (int i = 0; i < unit.history.size(); ++i) {
        history.append(textsObject(bwd::fieldNames(), unit.history.at(i).record.f));
        rows.append(textsObject(bwd::summaryFieldNames(), unit.history.at(i).row.f));
    }
    Json j = Json::object();
    j.add(QStringLiteral("calculations"), calculations);
    j.add(QStringLiteral("history"), history);
    j.add(QStringLiteral("summaryRows"), rows);
    return j;
}

void writeResult(const Json& j, const Options& o, FileOutputs& files) {
    files.write(o.has(QStringLiteral("-o")) ? o.value(QStringLiteral("-o")) : QStringLiteral("-"),
                j.toText() + '\n');
}

} // namespace

bool wantsPdf(const QStringList& args) {
    return args.contains(QStringLiteral("--pdf")) || args.contains(QStringLiteral("--summary-pdf"));
}

int run(const QStringList& args, QIODevice& out, QTextStream& err, const Environment& env) {
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        if (args.isEmpty())
            err << MainHelp;
        else
            out.write(MainHelp);
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
            out.write(cmd->help);
        } else {
            const QString name = QLatin1String(cmd->name);
            Database db(o, env);
            FileOutputs files(out, env);
            if (name == QLatin1String("materials")) {
                writeResult(materialsJson(db), o, files);
            } else if (name == QLatin1String("material")) {
                if (!o.values.contains(QStringLiteral("--material")) ||
                    !o.values.contains(QStringLiteral("--temperature")))
                    throw UsageError("chybí --material a --temperature");
                writeResult(dataToJson(db.load(o.value(QStringLiteral("--material")),
                                               temperatureOf(o.value(QStringLiteral("--temperature"))))),
                            o, files);
            } else if (name == QLatin1String("flow")) {
                writeResult(flowJson(o, db), o, files);
            } else if (name == QLatin1String("forward")) {
                writeResult(forwardCommand(o, db, files), o, files);
            } else if (name == QLatin1String("backward")) {
                int calculationCode = Ok;
                const Json j = backwardCommand(o, db, files, err, calculationCode);
                writeResult(j, o, files);
                code = std::max(code, calculationCode);
            }
        }
    } catch (const UsageError& e) {
        err << "prolis-calc: " << QString::fromUtf8(e.what()) << "\n" << (cmd ? cmd->help : MainHelp);
        code = Usage;
    } catch (const Failure& f) {
        err << f.message << "\n";
        code = f.code;
    } catch (const std::exception& e) {
        const Failure f = failureOf(e);
        err << f.message << "\n";
        code = f.code;
    }
    err.flush();
    return code;
}

} // namespace prolis::cli
