#include "CalcCli.h"
#include "Batch.h"
#include "Calculations.h"

#include "core/Errors.h"
#include "core/FileIo.h"
#include "core/JsonWriter.h"
#include "core/NumberText.h"
#include "db/MaterialCatalog.h"
#include "domain/BackwardCalc.h"
#include "domain/BackwardUnit.h"
#include "domain/CurveFit.h"
#include "domain/DataFields.h"
#include "domain/DataJson.h"
#include "domain/FlowModel.h"
#include "domain/ForwardCalc.h"
#include "domain/MaterialEdit.h"
#include "domain/Project.h"
#include "output/ChartWorkbook.h"
#include "output/Protocol.h"
#include "output/WordDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
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
    "  forward     dopředné protlačování: kontrola platnosti, záznam výsledků a protokol\n"
    "  backward    zpětné protlačování: kontroly, záznamy výsledků, souhrnné řádky a protokoly\n"
    "  batch       proud výpočtů forward a backward v jednom procesu (JSON Lines)\n"
    "  project     výpočty souboru výpočtů (.prolis) a výstupy kteréhokoli z nich\n"
    "  fit         konstanty rovnic z naměřené křivky přetvárného odporu (JSON souboru materiálu)\n"
    "\n"
    "Společné volby:\n"
    "  --ini SOUBOR    nastavení připojení (jinak prolis.ini vedle programu, není-li tam,\n"
    "                  ~/.config/Prolis/prolis.ini)\n"
    "  --version       verze a soubor nastavení, který by program četl\n"
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
        {"fit",
         "Použití: prolis-calc fit --points SOUBOR --name NÁZEV [--temperature T] [--phi-max X]\n"
         "                         [--phi-str X] [--polytropa-c free|zero] [--f-degree N] [--d-degree N]\n"
         "                         [--work-degree N] [--rm X] [--rp X] [--a5 X] [--z X] [-o SOUBOR]\n"
         "Proloží naměřené body (φ a σp na řádek; tabulátor, středník nebo mezery; desetinná čárka\n"
         "nebo tečka; volitelný řádek záhlaví; # komentář) všemi čtyřmi rovnicemi a oběma zákony práce.\n"
         "Vypíše soubor materiálu (pro forward/backward --material-file) a objekt quality s R²,\n"
         "největší odchylkou (maxDeviationMPa, u práce maxDeviationJmm3) a v %, rozsahem φ a poznámkami\n"
         "(dosažené meze) každého proložení; proložení, které nelze provést, má místo nich důvod\n"
         "(refused). Čísla voleb s desetinnou čárkou. Výchozí: teplota 0 °C, φ(max) největší naměřené φ,\n"
         "c Polytropy volné, F stupně 5, D konstantní, práce stupně 5 (nejvýše 9).\n",
         {"-o", "--points", "--phi-max", "--phi-str", "--polytropa-c", "--f-degree", "--d-degree",
          "--work-degree", "--name", "--temperature", "--rm", "--rp", "--a5", "--z"},
         {},
         {}},
        {"project",
         "Použití: prolis-calc project SOUBOR [--forward N | --backward N] [--text SOUBOR] [--pdf SOUBOR]\n"
         "                             [--docx SOUBOR] [--summary-text SOUBOR] [--summary-pdf SOUBOR]\n"
         "                             [--summary-docx SOUBOR] [--chart SOUBOR] [-o SOUBOR]\n"
         "Vypíše výpočty souboru výpočtů (.prolis) každé jednotky, číslované od 1 v pořadí historie,\n"
         "a zapíše výstupy výpočtu --forward N nebo --backward N (--text, --pdf, --docx) a souhrnu\n"
         "zpětných výpočtů (--summary-text, --summary-pdf, --summary-docx, --chart) se stejnými bajty\n"
         "jako příkazy, které počítají.\n",
         {"-o", "--forward", "--backward", "--text", "--pdf", "--docx", "--summary-text", "--summary-pdf",
          "--summary-docx", "--chart"},
         {},
         {}},
        {"batch",
         "Použití: prolis-calc batch [--input SOUBOR] [-o SOUBOR] [--project SOUBOR] [--ini SOUBOR]\n"
         "S --project zapíše úspěšné výpočty do souboru výpočtů (.prolis), každou jednotku seřazenou\n"
         "jako její historii.\n"
         "Čte řádky JSON (JSON Lines) ze standardního vstupu nebo ze souboru --input, každý\n"
         "jeden výpočet, a na každý odpoví jedním řádkem v témže pořadí.\n"
         "Řádek vstupu:\n"
         "  {\"id\": libovolná hodnota, \"command\": \"forward\" | \"backward\",\n"
         "   \"material\": {objekt souboru materiálu} | {\"name\": NÁZEV, \"temperature\": T}\n"
         "               | {\"id\": ID, \"temperature\": T},\n"
         "   \"equation\": 0..3, \"die\": 0 | 1 (jen forward),\n"
         "   \"fields\": {\"D0\": \"30\", \"h0\": \"100\", ...}, \"yes\": true | false}\n"
         "Pole mají jména voleb příkazu (forward: D0 h0 D1 D2 D3 L1 L3 alpha2 f1 f2 f3,\n"
         "backward: D0 h0 d H f1 f2) a texty jako v okně (desetinná čárka).\n"
         "Řádek výstupu:\n"
         "  {\"id\": ..., \"exit\": 0|1|2|3|64, \"result\": objekt příkazu nebo null,\n"
         "   \"message\": hlášení příkazu nebo null}\n"
         "Chybný řádek dostane exit 64 a zpracování pokračuje. Materiál z databáze se načte\n"
         "jednou pro každou dvojici materiál a teplota; připojí se, až jej řádek potřebuje.\n"
         "Do roury nebo terminálu se odpovídá po řádcích. Návratový kód procesu je 0, když se\n"
         "přečetl celý vstup; 3, když vstup nelze číst nebo výstup zapsat.\n",
         {"--ini", "-o", "--input", "--project"},
         {},
         {}},
    };
    return list;
}

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    QHash<QString, QStringList> values;
    QSet<QString> flags;
    bool has(const QString& k) const { return values.contains(k) || flags.contains(k); }
    QString value(const QString& k) const {
        const auto it = values.constFind(k);
        return it == values.cend() ? QString() : it->constLast();
    }
    QStringList all(const QString& k) const { return values.value(k); }
    QStringList positional; // a file the command works on ("project FILE")
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
        } else if (QLatin1String(cmd.name) == QLatin1String("project") && !a.startsWith(u'-') &&
                   o.positional.isEmpty()) {
            o.positional << a;
        } else {
            throw UsageError(QStringLiteral("neznámá volba nebo argument: %1").arg(a).toStdString());
        }
    }
    return o;
}

