#include "cli/CalcCli.h"
#include "domain/DataJson.h"
#include "domain/Project.h"
#include "output/ChartWorkbook.h"
#include "output/Protocol.h"
#include "output/WordDocument.h"
#include "print/ReportPainter.h"
#include "support/FullDisk.h"
#include "support/TestDb.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace prolis;

namespace {
struct Result {
    int code;
    QString out;
    QString err;
    QJsonDocument json() const { return QJsonDocument::fromJson(out.toUtf8()); }
};
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void usage_data();
    void usage();
    void materials();
    void material_data();
    void material();
    void materialRefusals_data();
    void materialRefusals();
    void flowFromFile_data();
    void flowFromFile();
    void flowErrors_data();
    void flowErrors();
    void materialFileRoundTrip();
    void databaseErrors();
    void forwardVectors_data();
    void forwardVectors();
    void forwardQuestions();
    void forwardRefusals_data();
    void forwardRefusals();
    void backwardWorkedExample();
    void backwardSeveral();
    void textProtocols();
    void pdfReports();
    void wordDocuments();
    void chartWorkbook();
    void writeFailures();
    void materialFileBounds();
    void oneMessageLine_data();
    void oneMessageLine();
    void backwardQuestions_data();
    void backwardQuestions();
    void backwardRefusals_data();
    void backwardRefusals();
    void fitDrivesCalculations();
    void projectOutputsAsCalculated();
    void batchWritesAProject();
    void fitRefusals_data();
    void fitRefusals();
    void fitOfLaboratoryCurves_data();
    void fitOfLaboratoryCurves();
    void versionAndSettingsPlace();

private:
    Result run(const QStringList& args, const QString& password = QStringLiteral("prolis"));
    QString writeFile(const QString& name, const QByteArray& text);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    if (test::haveTestDb()) writeFile(QStringLiteral("prolis.ini"), test::testDbIni());
}

Result TestCli::run(const QStringList& args, const QString& password) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString err;
    QTextStream e(&err);
    cli::Environment env{m_dir->path(), [password] { return password; }, reportPdf, {}};
    const int code = cli::run(args, out, e, env);
    return {code, QString::fromUtf8(out.data()), err};
}

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

QString TestCli::writeFile(const QString& name, const QByteArray& text) {
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
    return path;
}

void TestCli::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("nothing") << QStringList{} << 64;
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("unknown command") << QStringList{"print"} << 64;
    QTest::newRow("command help") << QStringList{"flow", "--help"} << 0;
    QTest::newRow("unknown option") << QStringList{"materials", "--loud"} << 64;
    QTest::newRow("option without value") << QStringList{"material", "--material"} << 64;
    QTest::newRow("missing temperature") << QStringList{"material", "--material", "1"} << 64;
    QTest::newRow("bad equation") << QStringList{"flow", "--material-file", "x", "--equation",
                                                 "4",    "--phi",           "1"}
                                  << 64;
    QTest::newRow("both sources") << QStringList{"flow", "--material-file", "x",  "--material",
                                                 "1",    "--temperature",   "20", "--equation",
                                                 "0",    "--phi",           "1"}
                                  << 64;
}

void TestCli::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    const Result r = run(args);
    QCOMPARE(r.code, code);
    if (code == 0)
        QVERIFY(r.out.contains(QStringLiteral("Použití")));
    else
        QVERIFY(r.err.contains(QStringLiteral("Použití")));
}

void TestCli::materials() {
    REQUIRE_TEST_DB();
    const Result r = run({"materials"});
    QCOMPARE(r.code, 0);
    const QJsonArray a = r.json().array();
    QCOMPARE(a.size(), 6);
    QCOMPARE(a[0]["nazev"].toString(), QStringLiteral("Zkušební ocel"));
    QCOMPARE(a[0]["temperatures"].toArray().size(), 3);
    QCOMPARE(a[0]["temperatures"][1]["teplo"].toInt(), 100);
    QCOMPARE(a[1]["temperatures"].toArray().size(), 0);
    const QJsonArray twice = a[2]["temperatures"].toArray();
    QCOMPARE(twice.size(), 3);
    QCOMPARE(twice[0]["teplo"].toInt(), 20);
    QCOMPARE(twice[1]["teplo"].toInt(), 20);
    QCOMPARE(a[3]["nazev"].toString(), QString());
}

void TestCli::material_data() {
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("polA");
    QTest::newRow("by id") << "1"
                           << "100"
                           << "Zkušební ocel" << 760.0;
    QTest::newRow("by name") << "Zkušební ocel"
                             << "20"
                             << "Zkušební ocel" << 800.0;
    QTest::newRow("NULLs") << "4"
                           << "20"
                           << "" << 0.0;
    QTest::newRow("name from the material row") << "5"
                                                << "-20"
                                                << "Horká" << 800.0;
}

void TestCli::material() {
    REQUIRE_TEST_DB();
    QFETCH(QString, material);
    QFETCH(QString, temperature);
    QFETCH(QString, name);
    QFETCH(double, polA);
    const Result r = run({"material", "--material", material, "--temperature", temperature});
    QCOMPARE(r.code, 0);
    const QJsonObject o = r.json().object();
    QCOMPARE(o["nazev"].toString(), name);
    QCOMPARE(o["pol_a"].toDouble(), polA);
    QCOMPARE(o["ppn"].toArray().size(), 10);
    QCOMPARE(o["pn3"].toArray().size(), 4);
    QCOMPARE(o["pn5"].toArray().size(), 6);
    QCOMPARE(o.keys().size(), 19);
    QVERIFY(r.out.indexOf("\"nazev\"") < r.out.indexOf("\"fistr\"")); // record order
}

void TestCli::materialRefusals_data() {
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown material") << "Nikde"
                                      << "20" << 1 << "Materiál „Nikde“ v databázi není.";
    QTest::newRow("unknown temperature") << "1"
                                         << "300" << 1 << "Materiál „1“ nemá v databázi teplotu 300 °C.";
    QTest::newRow("temperature 40000") << "Horká"
                                       << "40000" << 2 << "Range check error.";
}