QString settingsPath(const Options& o, const Environment& env) {
    if (o.values.contains(QStringLiteral("--ini"))) return o.value(QStringLiteral("--ini"));
    return settingsFileIn(env.executableDir, QStringLiteral("prolis.ini"));
}

int temperatureOf(const QString& text) {
    int t = 0;
    if (!tryTextToInt(text, t)) throw UsageError("--temperature potřebuje celé číslo");
    return t;
}

// A material file: a regular file of a sane size (a device or a pipe could
// be read without end).
constexpr qint64 MaxMaterialFile = 1024 * 1024;

Data materialFile(const QString& path) {
    const FileRead file = readBoundedFile(path, MaxMaterialFile);
    switch (file.problem) {
    case FileRead::None:
        return dataFromJson(file.bytes, path);
    case FileRead::NotRegular:
        throw Failure{CalculationError,
                      QStringLiteral("Soubor materiálu '%1' není obyčejný soubor.").arg(path)};
    case FileRead::TooLarge:
        throw Failure{CalculationError,
                      QStringLiteral("Soubor materiálu '%1' je větší než 1 MiB.").arg(path)};
    case FileRead::Missing:
    case FileRead::Unreadable:
        break;
    }
    throw Failure{CalculationError, QStringLiteral("Soubor materiálu '%1' nelze číst.").arg(path)};
}