void TestCli::materialRefusals() {
    REQUIRE_TEST_DB();
    QFETCH(QString, material);
    QFETCH(QString, temperature);
    QFETCH(int, code);
    QFETCH(QString, message);
    const Result r = run({"material", "--material", material, "--temperature", temperature});
    QCOMPARE(r.code, code);
    QCOMPARE(r.err.trimmed(), message);
    QVERIFY(r.out.isEmpty());
}

void TestCli::flowFromFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("equation");
    QTest::addColumn<QString>("phi");
    QTest::addColumn<QStringList>("texts");
    const QByteArray worked = R"({"pol_a": 800, "pol_b": 0.2, "ppol_a": 0.6667, "ppol_b": 1.2, "teplo": 20})";
    QTest::newRow("Polytropa at 1") << worked << 0 << "1" << QStringList{"800", "0,6667", "666,7"};
    QTest::newRow("Polytropa at 0,5")
        << worked << 0 << "0,5" << QStringList{"696,440450636899", "0,290198030274763", "580,396060549526"};
    QTest::newRow("ppn wins") << QByteArray(R"({"pn3": [250], "ppn": [0.5, 0.1], "ppol_a": 9})") << 1 << "2"
                              << QStringList{"250", "1,2", "600"};
}

void TestCli::flowFromFile() {
    QFETCH(QByteArray, file);
    QFETCH(int, equation);
    QFETCH(QString, phi);
    QFETCH(QStringList, texts);
    const QString path = writeFile(QStringLiteral("m.json"), file);
    const Result r =
        run({"flow", "--material-file", path, "--equation", QString::number(equation), "--phi", phi});
    QCOMPARE(r.code, 0);
    const QJsonObject o = r.json().object();
    QCOMPARE(o["flowStress"].toString(), texts[0]);
    QCOMPARE(o["specificWork"].toString(), texts[1]);
    QCOMPARE(o["meanFlowStress"].toString(), texts[2]);
    QCOMPARE(o["available"].toArray().size(), 4);
}

void TestCli::flowErrors_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("phi");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QByteArray ok = R"({"pol_a": 800, "pol_b": 0.2, "ppol_a": 0.6667, "ppol_b": 1.2})";
    QTest::newRow("phi with a point") << ok << "0.5" << 2 << "'0.5' is not a valid floating point value.";
    QTest::newRow("phi 0") << ok << "0" << 2 << "Invalid floating point operation.";
    QTest::newRow("no work constants") << QByteArray(R"({"pol_a": 800})") << "1" << 2
                                       << "Materiál nemá konstanty pro výpočet přetvárné práce.";
    QTest::newRow("teplo out of range")
        << QByteArray(R"({"teplo": 40000})") << "1" << 2 << "Range check error.";
    QTest::newRow("malformed") << QByteArray("{\"pol_a\": 800,\n}") << "1" << 2
                               << "není platný JSON: chybí klíč (bajt 16)";
    // The one reader of batch lines and material files: a key given twice is
    // refused, not merged; the text must be UTF-8.
    QTest::newRow("key twice") << QByteArray(R"({"pol_a": 800, "pol_a": 900, "ppol_a": 1, "ppol_b": 1})")
                               << "1" << 2 << ": klíč \"pol_a\" je zadán vícekrát.";
    QTest::newRow("not UTF-8") << QByteArray("{\"nazev\": \"C45 \xe9\"}") << "1" << 2
                               << "text není v kódování UTF-8 (bajt 16)";
    QTest::newRow("beyond double") << QByteArray(R"({"pol_a": 1e999})") << "1" << 2
                                   << ": klíč \"pol_a\" nemá číselnou hodnotu.";
}

void TestCli::flowErrors() {
    QFETCH(QByteArray, file);
    QFETCH(QString, phi);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString path = writeFile(QStringLiteral("m.json"), file);
    const Result r = run({"flow", "--material-file", path, "--equation", "0", "--phi", phi});
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (message == QLatin1String("pozice")) QVERIFY(r.err.contains(path));
}

void TestCli::materialFileRoundTrip() {
    REQUIRE_TEST_DB();
    const Result m =
        run({"material", "--material", "6", "--temperature", "20", "-o", m_dir->filePath("m6.json")});
    QCOMPARE(m.code, 0);
    QVERIFY(m.out.isEmpty());
    for (const char* eq : {"0", "1", "2", "3"}) {
        const Result fromDb =
            run({"flow", "--material", "6", "--temperature", "20", "--equation", eq, "--phi", "0,37"});
        const Result fromFile =
            run({"flow", "--material-file", m_dir->filePath("m6.json"), "--equation", eq, "--phi", "0,37"});
        QCOMPARE(fromDb.code, 0);
        QCOMPARE(fromFile.out, fromDb.out);
    }
}

void TestCli::databaseErrors() {
    REQUIRE_TEST_DB();
    const Result wrong = run({"materials"}, QStringLiteral("wrong"));
    QCOMPARE(wrong.code, 3);
    QVERIFY2(wrong.err.startsWith(QStringLiteral("Access denied for user 'prolis'")), qPrintable(wrong.err));
    const Result noIni = run({"materials", "--ini", m_dir->filePath("none.ini")});
    QCOMPARE(noIni.code, 3);
    const QString broken = writeFile(QStringLiteral("broken.ini"),
                                     test::testDbIni(qEnvironmentVariable("PROLIS_TEST_DB_BROKEN")));
    const Result missingTable = run({"material", "--ini", broken, "--material", "1", "--temperature", "20"});
    QCOMPARE(missingTable.code, 3);
    QVERIFY2(missingTable.err.contains(QStringLiteral("doesn't exist")), qPrintable(missingTable.err));
}

namespace {
// sigma_p = 800 at every strain, sigma_ps = 1000 * 0.6 phi / phi = 600, Rp = 350:
// the fixed material values of the test vectors, through the real equations.
const QByteArray FixedMaterial =
    R"({"nazev": "Vektor", "rp": 350, "teplo": 20, "pol_a": 800, "pol_b": 0, "ppol_a": 0.6, "ppol_b": 1, "fimax": 1.4})";

QStringList forwardArgs(const QString& file, const QString& die, const QString& alpha2, const QString& f2) {
    QStringList a{"forward", "--material-file",
                  file,      "--equation",
                  "0",       "--die",
                  die,       "--D0",
                  "30",      "--h0",
                  "100",     "--D1",
                  "40",      "--D2",
                  "40",      "--D3",
                  "20",      "--L1",
                  "50",      "--L3",
                  "5",       "--f1",
                  "0,1",     "--f3",
                  "0,1"};
    if (!alpha2.isEmpty()) a << "--alpha2" << alpha2;
    if (!f2.isEmpty()) a << "--f2" << f2;
    return a;
}
} // namespace

void TestCli::forwardVectors_data() {
    QTest::addColumn<QString>("die");
    QTest::addColumn<QString>("alpha2");
    QTest::addColumn<QString>("f2");
    QTest::addColumn<QStringList>("fields");
    // The values themselves are the calculation suite's; here what the
    // options become: the die, its fields and the dimensions in their places.
    QTest::newRow("without cone") << "1"
                                  << "45"
                                  << "0,9" << QStringList{"Fmax=4060,81 kN",       "Alfa2= °", "f2=0,5",
                                                          "TypVypoctu=bez kuzele", "F=",       "h0D0=3,333"};
    QTest::newRow("with cone") << "0"
                               << "60"
                               << "0,1"
                               << QStringList{"F=1876,96 kN", "Alfa2=60 °", "Fmax=", "h0D0=3,333",
                                              "Fi3=1,386"};
}

void TestCli::forwardVectors() {
    QFETCH(QString, die);
    QFETCH(QString, alpha2);
    QFETCH(QString, f2);
    QFETCH(QStringList, fields);
    const QString file = writeFile(QStringLiteral("v.json"), FixedMaterial);
    const Result r = run(forwardArgs(file, die, alpha2, f2));
    QCOMPARE(r.code, 0);
    const QJsonObject o = r.json().object();
    const QJsonObject rec = o["record"].toObject();
    QCOMPARE(rec.size(), 49);
    for (const QString& f : fields) {
        const QString key = f.section('=', 0, 0);
        QCOMPARE(key + '=' + rec[key].toString(), f);
    }
    QCOMPARE(o["validity"]["s0s3"]["text"].toString(), QStringLiteral("2,250"));
    QVERIFY(o["validity"]["Fi3"]["inRange"].toBool());
    QCOMPARE(o["questions"].toArray().size(), 0);
    QVERIFY(r.out.indexOf("\"Ocel\"") < r.out.indexOf("\"Fmax\"")); // record order
}

void TestCli::forwardQuestions() {
    const QString file = writeFile(QStringLiteral("v.json"), FixedMaterial);
    QStringList args = forwardArgs(file, "1", "", "");
    args[args.indexOf("--h0") + 1] = "40"; // h0/D0 1,333
    args[args.indexOf("--D3") + 1] = "15"; // s0/s3 4, eps 0,75, phi3 1,96
    const Result refused = run(args);
    QCOMPARE(refused.code, 1);
    QCOMPARE(refused.err,
             QStringLiteral("Jste mimo povolený interval pro h0/D0\nChcete pokracovat ve výpočtu ?\n"
                            "Zadejte nové hodnoty h0 D0\n"));
    QVERIFY(refused.out.isEmpty());
    const Result yes = run(args << "--yes");
    QCOMPARE(yes.code, 0);
    const QJsonObject answered = yes.json().object();
    const QJsonArray q = answered["questions"].toArray();
    QCOMPARE(q.size(), 4);
    QCOMPARE(q[3].toString(),
             QStringLiteral("Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?"));
    QVERIFY(!answered["validity"]["Fi3"]["inRange"].toBool());
}

void TestCli::forwardRefusals_data() {
    QTest::addColumn<QStringList>("change"); // option, value ("" removes it)
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("dimension 0") << QStringList{"--L3", "0"} << 1
                                 << "Nejsou zadány všechny rozměry\npolotovaru, nebo průtlačku.";
    QTest::newRow("no equation") << QStringList{"--equation", ""} << 1
                                 << "Není vybrána rovnice pro \nvýpočet";
    QTest::newRow("no die type") << QStringList{"--die", ""} << 1 << "Není vybrán typ výpočtu.";
    QTest::newRow("no angle") << QStringList{"--die", "0"} << 1 << "Není zadán úhel alfa.";
    QTest::newRow("no friction") << QStringList{"--f1", ""} << 1 << "Nejsou zadány hodnoty tření.";
    QTest::newRow("not a number") << QStringList{"--f1", ","} << 2
                                  << "',' is not a valid floating point value.";
    QTest::newRow("D1 0,0") << QStringList{"--D1", "0,0"} << 2 << "Floating point division by zero.";
    QTest::newRow("bad die") << QStringList{"--die", "2"} << 64 << "--die";
}