// Where the materials of a command come from: files, or the database with
// one or more temperatures. Each source is loaded when its calculation runs.
QList<std::function<Data()>> materialSources(const Options& o, MaterialDatabase& db, bool required) {
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

Data singleMaterial(const Options& o, MaterialDatabase& db) {
    return materialSources(o, db, true).constFirst()();
}

// The JSON prolis-calc prints: indented by two blanks.
template <class F> QByteArray indentedJson(F&& write) {
    QByteArray out;
    JsonWriter w(out, true);
    write(w);
    w.finish();
    return out;
}

QByteArray materialsJson(MaterialDatabase& db) {
    QList<MaterialRow> rows;
    MaterialConnection& c = db.connection();
    try {
        rows = listMaterials(c);
    } catch (const DatabaseError& e) {
        throw Failure{DatabaseOrSettings, errorDisplayText(e.message())};
    }
    return indentedJson([&](JsonWriter& w) {
        // (An empty array is written as one of scalars: "[]".)
        w.beginArray(rows.isEmpty());
        for (const MaterialRow& m : rows) {
            w.beginObject();
            w.key(QLatin1StringView("id"));
            w.integer(m.id);
            w.key(QLatin1StringView("nazev"));
            w.string(m.nazev);
            w.key(QLatin1StringView("temperatures"));
            w.beginArray(m.temperatures.isEmpty());
            for (const TemperatureRow& t : m.temperatures) {
                w.beginObject();
                w.key(QLatin1StringView("id"));
                w.integer(t.id);
                w.key(QLatin1StringView("teplo"));
                if (t.teplo)
                    w.integer(*t.teplo);
                else
                    w.null();
                w.endObject();
            }
            w.endArray();
            w.endObject();
        }
        w.endArray();
    });
}

QByteArray flowJson(const Options& o, MaterialDatabase& db) {
    bool ok = false;
    const int eq = o.value(QStringLiteral("--equation")).toInt(&ok);
    if (!o.values.contains(QStringLiteral("--equation")) || !ok || eq < 0 || eq > 3)
        throw UsageError("--equation potřebuje 0, 1, 2 nebo 3");
    if (!o.values.contains(QStringLiteral("--phi"))) throw UsageError("chybí --phi");
    const Data d = singleMaterial(o, db);
    const double phi = textToFloat(o.value(QStringLiteral("--phi")));
    const auto kind = static_cast<EquationKind>(eq);
    const double sigma = FlowStress(d, kind, phi);
    const double work = SpecificWork(d, phi);
    const double mean = MeanFlowStress(d, phi);
    return indentedJson([&](JsonWriter& w) {
        w.beginObject();
        w.key(QLatin1StringView("available"));
        w.beginArray(true);
        for (int k = 0; k < 4; ++k)
            w.boolean(EquationAvailable(d, static_cast<EquationKind>(k)));
        w.endArray();
        w.key(QLatin1StringView("flowStress"));
        w.string(formatGeneral(sigma));
        w.key(QLatin1StringView("specificWork"));
        w.string(formatGeneral(work));
        w.key(QLatin1StringView("meanFlowStress"));
        w.string(formatGeneral(mean));
        w.endObject();
    });
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

// Standard output that cannot take the bytes (a full disk, /dev/full, a
// closed pipe) fails the command like a file that cannot be written.
void writeStandardOutput(QIODevice& out, const QByteArray& bytes) {
    if (!writeAll(out, bytes))
        throw Failure{DatabaseOrSettings, QStringLiteral("Standardní výstup nelze zapsat: %1")
                                              .arg(out.errorString().isEmpty() ? QStringLiteral("Disk full")
                                                                               : out.errorString())};
}

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
            writeStandardOutput(m_out, bytes);
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

fwd::DieType dieOption(const Options& o) {
    if (!o.values.contains(QStringLiteral("--die"))) return fwd::DieType::None;
    const QString d = o.value(QStringLiteral("--die"));
    if (d != QLatin1String("0") && d != QLatin1String("1")) throw UsageError("--die potřebuje 0 nebo 1");
    return static_cast<fwd::DieType>(d.toInt());
}

// The outputs of one calculation and of the summary rows that the options
// ask for; the same for a calculation made now and one read from a project.
void writeForwardOutputs(const Options& o, FileOutputs& files, const fwd::Souhrn& r) {
    if (o.has(QStringLiteral("--text")))
        files.write(o.value(QStringLiteral("--text")),
                    out::textFileBytes(out::forwardProtocol(r, out::Flavour::Text)));
    if (o.has(QStringLiteral("--pdf")))
        files.writePdf(o.value(QStringLiteral("--pdf")), out::forwardReport(r));
    if (o.has(QStringLiteral("--docx")))
        files.write(o.value(QStringLiteral("--docx")), out::docxBytes(out::forwardDocument(r)));
}

void writeBackwardOutputs(const Options& o, FileOutputs& files, const bwd::Souhrn& r) {
    if (o.has(QStringLiteral("--text")))
        files.write(o.value(QStringLiteral("--text")),
                    out::textFileBytes(out::backwardProtocol(r, out::Flavour::Text)));
    if (o.has(QStringLiteral("--pdf")))
        files.writePdf(o.value(QStringLiteral("--pdf")), out::backwardReport(r));
    if (o.has(QStringLiteral("--docx")))
        files.write(o.value(QStringLiteral("--docx")), out::docxBytes(out::backwardDocument(r)));
}

// The summary outputs but the chart (which needs a row).
void writeSummaryOutputs(const Options& o, FileOutputs& files, const QList<bwd::SouhrnVysl>& rows) {
    if (o.has(QStringLiteral("--summary-text")))
        files.write(o.value(QStringLiteral("--summary-text")), out::textFileBytes(out::summaryTable(rows)));
    if (o.has(QStringLiteral("--summary-pdf")))
        files.writePdf(o.value(QStringLiteral("--summary-pdf")), out::summaryReport(rows));
    if (o.has(QStringLiteral("--summary-docx")))
        files.write(o.value(QStringLiteral("--summary-docx")), out::docxBytes(out::summaryDocument(rows)));
}

QByteArray forwardCommand(const Options& o, MaterialDatabase& db, FileOutputs& files) {
    const EquationKind eq = equationOption(o);
    const fwd::DieType die = dieOption(o);
    const Data material = materialSources(o, db, false).constFirst()();
    const fwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--D1"), o.value("--D2"),
                         o.value("--D3"), o.value("--L1"), o.value("--L3"), o.value("--alpha2"),
                         o.value("--f1"), o.value("--f2"), o.value("--f3")};
    const ForwardOutcome r =
        forwardCalculation(material, eq, die, in, o.flags.contains(QStringLiteral("--yes")));
    writeForwardOutputs(o, files, r.record);
    QByteArray json;
    JsonWriter w(json, true);
    writeForward(w, r);
    w.finish();
    return json;
}

// The backward command: one calculation, or several of one geometry run
// through a unit as the window runs them (history, summary rows, sorting).
// A calculation that is refused or fails reports on `err` and adds nothing.
QByteArray backwardCommand(const Options& o, MaterialDatabase& db, FileOutputs& files, QTextStream& err,
                           int& code) {
    const EquationKind eq = equationOption(o);
    const QList<std::function<Data()>> sources = materialSources(o, db, false);
    const bwd::Inputs in{o.value("--D0"), o.value("--h0"), o.value("--d"),
                         o.value("--H"),  o.value("--f1"), o.value("--f2")};
    const bool yes = o.flags.contains(QStringLiteral("--yes"));
    bwd::BackwardUnit unit;
    std::vector<BackwardOutcome> calculations;
    std::optional<quint64> latest;
    for (const auto& source : sources) {
        try {
            calculations.push_back(backwardCalculation(source(), eq, in, yes));
            latest = unit.addCalculation(calculations.back().entry);
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
    if (const auto i = latest ? unit.history.indexOf(*latest) : std::nullopt)
        writeBackwardOutputs(o, files, unit.history.at(*i).record);
    writeSummaryOutputs(o, files, unit.summaryRows());
    if (o.has(QStringLiteral("--chart"))) {
        // The chart needs a row; without one it says so, as the window does.
        if (unit.history.isEmpty()) {
            err << out::MsgNoSummaryRows << "\n";
            code = std::max(code, int(Refused));
        } else {
            files.write(o.value(QStringLiteral("--chart")), out::chartWorkbook(unit.summaryRows()));
        }
    }
    QByteArray json;
    JsonWriter w(json, true);
    if (sources.size() == 1) {
        if (!calculations.empty()) writeBackward(w, calculations.front());
        w.finish();
        return json;
    }
    w.beginObject();
    w.key(QLatin1StringView("calculations"));
    w.beginArray(false);
    for (const BackwardOutcome& c : calculations)
        writeBackward(w, c);
    w.endArray();
    w.key(QLatin1StringView("history"));
    w.beginArray(false);
    for (int i = 0; i < unit.history.size(); ++i)
        writeTexts(w, bwd::fieldNames(), unit.history.at(i).record.f);
    w.endArray();
    w.key(QLatin1StringView("summaryRows"));
    w.beginArray(false);
    for (int i = 0; i < unit.history.size(); ++i)
        writeTexts(w, bwd::summaryFieldNames(), unit.history.at(i).row.f);
    w.endArray();
    w.endObject();
    w.finish();
    return json;
}

void writeResult(const QByteArray& json, const Options& o, FileOutputs& files) {
    files.write(o.has(QStringLiteral("-o")) ? o.value(QStringLiteral("-o")) : QStringLiteral("-"),
                json + '\n');
}

// The fit command: the constants of a measured curve as a material file,
// with the quality of every fit (or why it could not be made).
QByteArray fitCommand(const Options& o) {
    if (!o.has(QStringLiteral("--points"))) throw UsageError("chybí --points SOUBOR");
    // The output is a material file, and a material needs its name.
    if (!o.has(QStringLiteral("--name")))
        throw UsageError("chybí --name NÁZEV (výstup je soubor materiálu a ten potřebuje název)");
    const QString path = o.value(QStringLiteral("--points"));
    const FileRead file = readBoundedFile(path, fit::MaxPointsFileSize);
    if (file.problem == FileRead::TooLarge)
        throw Failure{Refused, QStringLiteral("Soubor %1 je větší než 10 MiB.").arg(path)};
    if (!file) throw Failure{DatabaseOrSettings, readFailure(path, file, fit::MaxPointsFileSize)};
    const fit::ReadPoints points = fit::readPoints(file.bytes);
    if (!points.refusal.isEmpty()) throw Failure{Refused, QStringLiteral("%1: %2").arg(path, points.refusal)};
    // A number an option takes, within its range.
    const auto number = [&](const char* option, double low, double high, bool aboveLow,
                            const char* range) -> std::optional<double> {
        if (!o.has(QLatin1String(option))) return std::nullopt;
        const QString text = o.value(QLatin1String(option));
        double v = 0;
        if (!tryTextToFloat(text.trimmed(), v) || !std::isfinite(v) || (aboveLow ? v <= low : v < low) ||
            v > high)
            throw UsageError(QStringLiteral("%1 potřebuje číslo %2, je zde „%3“")
                                 .arg(QLatin1String(option), QString::fromUtf8(range), text)
                                 .toStdString());
        return v;
    };
    const auto degree = [&](const char* option, int fallback, int low, int high) {
        if (!o.has(QLatin1String(option))) return fallback;
        int v = 0;
        if (!tryTextToInt(o.value(QLatin1String(option)), v) || v < low || v > high)
            throw UsageError(QStringLiteral("%1 potřebuje celé číslo %2 až %3, je zde „%4“")
                                 .arg(QLatin1String(option))
                                 .arg(low)
                                 .arg(high)
                                 .arg(o.value(QLatin1String(option)))
                                 .toStdString());
        return v;
    };
    constexpr double Huge = std::numeric_limits<double>::max();
    fit::Options options;
    options.phiMax = number("--phi-max", 0, Huge, true, "větší než 0");
    options.phiStr = number("--phi-str", 0, Huge, false, "alespoň 0");
    if (o.has(QStringLiteral("--polytropa-c"))) {
        const QString c = o.value(QStringLiteral("--polytropa-c"));
        if (c != u"free" && c != u"zero") throw UsageError("--polytropa-c potřebuje free nebo zero");
        options.polytropaC = c == u"free";
    }
    options.fDegree = degree("--f-degree", 5, 0, 9);
    options.dDegree = degree("--d-degree", 0, 0, 9);
    options.workDegree = degree("--work-degree", 5, 1, 9);
    Data d;
    d.nazev = o.value(QStringLiteral("--name"));
    if (const QString problem = edit::nameProblem(d.nazev); !problem.isEmpty())
        throw Failure{Refused, problem};
    // Whole degrees from absolute zero to what the record holds.
    if (o.has(QStringLiteral("--temperature"))) {
        int t = 0;
        if (!tryTextToInt(o.value(QStringLiteral("--temperature")), t) || t < -273 || t > 32767)
            throw UsageError(
                QStringLiteral("--temperature potřebuje celé číslo −273 až 32767 (°C), je zde „%1“")
                    .arg(o.value(QStringLiteral("--temperature")))
                    .toStdString());
        d.teplo = static_cast<std::int16_t>(t);
    }
    d.rm = number("--rm", 0, Huge, false, "alespoň 0").value_or(0);
    d.rp = number("--rp", 0, Huge, false, "alespoň 0").value_or(0);
    d.a5 = number("--a5", 0, Huge, false, "alespoň 0").value_or(0);
    d.z = number("--z", 0, 100, false, "0 až 100").value_or(0);
    const fit::Fits r = fit::fitAll(points.points, options);
    if (!r.refusal.isEmpty()) throw Failure{Refused, QStringLiteral("%1: %2").arg(path, r.refusal)};
    if (!r.anyMade())
        throw Failure{Refused, QStringLiteral("%1: žádné proložení nelze provést.\n%2")
                                   .arg(path, r.reasons().join(QLatin1Char('\n')))};
    const Data constants = r.constants();
    for (const DataField& f : dataFields())
        if (f.table != DataTable::Materialy && f.kind == FieldKind::Number) *f.in(d) = f.of(constants);
    return indentedJson([&](JsonWriter& w) {
        w.beginObject();
        writeDataMembers(w, d);
        w.key(QLatin1StringView("quality"));
        w.beginObject();
        for (const fit::Fit& f : r.fits) {
            static const QMap<fit::FitKind, const char*> keys{{fit::FitKind::Polytropa, "Polytropa"},
                                                              {fit::FitKind::Polynom3, "Polynom3"},
                                                              {fit::FitKind::Polynom5, "Polynom5"},
                                                              {fit::FitKind::Racionalni, "Racionalni"},
                                                              {fit::FitKind::WorkPolynom, "ppn"}};
            w.key(QLatin1StringView(keys.value(f.kind)));
            w.beginObject();
            if (!f.made()) {
                w.key(QLatin1StringView("refused"));
                w.string(f.reason);
                w.endObject();
                continue;
            }
            const bool work = f.kind == fit::FitKind::WorkPolynom;
            w.key(QLatin1StringView("r2"));
            w.number(f.quality.r2);
            w.key(work ? QLatin1StringView("maxDeviationJmm3") : QLatin1StringView("maxDeviationMPa"));
            w.number(f.quality.maxDeviation);
            w.key(QLatin1StringView("maxDeviationPercent"));
            w.number(f.quality.maxDeviationPercent);
            w.key(QLatin1StringView("phiMin"));
            w.number(f.quality.phiMin);
            w.key(QLatin1StringView("phiMax"));
            w.number(f.quality.phiMax);
            w.key(QLatin1StringView("notes"));
            w.beginArray(true);
            for (const QString& note : f.notes)
                w.string(note);
            w.endArray();
            w.endObject();
        }
        w.endObject();
        w.endObject();
    });
}

// The project command: the calculations of a project file listed, and the
// outputs of one of them (and of the backward summary) written.
QByteArray projectCommand(const Options& o, FileOutputs& files) {
    if (o.positional.size() != 1) throw UsageError("chybí SOUBOR výpočtů");
    const QString path = o.positional.first();
    const project::ReadProject read = project::readProjectFile(path);
    if (!read.project) throw Failure{read.fileFailed ? DatabaseOrSettings : Refused, read.refusal};
    const project::Project& p = *read.project;
    if (o.has(QStringLiteral("--forward")) && o.has(QStringLiteral("--backward")))
        throw UsageError("--forward a --backward nelze zadat spolu");
    const auto entry = [&](const char* option, qsizetype count, const char* what) -> std::optional<int> {
        if (!o.has(QLatin1String(option))) return std::nullopt;
        int n = 0;
        if (!tryTextToInt(o.value(QLatin1String(option)), n) || n < 1 || n > count)
            throw Failure{Refused, QStringLiteral("Soubor %1 nemá %2 výpočet č. %3 (má jich %4).")
                                       .arg(path, QString::fromUtf8(what), o.value(QLatin1String(option)))
                                       .arg(count)};
        return n - 1;
    };
    const std::optional<int> forward = entry("--forward", p.forward.size(), "dopředný");
    const std::optional<int> backward = entry("--backward", p.backward.size(), "zpětný");
    const bool single =
        o.has(QStringLiteral("--text")) || o.has(QStringLiteral("--pdf")) || o.has(QStringLiteral("--docx"));
    if (single && !forward && !backward)
        throw UsageError("--text, --pdf a --docx potřebují --forward N nebo --backward N");
    if (forward) writeForwardOutputs(o, files, p.forward[*forward]);
    if (backward) writeBackwardOutputs(o, files, p.backward[*backward].record);
    QList<bwd::SouhrnVysl> rows;
    for (const bwd::Entry& e : p.backward)
        rows << e.row;
    writeSummaryOutputs(o, files, rows);
    if (o.has(QStringLiteral("--chart"))) {
        if (rows.isEmpty()) throw Failure{Refused, out::MsgNoSummaryRows};
        files.write(o.value(QStringLiteral("--chart")), out::chartWorkbook(rows));
    }
    return indentedJson([&](JsonWriter& w) {
        w.beginObject();
        w.key(QLatin1StringView("forward"));
        w.beginArray(false);
        for (qsizetype i = 0; i < p.forward.size(); ++i) {
            w.beginObject();
            w.key(QLatin1StringView("entry"));
            w.integer(i + 1);
            w.key(QLatin1StringView("record"));
            writeTexts(w, fwd::fieldNames(), p.forward[i].f);
            w.endObject();
        }
        w.endArray();
        w.key(QLatin1StringView("backward"));
        w.beginArray(false);
        for (qsizetype i = 0; i < p.backward.size(); ++i) {
            w.beginObject();
            w.key(QLatin1StringView("entry"));
            w.integer(i + 1);
            w.key(QLatin1StringView("record"));
            writeTexts(w, bwd::fieldNames(), p.backward[i].record.f);
            w.key(QLatin1StringView("row"));
            writeTexts(w, bwd::summaryFieldNames(), p.backward[i].row.f);
            w.endObject();
        }
        w.endArray();
        w.endObject();
    });
}

// The batch command: the answers go to standard output or, with -o, into a
// file that appears whole when the input has been read.
int batchCommand(const Options& o, MaterialDatabase& db, QIODevice& out, const Environment& env) {
    ReadSome read = env.readInput;
    QFile input;
    if (o.has(QStringLiteral("--input"))) {
        input.setFileName(o.value(QStringLiteral("--input")));
        if (!input.open(QIODevice::ReadOnly))
            throw Failure{
                DatabaseOrSettings,
                QStringLiteral("Soubor %1 nelze číst: %2").arg(input.fileName(), input.errorString())};
        read = [&input](char* data, qint64 size) { return input.read(data, size); };
    }
    if (!read) throw Failure{Usage, QStringLiteral("Standardní vstup zde není k dispozici.")};
    BatchRunner runner(db);
    const auto inputFailed = [&] {
        return Failure{
            DatabaseOrSettings,
            input.isOpen()
                ? QStringLiteral("Soubor %1 nelze číst: %2").arg(input.fileName(), input.errorString())
                : QStringLiteral("Standardní vstup nelze číst.")};
    };
    // The successful calculations as a project file, once the input is read.
    const auto writeProject = [&] {
        if (!o.has(QStringLiteral("--project"))) return;
        const QString file = o.value(QStringLiteral("--project"));
        QString why;
        if (!writeWholeFile(file, project::projectJson(runner.project()), &why))
            throw Failure{DatabaseOrSettings, QStringLiteral("Soubor %1 nelze zapsat: %2").arg(file, why)};
    };
    if (!o.has(QStringLiteral("-o")) || o.value(QStringLiteral("-o")) == QLatin1String("-")) {
        switch (runBatch(read, out, isInteractive(out), runner)) {
        case BatchEnd::Done:
            writeProject();
            return Ok;
        case BatchEnd::InputFailed:
            throw inputFailed();
        case BatchEnd::OutputFailed:
            throw Failure{DatabaseOrSettings,
                          QStringLiteral("Standardní výstup nelze zapsat: %1").arg(out.errorString())};
        }
    }
    const QString path = o.value(QStringLiteral("-o"));
    BatchEnd end = BatchEnd::Done;
    QString reason;
    const bool written = writeWholeFile(
        path,
        [&](QIODevice& file) {
            end = runBatch(read, file, false, runner);
            return end == BatchEnd::Done;
        },
        &reason);
    if (end == BatchEnd::InputFailed) throw inputFailed();
    if (!written)
        throw Failure{DatabaseOrSettings, QStringLiteral("Soubor %1 nelze zapsat: %2").arg(path, reason)};
    writeProject();
    return Ok;
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
    if (args[0] == QLatin1String("--version")) {
        // The version, and the settings file a command would read.
        const QByteArray text = QStringLiteral("prolis-calc %1\nNastavení: %2\n")
                                    .arg(QLatin1String(PROLIS_VERSION),
                                         settingsFileIn(env.executableDir, QStringLiteral("prolis.ini")))
                                    .toUtf8();
        return writeAll(out, text) ? Ok : DatabaseOrSettings;
    }
    const Command* cmd = nullptr;
    for (const Command& c : commands())
        if (args[0] == QLatin1String(c.name)) cmd = &c;
    int code = Ok;
    try {
        if (!cmd) throw UsageError(QStringLiteral("neznámý příkaz: %1").arg(args[0]).toStdString());
        const Options o = parse(*cmd, args.mid(1));
        if (o.flags.contains(QStringLiteral("--help"))) {
            writeStandardOutput(out, cmd->help);
        } else {
            const QString name = QLatin1String(cmd->name);
            MaterialDatabase db(settingsPath(o, env), env);
            FileOutputs files(out, env);
            if (name == QLatin1String("materials")) {
                writeResult(materialsJson(db), o, files);
            } else if (name == QLatin1String("material")) {
                if (!o.values.contains(QStringLiteral("--material")) ||
                    !o.values.contains(QStringLiteral("--temperature")))
                    throw UsageError("chybí --material a --temperature");
                const Data d = db.load(o.value(QStringLiteral("--material")),
                                       temperatureOf(o.value(QStringLiteral("--temperature"))));
                writeResult(indentedJson([&](JsonWriter& w) { writeData(w, d); }), o, files);
            } else if (name == QLatin1String("flow")) {
                writeResult(flowJson(o, db), o, files);
            } else if (name == QLatin1String("forward")) {
                writeResult(forwardCommand(o, db, files), o, files);
            } else if (name == QLatin1String("project")) {
                writeResult(projectCommand(o, files), o, files);
            } else if (name == QLatin1String("fit")) {
                writeResult(fitCommand(o), o, files);
            } else if (name == QLatin1String("batch")) {
                code = batchCommand(o, db, out, env);
            } else if (name == QLatin1String("backward")) {
                int calculationCode = Ok;
                const QByteArray j = backwardCommand(o, db, files, err, calculationCode);
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