void TestCli::forwardRefusals() {
    QFETCH(QStringList, change);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString file = writeFile(QStringLiteral("v.json"), FixedMaterial);
    QStringList args = forwardArgs(file, "1", "", "");
    const int at = args.indexOf(change[0]);
    if (change[1].isEmpty()) {
        args.removeAt(at);
        args.removeAt(at);
    } else if (at >= 0) {
        args[at + 1] = change[1];
    } else {
        args << change;
    }
    const Result r = run(args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

namespace {
const QByteArray WorkedMaterial =
    R"({"nazev": "Ocel", "teplo": 20, "pol_a": 800, "pol_b": 0.2, "ppol_a": 0.6667, "ppol_b": 1.2, "fimax": 1.4})";

QStringList backwardArgs(const QString& file, const QStringList& dims) {
    return {"backward", "--material-file", file,  "--equation", "0",    "--D0", dims[0], "--h0", dims[1],
            "--d",      dims[2],           "--H", dims[3],      "--f1", "0,1",  "--f2",  "0,05"};
}
} // namespace

void TestCli::backwardWorkedExample() {
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    const Result r = run(backwardArgs(file, {"40", "30", "30", "40"}));
    QCOMPARE(r.code, 0);
    const QJsonObject o = r.json().object();
    QCOMPARE(o["f2str"].toString(), QStringLiteral("0,075"));
    const QJsonObject checks = o["checks"].toObject();
    QCOMPARE(checks["b"].toString(), QStringLiteral("22,222"));
    QCOMPARE(checks["Epsilon"]["text"].toString(), QStringLiteral("0,259"));
    QCOMPARE(checks["Fi1"]["text"].toString(), QStringLiteral("0,300"));
    QCOMPARE(checks["Fic"].toString(), QStringLiteral("0,525"));
    QCOMPARE(checks["Fi2"].toString(), QStringLiteral("0,225"));
    const QJsonObject rec = o["record"].toObject();
    QCOMPARE(rec.size(), 29);
    QCOMPARE(rec["SigmaZ1str"].toString(), QStringLiteral("1548,63 MPa"));
    QCOMPARE(rec["Ac"].toString(), QStringLiteral("11604,7 J"));
    const QJsonObject row = o["summaryRow"].toObject();
    QCOMPARE(row.size(), 10);
    QCOMPARE(row["F"].toString(), QStringLiteral("1094,66"));
    QCOMPARE(row["Aj1"].toString(), QStringLiteral("0,1573"));
    QVERIFY(r.out.indexOf("\"f2str\": \"0,075\",\n  \"checks\"") > 0);
}

void TestCli::backwardSeveral() {
    // Several calculations of one geometry run through the unit as the window
    // runs them; refused and failing ones report and add nothing.
    QByteArray hot = WorkedMaterial;
    hot.replace("\"teplo\": 20", "\"teplo\": 100");
    QByteArray narrow = WorkedMaterial;
    narrow.replace("\"fimax\": 1.4", "\"fimax\": 0.1"); // Fi1 0,300 out of range
    const QString first = writeFile(QStringLiteral("first.json"), QByteArray(hot).replace("Ocel", "A"));
    const QString second = writeFile(QStringLiteral("second.json"), QByteArray(hot).replace("Ocel", "B"));
    const QString third =
        writeFile(QStringLiteral("third.json"), QByteArray(WorkedMaterial).replace("Ocel", "C"));
    const QString refused = writeFile(QStringLiteral("refused.json"), narrow);
    const QString summary = m_dir->filePath(QStringLiteral("souhrn.txt"));
    const QString text = m_dir->filePath(QStringLiteral("posledni.txt"));
    QStringList args = backwardArgs(first, {"40", "30", "30", "40"});
    args << "--material-file" << refused << "--material-file" << second << "--material-file"
         << m_dir->filePath(QStringLiteral("none.json")) << "--material-file" << third << "--summary-text"
         << summary << "--text" << text;
    const Result r = run(args);
    QCOMPARE(r.code, 2); // the highest met: 1 for the refusal, 2 for the missing file
    QVERIFY(r.err.startsWith(QStringLiteral("Jste mimo povolený interval pro Fi1\n")));
    QVERIFY(r.err.contains(QStringLiteral("none.json' nelze číst")));
    const QJsonObject o = r.json().object();
    QCOMPARE(o.keys(), (QStringList{"calculations", "history", "summaryRows"}));
    QStringList run, history, rows;
    for (const QJsonValue& c : o["calculations"].toArray())
        run << c["record"]["Ocel"].toString();
    for (const QJsonValue& h : o["history"].toArray())
        history << h["Ocel"].toString() + h["Teplota"].toString();
    for (const QJsonValue& row : o["summaryRows"].toArray())
        rows << row["Ocel"].toString() + row["Teplota"].toString();
    QCOMPARE(run, (QStringList{"A", "B", "C"}));
    QCOMPARE(history, (QStringList{"C20", "B100", "A100"})); // the exchange sort of the window
    QCOMPARE(rows, history);
    // The summary table of all rows, and the protocol of the latest calculation.
    QList<bwd::SouhrnVysl> summaryRows;
    for (const QJsonValue& row : o["summaryRows"].toArray()) {
        bwd::SouhrnVysl v;
        for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
            v.f[i] = row[QLatin1String(bwd::summaryFieldNames()[i])].toString();
        summaryRows << v;
    }
    QCOMPARE(readFile(summary), out::textFileBytes(out::summaryTable(summaryRows)));
    QVERIFY(readFile(text).contains("Ocel: C\r\n"));
}

void TestCli::textProtocols() {
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    // One backward calculation: the object as before, the protocol to standard output.
    const Result r = run(backwardArgs(file, {"40", "30", "30", "40"}) << "--text"
                                                                      << "-"
                                                                      << "-o" << m_dir->filePath("r.json"));
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith(QStringLiteral("\r\r\n               Zp")));
    QVERIFY(r.out.endsWith(QStringLiteral("F = 1094,66 kN\r\n")));
    QVERIFY(QJsonDocument::fromJson(readFile(m_dir->filePath("r.json"))).object().contains("summaryRow"));
    // Forward: the file as given, no ".txt" added.
    const Result f = run(forwardArgs(file, "1", "", "") << "--yes"
                                                        << "--text" << m_dir->filePath("dopredne"));
    QCOMPARE(f.code, 0);
    QVERIFY(readFile(m_dir->filePath("dopredne"))
                .endsWith("Fmax = " + f.json()["record"]["Fmax"].toString().toLatin1() + "\r\n"));
    // A file that cannot be written: exit 3, nothing else written.
    const Result bad =
        run(backwardArgs(file, {"40", "30", "30", "40"}) << "-o" << m_dir->filePath("no/such/folder/r.json"));
    QCOMPARE(bad.code, 3);
    QVERIFY2(bad.err.startsWith(
                 QStringLiteral("Soubor %1 nelze zapsat: ").arg(m_dir->filePath("no/such/folder/r.json"))),
             qPrintable(bad.err));
    QVERIFY(bad.out.isEmpty());
}

void TestCli::pdfReports() {
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    QStringList args = backwardArgs(file, {"40", "30", "30", "40"});
    args << "--material-file" << file << "--pdf" << m_dir->filePath("r.pdf") << "--summary-pdf"
         << m_dir->filePath("s.pdf");
    QVERIFY(cli::wantsPdf(args));
    QVERIFY(!cli::wantsPdf(backwardArgs(file, {"40", "30", "30", "40"})));
    const Result r = run(args);
    QCOMPARE(r.code, 0);
    QVERIFY(readFile(m_dir->filePath("r.pdf")).startsWith("%PDF"));
    QVERIFY(readFile(m_dir->filePath("s.pdf")).startsWith("%PDF"));
    // Without a painter (a program that cannot paint): said, not pretended.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString err;
    QTextStream e(&err);
    QCOMPARE(cli::run(args, out, e, cli::Environment{m_dir->path(), {}, {}, {}}), 64);
    QVERIFY(err.contains(QStringLiteral("PDF")));
    // The program itself runs without Qt Gui and hands the command line to
    // its companion: the same files and the same JSON as in one process.
    QFile::remove(m_dir->filePath("r.pdf"));
    QProcess p;
    p.start(QStringLiteral(PROLIS_CALC_PATH), args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), r.out);
    QVERIFY(readFile(m_dir->filePath("r.pdf")).startsWith("%PDF"));
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {QStringLiteral(PROLIS_CALC_PATH)});
    QVERIFY(ldd.waitForFinished(10000));
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY2(libraries.contains("libQt6Core") && !libraries.contains("libQt6Gui"), libraries.constData());
    // A companion that is a link to prolis-calc itself is refused, not
    // handed the command line for ever.
    QTemporaryDir slip;
    QVERIFY(QFile::copy(QStringLiteral(PROLIS_CALC_PATH), slip.filePath(QStringLiteral("prolis-calc"))));
    QVERIFY(QFile::setPermissions(slip.filePath(QStringLiteral("prolis-calc")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(QFile::link(QStringLiteral("prolis-calc"), slip.filePath(QStringLiteral("prolis-calc-pdf"))));
    QProcess looped;
    looped.start(slip.filePath(QStringLiteral("prolis-calc")), args);
    QVERIFY(looped.waitForFinished(30000));
    QCOMPARE(looped.exitCode(), 3);
    QVERIFY2(looped.readAllStandardError().contains("je tentýž program jako prolis-calc"), "no refusal");
}

void TestCli::wordDocuments() {
    // The same documents the windows hand over, written to the files given.
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    const Result r =
        run(backwardArgs(file, {"40", "30", "30", "40"})
            << "--docx" << m_dir->filePath("d.docx") << "--summary-docx" << m_dir->filePath("s.docx"));
    QCOMPARE(r.code, 0);
    bwd::Entry e;
    for (size_t i = 0; i < bwd::FieldCount; ++i)
        e.record.f[i] = r.json()["record"][QLatin1String(bwd::fieldNames()[i])].toString();
    for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
        e.row.f[i] = r.json()["summaryRow"][QLatin1String(bwd::summaryFieldNames()[i])].toString();
    QCOMPARE(readFile(m_dir->filePath("d.docx")), out::docxBytes(out::backwardDocument(e.record)));
    QCOMPARE(readFile(m_dir->filePath("s.docx")), out::docxBytes(out::summaryDocument({e.row})));
}

void TestCli::chartWorkbook() {
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    QByteArray hot = WorkedMaterial;
    hot.replace("\"teplo\": 20", "\"teplo\": 200");
    const QString hotFile = writeFile(QStringLiteral("h.json"), hot);
    const Result r = run(backwardArgs(hotFile, {"40", "30", "30", "40"})
                         << "--material-file" << file << "--chart" << m_dir->filePath("g.xlsx"));
    QCOMPARE(r.code, 0);
    QList<bwd::SouhrnVysl> rows;
    for (const QJsonValue& v : r.json()["summaryRows"].toArray()) {
        bwd::SouhrnVysl row;
        for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
            row.f[i] = v[QLatin1String(bwd::summaryFieldNames()[i])].toString();
        rows << row;
    }
    QCOMPARE(rows.size(), 2);
    const QByteArray xlsx = readFile(m_dir->filePath("g.xlsx"));
    QVERIFY(xlsx.startsWith("PK"));
    QVERIFY(xlsx.contains("xl/charts/chart1.xml") && xlsx.contains("xl/chartsheets/sheet1.xml"));
    QVERIFY(
        out::chartWorkbook(rows).contains("xl/charts/chart1.xml")); // the same rows, the same kind of file
    // No row: said so, nothing written.
    QByteArray narrow = WorkedMaterial;
    narrow.replace("\"fimax\": 1.4", "\"fimax\": 0.1");
    const Result none =
        run(backwardArgs(writeFile(QStringLiteral("n.json"), narrow), {"40", "30", "30", "40"})
            << "--material-file" << writeFile(QStringLiteral("n2.json"), narrow) << "--chart"
            << m_dir->filePath("none.xlsx"));
    QCOMPARE(none.code, 1);
    QVERIFY(none.err.endsWith(out::MsgNoSummaryRows + QLatin1Char('\n')));
    QVERIFY(!QFile::exists(m_dir->filePath("none.xlsx")));
}

void TestCli::writeFailures() {
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    // A device that is full: written in place (never replaced), the failure reported.
    const Result full = run(backwardArgs(file, {"40", "30", "30", "40"}) << "-o"
                                                                         << "/dev/full");
    QCOMPARE(full.code, 3);
    QVERIFY2(full.err.startsWith(QStringLiteral("Soubor /dev/full nelze zapsat: ")), qPrintable(full.err));
    QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists() &&
            !QFileInfo(QStringLiteral("/dev/full")).isFile());
    // Standard output that cannot be written fails the same way, for the JSON
    // result, a protocol to "-" and the help text alike.
    const QList<QStringList> toStandardOutput{
        backwardArgs(file, {"40", "30", "30", "40"}),
        backwardArgs(file, {"40", "30", "30", "40"}) << "--text"
                                                     << "-"
                                                     << "-o" << m_dir->filePath("t.json"),
        {"flow", "--material-file", file, "--equation", "0", "--phi", "0,5"},
        {"forward", "--help"}};
    for (const QStringList& args : toStandardOutput) {
        QFile devFull(QStringLiteral("/dev/full"));
        QVERIFY(devFull.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QString err;
        QTextStream e(&err);
        cli::Environment env{m_dir->path(), [] { return QString(); }, reportPdf, {}};
        QCOMPARE(cli::run(args, devFull, e, env), 3);
        QVERIFY2(err.startsWith(QStringLiteral("Standardní výstup nelze zapsat: No space left on device")),
                 qPrintable(args.join(' ') + ": " + err));
    }
    // A disk that fills up while writing: the exit code says so and the file
    // that was there is left whole.
    const QString target = writeFile(QStringLiteral("r.json"), "the previous result\n");
    const int code = test::withDiskFullAfter(64, [&] {
        return run(backwardArgs(file, {"40", "30", "30", "40"}) << "-o" << target).code;
    });
    QCOMPARE(code, 3);
    QCOMPARE(readFile(target), QByteArray("the previous result\n"));
}

void TestCli::materialFileBounds() {
    // Only regular files of a sane size: /dev/zero would be read without end.
    const Result zero = run({"flow", "--material-file", "/dev/zero", "--equation", "0", "--phi", "1"});
    QCOMPARE(zero.code, 2);
    QCOMPARE(zero.err, QStringLiteral("Soubor materiálu '/dev/zero' není obyčejný soubor.\n"));
    const QString big = writeFile(QStringLiteral("big.json"), QByteArray(1024 * 1024 + 1, ' '));
    const Result large = run({"flow", "--material-file", big, "--equation", "0", "--phi", "1"});
    QCOMPARE(large.code, 2);
    QVERIFY(large.err.endsWith(QStringLiteral("je větší než 1 MiB.\n")));
}

void TestCli::oneMessageLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("empty material file name")
        << QStringList{"flow", "--material-file", "", "--equation", "0", "--phi", "1"};
    QTest::newRow("empty output name")
        << QStringList{"flow", "--material-file", "x", "--equation", "0", "--phi", "1"};
    QTest::newRow("server not there") << QStringList{"materials"};
}

void TestCli::oneMessageLine() {
    // The program writes its one message line and nothing of Qt's own.
    QFETCH(QStringList, args);
    const QString ini =
        writeFile(QStringLiteral("closed.ini"), "[Database]\r\nHostName=127.0.0.1\r\nPort=1\r\n");
    if (args.size() > 2 && args[2] == QLatin1String("x")) {
        args[2] = writeFile(QStringLiteral("w.json"), WorkedMaterial);
        args << "-o"
             << "";
    }
    if (args[0] == QLatin1String("materials")) args << "--ini" << ini;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PROLIS_PASSWORD"), QStringLiteral("x"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PROLIS_CALC_PATH), args);
    QVERIFY(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY(p.exitCode() != 0);
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
    QVERIFY2(!err.contains(QStringLiteral("QSql")) && !err.contains(QStringLiteral("QFSFileEngine")),
             qPrintable(err));
}

void TestCli::backwardQuestions_data() {
    QTest::addColumn<QStringList>("dims");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("eps") << QStringList{"40", "10", "20", "12,5"}
                         << "Jste mimo povolený interval pro eps\nChcete pokracovat ve výpočtu ?"
                         << "Zadejte nové hodnoty polotovaru a průtlačku.";
    QTest::newRow("Fi1") << QStringList{"40", "10", "20", "11,5"}
                         << "Jste mimo povolený interval pro Fi1\nChcete pokracovat ve výpočtu ?"
                         << "Zadejte nové hodnoty polotovaru a průtlačku,\nnebo zvolte jiný materiál.";
}

void TestCli::backwardQuestions() {
    QFETCH(QStringList, dims);
    QFETCH(QString, question);
    QFETCH(QString, refusal);
    QByteArray material = WorkedMaterial;
    material.replace("1.4", "0.5");
    const QString file = writeFile(QStringLiteral("w.json"), material);
    const Result refused = run(backwardArgs(file, dims));
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.startsWith(question + '\n' + refusal), qPrintable(refused.err));
    const Result yes = run(backwardArgs(file, dims) << "--yes");
    QCOMPARE(yes.code, 0);
    QVERIFY(yes.json().object()["questions"].toArray().size() >= 1);
}

void TestCli::backwardRefusals_data() {
    QTest::addColumn<QStringList>("dims");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("dimension 0") << QStringList{"40", "0", "30", "40"} << 1
                                 << "Nejsou zadány všechny rozměry";
    QTest::newRow("H = h0") << QStringList{"40", "30", "30", "30"} << 2
                            << "Invalid floating point operation.";
    QTest::newRow("d = D0") << QStringList{"40", "30", "40", "40"} << 2 << "Floating point division by zero.";
    // The worked material has Polytropa constants only: the window greys the
    // others out, the command refuses them instead of computing with zeros.
    QTest::newRow("no Polynom 3 constants") << QStringList{"40", "30", "30", "40", "--equation", "1"} << 1
                                            << "Materiál nemá konstanty pro rovnici Polynom 3 stupně.\n";
    QTest::newRow("no rational constants") << QStringList{"40", "30", "30", "40", "--equation", "3"} << 1
                                           << "Materiál nemá konstanty pro rovnici Racionálně lomená fce.\n";
}

void TestCli::backwardRefusals() {
    QFETCH(QStringList, dims);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    QStringList args = backwardArgs(file, dims);
    if (dims.size() == 6) args[4] = dims[5]; // --equation N
    const Result r = run(args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestCli::fitDrivesCalculations() {
    // The constants of a measured Hollomon curve (the worked material's, in
    // a file as a test machine writes it) make a material file that the
    // calculations take directly, with the worked example's results.
    QByteArray points = "phi;sigma\r\n";
    for (int i = 1; i <= 40; ++i) {
        const double phi = 0.035 * i;
        points += QByteArray::number(phi, 'f', 4).replace('.', ',') + ';' +
                  QByteArray::number(800 * std::pow(phi, 0.2), 'f', 6).replace('.', ',') + "\r\n";
    }
    const QString file = writeFile(QStringLiteral("curve.txt"), points);
    const QString material = m_dir->filePath("fitted.json");
    const Result fitted =
        run({"fit", "--points", file, "--name", "Ocel", "--temperature", "20", "-o", material});
    QCOMPARE(fitted.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(readFile(material)).object();
    QVERIFY(std::fabs(o["pol_a"].toDouble() - 800) < 1e-3 && std::fabs(o["pol_b"].toDouble() - 0.2) < 1e-6);
    QCOMPARE(o["pol_c"].toDouble(), 0.0); // c does not help: kept 0
    const QJsonObject quality = o["quality"].toObject();
    QCOMPARE(quality.keys(), (QStringList{"Polynom3", "Polynom5", "Polytropa", "Racionalni", "ppn"}));
    QVERIFY(quality["Polytropa"].toObject()["r2"].toDouble() > 0.99999999);
    QCOMPARE(quality["Polytropa"].toObject()["phiMax"].toDouble(), 1.4);
    const Result r = run(backwardArgs(material, {"40", "30", "30", "40"}));
    QCOMPARE(r.code, 0);
    QCOMPARE(r.json()["record"]["SigmaP1"].toString(), QStringLiteral("628,85 MPa"));
    // Refused input: exit 1 with the line and the reason.
    const Result bad =
        run({"fit", "--points", writeFile(QStringLiteral("bad.txt"), "0,1;650\n0;600\n"), "--name", "X"});
    QCOMPARE(bad.code, 1);
    QVERIFY2(bad.err.endsWith(QStringLiteral("Řádek 2: φ musí být větší než 0.\n")), qPrintable(bad.err));
    QCOMPARE(run({"fit"}).code, 64);
    // The quality names its unit; the work law's is J/mm³.
    QVERIFY(quality["Polytropa"].toObject().contains("maxDeviationMPa"));
    QVERIFY(quality["ppn"].toObject().contains("maxDeviationJmm3"));
    QVERIFY(!quality["ppn"].toObject().contains("maxDeviationMPa"));
}

void TestCli::projectOutputsAsCalculated() {
    // Calculations kept in a project file give the same protocol and summary
    // bytes as the commands that calculated them; a missing entry is refused.
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    const Result f =
        run(forwardArgs(file, "1", "90", "0,1") + QStringList{"--text", m_dir->filePath("f.txt")});
    QCOMPARE(f.code, 0);
    const Result b =
        run(backwardArgs(file, {"40", "30", "30", "40"}) +
            QStringList{"--text", m_dir->filePath("b.txt"), "--summary-text", m_dir->filePath("s.txt")});
    QCOMPARE(b.code, 0);
    project::Project p;
    fwd::Souhrn fr;
    for (size_t i = 0; i < fwd::FieldCount; ++i)
        fr.f[i] = f.json()["record"][QLatin1String(fwd::fieldNames()[i])].toString();
    p.forward = {fr};
    bwd::Entry e;
    for (size_t i = 0; i < bwd::FieldCount; ++i)
        e.record.f[i] = b.json()["record"][QLatin1String(bwd::fieldNames()[i])].toString();
    for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
        e.row.f[i] = b.json()["summaryRow"][QLatin1String(bwd::summaryFieldNames()[i])].toString();
    p.backward = {e};
    const QString path = writeFile(QStringLiteral("v.prolis"), project::projectJson(p));
    const Result listed = run({"project", path});
    QCOMPARE(listed.code, 0);
    QCOMPARE(listed.json()["forward"][0]["entry"].toInt(), 1);
    QCOMPARE(listed.json()["backward"][0]["record"]["F"].toString(), e.record[bwd::Field::F]);
    QCOMPARE(run({"project", path, "--forward", "1", "--text", m_dir->filePath("pf.txt")}).code, 0);
    QCOMPARE(readFile(m_dir->filePath("pf.txt")), readFile(m_dir->filePath("f.txt")));
    QCOMPARE(run({"project", path, "--backward", "1", "--text", m_dir->filePath("pb.txt"), "--summary-text",
                  m_dir->filePath("ps.txt")})
                 .code,
             0);
    QCOMPARE(readFile(m_dir->filePath("pb.txt")), readFile(m_dir->filePath("b.txt")));
    QCOMPARE(readFile(m_dir->filePath("ps.txt")), readFile(m_dir->filePath("s.txt")));
    const Result missing = run({"project", path, "--forward", "2", "--text", m_dir->filePath("x.txt")});
    QCOMPARE(missing.code, 1);
    QCOMPARE(missing.err, QStringLiteral("Soubor %1 nemá dopředný výpočet č. 2 (má jich 1).\n").arg(path));
    QVERIFY(!QFile::exists(m_dir->filePath("x.txt")));
    const Result hostile = run(
        {"project", writeFile(QStringLiteral("h.prolis"), R"({"format": "prolis-project", "version": 7})")});
    QCOMPARE(hostile.code, 1);
    QVERIFY2(hostile.err.contains(QStringLiteral("je z novější verze Prolisu (verze 7)")),
             qPrintable(hostile.err));
}

void TestCli::batchWritesAProject() {
    // A batch keeps its successful calculations as a project, each unit in
    // its history's order (by temperature); each entry's protocol is the one
    // its calculation writes.
    QByteArray hot = WorkedMaterial;
    hot.replace("\"teplo\": 20", "\"teplo\": 300");
    const QByteArray fields =
        R"("fields": {"D0": "30", "h0": "100", "D1": "40", "D2": "40", "D3": "20", "L1": "50", "L3": "5", "alpha2": "90", "f1": "0,1", "f2": "0,1", "f3": "0,1"}, "yes": true})";
    QByteArray lines;
    lines += R"({"id": 1, "command": "forward", "equation": 0, "die": 1, "material": )" + hot + ", " +
             fields + "\n";
    lines += R"({"id": 2, "command": "forward", "equation": 0, "die": 1, "material": )" + WorkedMaterial +
             ", " + fields + "\n";
    lines +=
        R"({"id": 3, "command": "backward", "equation": 0, "material": )" + WorkedMaterial +
        R"(, "fields": {"D0": "40", "h0": "30", "d": "30", "H": "40", "f1": "0,1", "f2": "0,05"}, "yes": true})" +
        "\n";
    lines += R"({"id": 4, "command": "forward", "equation": 0, "die": 1, "material": {}, "fields": {}})"
             "\n";
    const QString input = writeFile(QStringLiteral("in.jsonl"), lines);
    const QString path = m_dir->filePath("batch.prolis");
    const Result r = run({"batch", "--input", input, "--project", path, "-o", m_dir->filePath("out.jsonl")});
    QCOMPARE(r.code, 0);
    const project::ReadProject p = project::readProject(readFile(path), path);
    QVERIFY2(p.project, qPrintable(p.refusal));
    QCOMPARE(p.project->forward.size(), 2);
    QCOMPARE(p.project->backward.size(), 1);
    QCOMPARE(p.project->forward[0][fwd::Field::Teplota].left(2), QStringLiteral("20"));
    const QString file = writeFile(QStringLiteral("w.json"), WorkedMaterial);
    QCOMPARE(run(forwardArgs(file, "1", "90", "0,1") + QStringList{"--text", m_dir->filePath("f.txt")}).code,
             0);
    QCOMPARE(run({"project", path, "--forward", "1", "--text", m_dir->filePath("pf.txt")}).code, 0);
    QCOMPARE(readFile(m_dir->filePath("pf.txt")), readFile(m_dir->filePath("f.txt")));
}

void TestCli::fitRefusals_data() {
    // Options out of their range are refused in Czech (64), before anything
    // is fitted; so is a fit without the name its material file needs.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << QStringList{} << "chybí --name NÁZEV";
    QTest::newRow("phi-max 0") << QStringList{"--name", "A", "--phi-max", "0"}
                               << "--phi-max potřebuje číslo větší než 0, je zde „0“";
    QTest::newRow("phi-max -1") << QStringList{"--name", "A", "--phi-max", "-1"}
                                << "--phi-max potřebuje číslo větší než 0, je zde „-1“";
    QTest::newRow("phi-max abc") << QStringList{"--name", "A", "--phi-max", "abc"}
                                 << "--phi-max potřebuje číslo větší než 0, je zde „abc“";
    QTest::newRow("negative phi-str") << QStringList{"--name", "A", "--phi-str", "-0,1"}
                                      << "--phi-str potřebuje číslo alespoň 0, je zde „-0,1“";
    QTest::newRow("temperature the record cannot hold")
        << QStringList{"--name", "A", "--temperature", "40000"}
        << "--temperature potřebuje celé číslo −273 až 32767 (°C), je zde „40000“";
    QTest::newRow("below absolute zero")
        << QStringList{"--name", "A", "--temperature", "-300"}
        << "--temperature potřebuje celé číslo −273 až 32767 (°C), je zde „-300“";
    QTest::newRow("Z above 100") << QStringList{"--name", "A", "--z", "150"}
                                 << "--z potřebuje číslo 0 až 100, je zde „150“";
    QTest::newRow("degree as text") << QStringList{"--name", "A", "--work-degree", "x"}
                                    << "--work-degree potřebuje celé číslo 1 až 9, je zde „x“";
}

void TestCli::fitRefusals() {
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    const QString file = writeFile(QStringLiteral("c.txt"), "0,1;650\n0,2;700\n0,3;730\n0,4;750\n");
    const Result r = run(QStringList{"fit", "--points", file} + options);
    QCOMPARE(r.code, 64);
    QVERIFY2(r.err.startsWith(QStringLiteral("prolis-calc: ") + message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
}

void TestCli::fitOfLaboratoryCurves_data() {
    // Curves no law describes everywhere: strict JSON that our own reader
    // takes, a refused fit with its reason in place of its quality, the
    // others kept (none refused: every fit made and finite).
    QTest::addColumn<QByteArray>("points");
    QTest::addColumn<QString>("refused"); // the key of a fit refused
    QTest::addColumn<QString>("reason");
    QByteArray falling, huge, tiny = "4.9406564584124654e-324 500\n1e-300 510\n";
    for (int i = 1; i <= 16; ++i) {
        falling += QByteArray::number(0.1 * i) + ' ' + QByteArray::number(100 / (0.1 * i), 'g', 17) + '\n';
        huge += QByteArray::number(0.1 * i) + ' ' + QByteArray::number(1e307 * (1 + 0.1 * i), 'g', 17) + '\n';
        tiny += QByteArray::number(0.1 * i) + ' ' + QByteArray::number(600 + 10 * i) + '\n';
    }
    QTest::newRow("falling") << falling << "Polytropa"
                             << "naměřené σp s rostoucím φ neroste";
    QTest::newRow("near the largest double") << huge << "Racionalni"
                                             << "nemá v rozsahu bodů všude konečnou hodnotu";
    QTest::newRow("near the smallest φ") << tiny << QString() << QString();
}

void TestCli::fitOfLaboratoryCurves() {
    QFETCH(QByteArray, points);
    QFETCH(QString, refused);
    QFETCH(QString, reason);
    const QString material = m_dir->filePath("m.json");
    const Result r = run({"fit", "--points", writeFile(QStringLiteral("p.txt"), points), "--name", "Zkouška",
                          "--temperature", "20", "-o", material});
    QCOMPARE(r.code, 0);
    const QByteArray written = readFile(material);
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(written, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(!written.contains("inf") && !written.contains("nan"));
    const Data d = dataFromJson(written, material);
    QCOMPARE(d.nazev, QStringLiteral("Zkouška"));
    QCOMPARE(d.teplo, std::int16_t(20));
    const QJsonObject quality = o["quality"].toObject();
    for (const QString& key : quality.keys()) {
        const QJsonObject q = quality[key].toObject();
        QCOMPARE(q.contains("r2"), key != refused);
        if (key == refused)
            QVERIFY2(q["refused"].toString().contains(reason), qPrintable(q["refused"].toString()));
    }
}

void TestCli::versionAndSettingsPlace() {
    // Beside the program first; without one there, the user's file.
    const Result beside = run({"--version"});
    QCOMPARE(beside.code, 0);
    QVERIFY(beside.out.startsWith(QStringLiteral("prolis-calc ")));
    if (test::haveTestDb())
        QVERIFY2(beside.out.endsWith(QStringLiteral("Nastavení: %1/prolis.ini\n").arg(m_dir->path())),
                 qPrintable(beside.out));
    QFile::remove(m_dir->filePath("prolis.ini"));
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath("config")));
    const Result user = run({"--version"});
    QCOMPARE(user.out.section(QLatin1Char('\n'), 1, 1),
             QStringLiteral("Nastavení: %1/config/Prolis/prolis.ini").arg(m_dir->path()));
    const Result missing = run({"materials"});
    QCOMPARE(missing.code, 3);
    QCOMPARE(missing.err,
             QStringLiteral("Nepodařilo se načíst konfigurační soubor %1/config/Prolis/prolis.ini.\n")
                 .arg(m_dir->path()));
    if (home.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", home);
}

QTEST_MAIN(TestCli)
#include "test_cli.moc"
