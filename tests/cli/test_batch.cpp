#include "cli/Batch.h"
#include "cli/CalcCli.h"
#include "cli/Calculations.h"
#include "db/ConnectionSettings.h"
#include "support/FreezingProxy.h"
#include "support/FullDisk.h"
#include "support/TestDb.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;

namespace {

struct Result {
    int code;
    QByteArray out;
    QString err;
};

// sigma_p = 800 at every strain, Rp = 350 (forward); the worked backward example.
const QByteArray FixedMaterial =
    R"({"nazev": "Vektor", "rp": 350, "teplo": 20, "pol_a": 800, "pol_b": 0, "ppol_a": 0.6, "ppol_b": 1, "fimax": 1.4})";
const QByteArray WorkedMaterial =
    R"({"nazev": "Ocel", "teplo": 20, "pol_a": 800, "pol_b": 0.2, "ppol_a": 0.6667, "ppol_b": 1.2, "fimax": 1.4})";

const QStringList Forward{"forward", "--equation", "0",  "--die", "1",   "--D0", "30", "--h0",
                          "100",     "--D1",       "40", "--D2",  "40",  "--D3", "20", "--L1",
                          "50",      "--L3",       "5",  "--f1",  "0,1", "--f3", "0,1"};
const QStringList Backward{"backward", "--equation", "0",  "--D0", "40",  "--h0", "30",  "--d",
                           "30",       "--H",        "40", "--f1", "0,1", "--f2", "0,05"};

// The single command's arguments with one option changed ("" removes it).
QStringList with(QStringList args, const QStringList& changes) {
    for (int i = 0; i + 1 < changes.size(); i += 2) {
        const int at = args.indexOf(changes[i]);
        if (changes[i + 1].isEmpty() && at >= 0) {
            args.remove(at, 2);
        } else if (changes[i + 1] == QLatin1String("!")) {
            args << changes[i]; // a flag
        } else if (at >= 0) {
            args[at + 1] = changes[i + 1];
        } else {
            args << changes[i] << changes[i + 1];
        }
    }
    return args;
}

// The batch line asking what a single command line asks. The material comes
// inline (`material`) or, with --material, from the database.
QByteArray lineFor(const QStringList& args, const QByteArray& material) {
    QJsonObject line{{"id", args.join(' ')}, {"command", args[0]}};
    QJsonObject fields;
    QJsonObject db;
    for (int i = 1; i < args.size(); ++i) {
        const QString option = args[i].mid(2);
        if (option == QLatin1String("yes")) {
            line["yes"] = true;
            continue;
        }
        const QString value = args[++i];
        if (option == QLatin1String("equation") || option == QLatin1String("die"))
            line[option] = value.toInt();
        else if (option == QLatin1String("material"))
            db[value.toInt() > 0 ? "id" : "name"] = value.toInt() > 0 ? QJsonValue(value.toInt()) : value;
        else if (option == QLatin1String("temperature"))
            db["temperature"] = value.toInt();
        else
            fields[option] = value;
    }
    line["fields"] = fields;
    QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact);
    if (!db.isEmpty())
        text.insert(1, "\"material\":" + QJsonDocument(db).toJson(QJsonDocument::Compact) + ',');
    else if (!material.isEmpty())
        text.insert(1, "\"material\":" + material + ',');
    return text;
}

// JSON text without the blanks outside its strings.
QByteArray compact(const QByteArray& json) {
    QByteArray out;
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            out += c;
            if (c == '\\')
                out += json[++i];
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
            out += c;
        } else if (c != ' ' && c != '\n') {
            out += c;
        }
    }
    return out;
}

// The members of an answer line, "result" kept as its text.
struct Answer {
    QJsonValue id;
    int exit = -1;
    QByteArray result;
    QJsonValue message;
};

Answer answerOf(const QByteArray& line) {
    Answer a;
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    a.id = o["id"];
    a.exit = o["exit"].toInt(-1);
    a.message = o["message"];
    const qsizetype from = line.indexOf(",\"result\":") + 10;
    const qsizetype to = line.lastIndexOf(",\"message\":");
    a.result = line.mid(from, to - from);
    return a;
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sameAsSingleCommands_data();
    void sameAsSingleCommands();
    void databaseMaterials_data();
    void databaseMaterials();
    void malformedLines_data();
    void malformedLines();
    void lines();
    void lineLengthByBytes();
    void longLineKeepsMemoryBounded();
    void reconnects();
    void databaseOnlyWhenNeeded();
    void files();
    void answersEachLineOfAPipe();

private:
    Result run(const QStringList& args, const QByteArray& input = {});
    QString writeFile(const QString& name, const QByteArray& text);
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_passwordAsked = 0;
};

void TestBatch::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_passwordAsked = 0;
    if (test::haveTestDb()) writeFile(QStringLiteral("prolis.ini"), test::testDbIni());
}

Result TestBatch::run(const QStringList& args, const QByteArray& input) {
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString err;
    QTextStream e(&err);
    const QString password = test::testDbSettings().Password;
    cli::Environment env{m_dir->path(),
                         [this, password] {
                             ++m_passwordAsked;
                             return password;
                         },
                         {},
                         [&in](char* data, qint64 size) { return in.read(data, size); }};
    const int code = cli::run(args, out, e, env);
    return {code, out.data(), err};
}

QString TestBatch::writeFile(const QString& name, const QByteArray& text) {
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
    return path;
}

void TestBatch::sameAsSingleCommands_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("material");
    QTest::addColumn<int>("code");
    const auto row = [](const char* name, const QStringList& args, const QByteArray& material, int code) {
        QTest::newRow(name) << args << material << code;
    };
    row("forward without cone", with(Forward, {"--alpha2", "45", "--f2", "0,9"}), FixedMaterial, 0);
    row("forward with cone", with(Forward, {"--die", "0", "--alpha2", "60", "--f2", "0,1"}), FixedMaterial,
        0);
    row("forward question refused", with(Forward, {"--h0", "40", "--D3", "15"}), FixedMaterial, 1);
    row("forward questions answered", with(Forward, {"--h0", "40", "--D3", "15", "--yes", "!"}),
        FixedMaterial, 0);
    row("forward dimension 0", with(Forward, {"--L3", "0"}), FixedMaterial, 1);
    row("forward no equation", with(Forward, {"--equation", ""}), FixedMaterial, 1);
    row("forward no die type", with(Forward, {"--die", ""}), FixedMaterial, 1);
    row("forward no angle", with(Forward, {"--die", "0"}), FixedMaterial, 1);
    row("forward no friction", with(Forward, {"--f1", ""}), FixedMaterial, 1);
    row("forward not a number", with(Forward, {"--f1", ","}), FixedMaterial, 2);
    row("forward division by zero", with(Forward, {"--D1", "0,0"}), FixedMaterial, 2);
    row("forward no material", Forward, QByteArray(), 1);
    row("forward equation without constants", with(Forward, {"--equation", "3"}), FixedMaterial, 1);
    row("backward worked example", Backward, WorkedMaterial, 0);
    row("backward eps refused", with(Backward, {"--h0", "10", "--d", "20", "--H", "12,5"}), WorkedMaterial,
        1);
    row("backward eps answered", with(Backward, {"--h0", "10", "--d", "20", "--H", "12,5", "--yes", "!"}),
        WorkedMaterial, 0);
    row("backward Fi1 refused", with(Backward, {"--h0", "10", "--d", "20", "--H", "11,5"}),
        QByteArray(WorkedMaterial).replace("1.4", "0.5"), 1);
    row("backward H = h0", with(Backward, {"--H", "30"}), WorkedMaterial, 2);
    row("backward d = D0", with(Backward, {"--d", "40"}), WorkedMaterial, 2);
    row("backward no friction", with(Backward, {"--f2", ""}), WorkedMaterial, 1);
    row("backward no material", Backward, QByteArray(), 1);
    row("backward not a number", with(Backward, {"--D0", "4O"}), WorkedMaterial, 2);
    row("backward equation without constants", with(Backward, {"--equation", "1"}), WorkedMaterial, 1);
}

void TestBatch::sameAsSingleCommands() {
    // Each line answers what the single command gives: its exit code, the
    // very object it prints (on one line) and its message.
    QFETCH(QStringList, args);
    QFETCH(QByteArray, material);
    QFETCH(int, code);
    QStringList single = args;
    if (!material.isEmpty()) single << "--material-file" << writeFile(QStringLiteral("m.json"), material);
    const Result expected = run(single);
    QCOMPARE(expected.code, code);

    const QByteArray line = lineFor(args, material);
    const Result batch = run({"batch"}, line + '\n');
    QCOMPARE(batch.code, 0);
    QCOMPARE(batch.err, QString());
    QCOMPARE(batch.out.count('\n'), 1);
    QVERIFY(batch.out.endsWith('\n'));
    const Answer a = answerOf(batch.out.chopped(1));
    QCOMPARE(a.id.toString(), args.join(' '));
    QCOMPARE(a.exit, code);
    if (code == 0) {
        QCOMPARE(a.result, compact(expected.out.chopped(1)));
        QVERIFY(a.message.isNull());
    } else {
        QCOMPARE(a.result, QByteArray("null"));
        QCOMPARE(a.message.toString() + '\n', expected.err);
    }
}

void TestBatch::databaseMaterials_data() {
    QTest::addColumn<QByteArray>("material");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("by name") << QByteArray(R"({"name": "Zkušební ocel", "temperature": 20})") << 0
                             << QString();
    QTest::newRow("by id") << QByteArray(R"({"id": 1, "temperature": 20})") << 0 << QString();
    QTest::newRow("a name of digits is a name")
        << QByteArray(R"({"name": "1", "temperature": 20})") << 1 << "Materiál „1“ v databázi není.";
    QTest::newRow("no such id") << QByteArray(R"({"id": 99, "temperature": 20})") << 1
                                << "Materiál „99“ v databázi není.";
    QTest::newRow("no such temperature") << QByteArray(R"({"temperature": 300, "id": 1})") << 1
                                         << "Materiál „1“ nemá v databázi teplotu 300 °C.";
    QTest::newRow("temperature 40000")
        << QByteArray(R"({"name": "Horká", "temperature": 40000})") << 2 << "Range check error.";
}

void TestBatch::databaseMaterials() {
    REQUIRE_TEST_DB();
    QFETCH(QByteArray, material);
    QFETCH(int, code);
    QFETCH(QString, message);
    QByteArray line = lineFor(Backward, QByteArray());
    line.insert(1, "\"material\":" + material + ',');
    // The same pair twice: the second answer comes from the first lookup.
    const Result r = run({"batch"}, line + '\n' + line + '\n');
    QCOMPARE(r.code, 0);
    const QList<QByteArray> lines = r.out.split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], lines[1]);
    const Answer a = answerOf(lines[0]);
    QCOMPARE(a.exit, code);
    if (code == 0) {
        const Result single = run(with(Backward, {"--material", "1", "--temperature", "20"}));
        QCOMPARE(a.result, compact(single.out.chopped(1)));
    } else {
        QCOMPARE(a.message.toString(), message);
    }
    QCOMPARE(m_passwordAsked, code == 0 ? 2 : 1); // one connection for the batch
}

void TestBatch::malformedLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("id"); // as echoed
    QTest::addColumn<QString>("message");
    const QByteArray F = R"("command": "forward")";
    QTest::newRow("empty") << QByteArray("") << QByteArray("null") << "Řádek je prázdný.";
    QTest::newRow("blanks") << QByteArray(" \t") << QByteArray("null") << "Řádek je prázdný.";
    QTest::newRow("no JSON") << QByteArray("D0=30") << QByteArray("null")
                             << "Řádek není platný JSON: nečekaný znak (bajt 1).";
    QTest::newRow("cut short") << QByteArray(R"({"id": 1, "command": "forw)") << QByteArray("null")
                               << "Řádek není platný JSON: neplatný řetězec (bajt 27).";
    QTest::newRow("two values") << QByteArray("{} {}") << QByteArray("null")
                                << "Řádek není platný JSON: text za hodnotou (bajt 4).";
    QTest::newRow("not UTF-8") << QByteArray("{\"id\": \"\xe9\"}") << QByteArray("null")
                               << "Řádek není platný JSON: text není v kódování UTF-8 (bajt 9).";
    QTest::newRow("an array") << QByteArray("[1]") << QByteArray("null") << "Řádek musí být objekt JSON.";
    QTest::newRow("unknown key") << QByteArray(R"({"id": 5, "command": "forward", "D0": "30"})")
                                 << QByteArray("5") << "Neznámý klíč \"D0\".";
    QTest::newRow("key twice") << QByteArray(R"({"id": 5, "command": "forward", "yes": true, "yes": false})")
                               << QByteArray("5") << "Klíč \"yes\" je zadán vícekrát.";
    QTest::newRow("no command") << QByteArray(R"({"id": {"run": [1, 2]}})") << QByteArray(R"({"run":[1,2]})")
                                << "Klíč \"command\" musí být \"forward\" nebo \"backward\".";
    QTest::newRow("equation 4") << "{" + F + R"(, "equation": 4})" << QByteArray("null")
                                << "Klíč \"equation\" musí být 0, 1, 2 nebo 3.";
    QTest::newRow("equation as text") << "{" + F + R"(, "equation": "0"})" << QByteArray("null")
                                      << "Klíč \"equation\" musí být 0, 1, 2 nebo 3.";
    QTest::newRow("die 1.0") << "{" + F + R"(, "die": 1.0})" << QByteArray("null")
                             << "Klíč \"die\" musí být 0 nebo 1.";
    QTest::newRow("die of backward") << QByteArray(R"({"command": "backward", "die": 1})")
                                     << QByteArray("null") << "Klíč \"die\" patří jen k příkazu \"forward\".";
    QTest::newRow("yes as 1") << "{" + F + R"(, "yes": 1})" << QByteArray("null")
                              << "Klíč \"yes\" musí být true nebo false.";
    QTest::newRow("fields as array") << "{" + F + R"(, "fields": ["30"]})" << QByteArray("null")
                                     << "Klíč \"fields\" musí být objekt.";
    QTest::newRow("field as number") << "{" + F + R"(, "fields": {"D0": 30}})" << QByteArray("null")
                                     << "Pole \"D0\" musí být text.";
    QTest::newRow("field of the other command")
        << QByteArray(R"({"command": "backward", "fields": {"D3": "20"}})") << QByteArray("null")
        << "Pole \"D3\" příkaz \"backward\" nezná.";
    QTest::newRow("field twice") << "{" + F + R"(, "fields": {"D0": "30", "D\u0030": "31"}})"
                                 << QByteArray("null") << "Klíč \"D0\" je zadán vícekrát.";
    QTest::newRow("material as a name")
        << "{" + F + R"(, "material": "C10"})" << QByteArray("null") << "Klíč \"material\" musí být objekt.";
    QTest::newRow("name and id") << "{" + F + R"(, "material": {"name": "A", "id": 1, "temperature": 20}})"
                                 << QByteArray("null")
                                 << "Materiál se zadává buď klíčem \"name\", nebo \"id\".";
    QTest::newRow("no temperature") << "{" + F + R"(, "material": {"name": "A"}})" << QByteArray("null")
                                    << "Klíč \"temperature\" musí být celé číslo.";
    QTest::newRow("temperature 20.5") << "{" + F + R"(, "material": {"id": 1, "temperature": 20.5}})"
                                      << QByteArray("null") << "Klíč \"temperature\" musí být celé číslo.";
    QTest::newRow("id as text") << "{" + F + R"(, "material": {"id": "1", "temperature": 20}})"
                                << QByteArray("null") << "Klíč \"id\" musí být celé číslo.";
    // An id is echoed as written when a strict reader takes it back, and
    // refused otherwise (a number beyond the doubles).
    QTest::newRow("id beyond the doubles")
        << QByteArray(R"({"id": 1e999, "command": "forward"})") << QByteArray("null")
        << "Klíč \"id\" nelze vrátit jako platný JSON (číslo mimo rozsah nebo osamocená polovina znaku?).";
    QTest::newRow("id array with -1E+400")
        << QByteArray(R"({"id": [1, {"a": -1E+400}]})") << QByteArray("null")
        << "Klíč \"id\" nelze vrátit jako platný JSON (číslo mimo rozsah nebo osamocená polovina znaku?).";
    QTest::newRow("id with a lone surrogate")
        << QByteArray(R"({"id": {"k": "a\ud800b"}, "command": "forward"})") << QByteArray("null")
        << "Klíč \"id\" nelze vrátit jako platný JSON (číslo mimo rozsah nebo osamocená polovina znaku?).";
    QTest::newRow("id with a whole escaped pair echoed")
        << QByteArray(R"({"id": "\ud83d\ude00"})") << QByteArray(R"("\ud83d\ude00")")
        << "Klíč \"command\" musí být \"forward\" nebo \"backward\".";
    QTest::newRow("id with an exponent echoed")
        << QByteArray(R"({"id": [2.5e3, "a\"b"]})") << QByteArray(R"([2.5e3,"a\"b"])")
        << "Klíč \"command\" musí být \"forward\" nebo \"backward\".";
    QTest::newRow("database and file keys")
        << "{" + F + R"(, "material": {"name": "A", "temperature": 20, "rm": 400}})" << QByteArray("null")
        << "Materiál z databáze se zadává klíči \"name\" nebo \"id\" a \"temperature\", klíč \"rm\" k nim "
           "nepatří.";
}

void TestBatch::malformedLines() {
    // A line that is no request is answered 64 with the reason; nothing is
    // calculated and the database is not asked.
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, id);
    QFETCH(QString, message);
    const Result r = run({"batch", "--ini", m_dir->filePath("none.ini")}, line + '\n');
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, "{\"id\":" + id + ",\"exit\":64,\"result\":null,\"message\":" +
                        QJsonDocument(QJsonArray{message}).toJson(QJsonDocument::Compact).mid(1).chopped(1) +
                        "}\n");
}

void TestBatch::lines() {
    // One answer per line in input order: CRLF ends, a last line without a
    // break, a line beyond 2 MiB answered and skipped, the rest go on. A
    // material repeated word for word gives what it gave the first time.
    QByteArray hot = WorkedMaterial;
    hot.replace("\"teplo\": 20", "\"teplo\": 100");
    const QByteArray materials[] = {WorkedMaterial, hot, WorkedMaterial};
    QByteArray input;
    for (int i = 0; i < 3; ++i)
        input += lineFor(Backward, materials[i])
                     .replace(QByteArray("\"id\":\"") + Backward.join(' ').toUtf8() + '"',
                              "\"id\":" + QByteArray::number(i)) +
                 "\r\n";
    input += QByteArray(cli::MaxBatchLine + 10, 'x') + '\n';
    input += "{\"id\": \"last\", \"command\": \"forward\"}"; // no line break
    const Result r = run({"batch"}, input);
    QCOMPARE(r.code, 0);
    const QList<QByteArray> lines = r.out.split('\n');
    QCOMPARE(lines.size(), 6);
    QList<Answer> answers;
    for (int i = 0; i < 3; ++i) {
        answers << answerOf(lines[i]);
        QCOMPARE(answers[i].id.toInt(), i);
        QCOMPARE(answers[i].exit, 0);
    }
    QCOMPARE(answers[2].result, answers[0].result);
    QVERIFY(answers[1].result.contains("\"Teplota\":\"100\""));
    QVERIFY(answers[0].result.contains("\"Teplota\":\"20\""));
    QCOMPARE(
        lines[3],
        QByteArray("{\"id\":null,\"exit\":64,\"result\":null,\"message\":\"Řádek je delší než 2 MiB.\"}"));
    QCOMPARE(answerOf(lines[4]).id.toString(), QStringLiteral("last"));
    QCOMPARE(answerOf(lines[4]).exit, 1);
    QVERIFY(lines[5].isEmpty());
}

void TestBatch::lineLengthByBytes() {
    // A line of exactly the longest length, ended by CR LF: answered (not
    // refused as too long) however the reads fall, also when its LF comes in
    // a later read than its CR. One byte more is too long either way.
    QByteArray exact = R"({"id":")";
    exact += QByteArray(cli::MaxBatchLine - exact.size() - 2, 'a') + "\"}";
    QCOMPARE(exact.size(), cli::MaxBatchLine);
    const QByteArray tooLong = R"({"id":"a)" + exact.mid(6);
    cli::Environment env;
    cli::MaterialDatabase db(m_dir->filePath("none.ini"), env);
    const auto answers = [&](const QList<QByteArray>& pieces) {
        cli::BatchRunner runner(db);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        qsizetype piece = 0, at = 0;
        const auto read = [&](char* to, qint64 n) -> qint64 {
            if (piece == pieces.size()) return 0;
            const qint64 k = std::min<qint64>(n, pieces[piece].size() - at);
            std::memcpy(to, pieces[piece].constData() + at, static_cast<size_t>(k));
            at += k;
            if (at == pieces[piece].size()) ++piece, at = 0;
            return k;
        };
        return cli::runBatch(read, out, false, runner) == cli::BatchEnd::Done ? out.data()
                                                                              : QByteArray("end");
    };
    const QByteArray accepted = answers({exact + "\r\n"});
    QVERIFY(accepted.startsWith("{\"id\":\"aaa"));
    QVERIFY(accepted.endsWith(",\"exit\":64,\"result\":null,\"message\":\"Klíč \\\"command\\\" musí být "
                              "\\\"forward\\\" nebo \\\"backward\\\".\"}\n"));
    QCOMPARE(answers({exact + "\r", "\n"}), accepted);
    QCOMPARE(answers({exact, "\r", "\n"}), accepted);
    QCOMPARE(answers({exact + "\r"}), accepted); // the last line, without LF
    const QByteArray refused =
        "{\"id\":null,\"exit\":64,\"result\":null,\"message\":\"Řádek je delší než 2 MiB.\"}\n";
    QCOMPARE(answers({tooLong + "\r\n"}), refused);
    QCOMPARE(answers({tooLong + "\r", "\n"}), refused);
    QCOMPARE(answers({exact + "\rx\n"}), refused);
}

void TestBatch::longLineKeepsMemoryBounded() {
    // A line of 100 MB through a pipe is answered as too long without being
    // held: the program's peak resident size stays far below the line.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The sanitizer keeps freed blocks for a while; without that, the
    // resident size is what the program holds.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":quarantine_size_mb=1"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PROLIS_CALC_PATH), {QStringLiteral("batch")});
    QVERIFY(p.waitForStarted());
    const QByteArray piece(1024 * 1024, 'x');
    for (int i = 0; i < 100; ++i) {
        p.write(piece);
        while (p.bytesToWrite() > 0)
            QVERIFY(p.waitForBytesWritten(30000));
    }
    p.write("\n");
    QVERIFY(p.waitForBytesWritten(30000));
    // (The answer comes as soon as the line is known to be too long.)
    QByteArray answer = p.readAllStandardOutput();
    while (!answer.endsWith('\n') && p.waitForReadyRead(30000))
        answer += p.readAllStandardOutput();
    QCOMPARE(
        answer,
        QByteArray("{\"id\":null,\"exit\":64,\"result\":null,\"message\":\"Řádek je delší než 2 MiB.\"}\n"));
    // The peak of the running program (its own, since it started).
    QFile status(QStringLiteral("/proc/%1/status").arg(p.processId()));
    QVERIFY(status.open(QIODevice::ReadOnly));
    qint64 peakKiB = -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) peakKiB = line.mid(6).trimmed().split(' ').first().toLongLong();
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(peakKiB > 0 && peakKiB < 80 * 1024, qPrintable(QString::number(peakKiB) + " KiB"));
}

void TestBatch::reconnects() {
    // The server goes away under a batch and comes back: the lines that need
    // it meanwhile answer 3, and the next one connects again.
    REQUIRE_TEST_DB();
    test::FreezingProxy proxy(test::testDbSettings().Port);
    ConnectionSettings s = test::testDbSettings();
    const QString ini =
        writeFile(QStringLiteral("proxy.ini"),
                  QStringLiteral("[Database]\r\nHostName=%1\r\nPort=%2\r\nDatabase=%3\r\nUser=%4\r\n")
                      .arg(s.HostName)
                      .arg(proxy.port())
                      .arg(s.Database, s.User)
                      .toUtf8());
    const auto lineAt = [](int temperature) {
        QByteArray line = lineFor(Backward, QByteArray());
        line.insert(1, QStringLiteral(R"("material":{"name":"Zkušební ocel","temperature":%1},)")
                           .arg(temperature)
                           .toUtf8());
        return line + '\n';
    };
    // Each read gives one line; before a line the proxy changes as listed.
    const QList<QPair<QByteArray, int>> steps{{lineAt(20), 0},  // up
                                              {lineAt(100), 1}, // down
                                              {lineAt(100), 1}, // still down: not kept as refused
                                              {lineAt(100), 2}, // back
                                              {lineAt(20), 2}};
    cli::Environment env;
    int asked = 0;
    env.password = [&] {
        ++asked;
        return s.Password;
    };
    cli::MaterialDatabase db(ini, env);
    cli::BatchRunner runner(db);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    int next = 0;
    const auto read = [&](char* to, qint64 n) -> qint64 {
        if (next == steps.size()) return 0;
        proxy.setDown(steps[next].second == 1);
        if (steps[next].second == 1) QThread::msleep(200); // the proxy closes what it relays
        const QByteArray& line = steps[next++].first;
        Q_ASSERT(line.size() <= n);
        std::memcpy(to, line.constData(), static_cast<size_t>(line.size()));
        return line.size();
    };
    QCOMPARE(cli::runBatch(read, out, true, runner), cli::BatchEnd::Done);
    const QList<QByteArray> lines = out.data().split('\n');
    QCOMPARE(lines.size(), 6);
    const QList<int> exits{0, 3, 3, 0, 0};
    for (int i = 0; i < 5; ++i)
        QVERIFY2(answerOf(lines[i]).exit == exits[i], lines[i].constData());
    QVERIFY(answerOf(lines[3]).result.contains("\"Teplota\":\"100\""));
    QCOMPARE(asked, 1); // the password is asked once a run
}

void TestBatch::databaseOnlyWhenNeeded() {
    // Inline materials never connect; the first line that needs the database
    // connects, and a connection that failed fails the later lines at once.
    const QByteArray inlineLine = lineFor(Backward, WorkedMaterial);
    QByteArray dbLine = lineFor(Backward, QByteArray());
    dbLine.insert(1, R"("material":{"id":1,"temperature":20},)");
    const QString none = m_dir->filePath("none.ini");
    const Result r =
        run({"batch", "--ini", none}, inlineLine + '\n' + dbLine + '\n' + dbLine + '\n' + inlineLine);
    QCOMPARE(r.code, 0);
    const QList<QByteArray> lines = r.out.split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(answerOf(lines[0]).exit, 0);
    for (int i : {1, 2}) {
        QCOMPARE(answerOf(lines[i]).exit, 3);
        QCOMPARE(answerOf(lines[i]).message.toString(),
                 QStringLiteral("Nepodařilo se načíst konfigurační soubor %1.").arg(none));
    }
    QCOMPARE(lines[3], lines[0]);
    QCOMPARE(m_passwordAsked, 0);
}

void TestBatch::files() {
    const QByteArray input =
        lineFor(Backward, WorkedMaterial) + '\n' + lineFor(Forward, FixedMaterial) + '\n';
    const Result toStdout = run({"batch"}, input);
    QCOMPARE(toStdout.out.count('\n'), 2);
    const QString in = writeFile(QStringLiteral("in.jsonl"), input);
    const QString out = m_dir->filePath("out.jsonl");
    const Result toFile = run({"batch", "--input", in, "-o", out});
    QCOMPARE(toFile.code, 0);
    QVERIFY(toFile.out.isEmpty());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), toStdout.out);

    const Result noInput = run({"batch", "--input", m_dir->filePath("missing.jsonl")});
    QCOMPARE(noInput.code, 3);
    QVERIFY2(noInput.err.startsWith(
                 QStringLiteral("Soubor %1 nelze číst: ").arg(m_dir->filePath("missing.jsonl"))),
             qPrintable(noInput.err));
    const Result noFolder = run({"batch", "-o", m_dir->filePath("no/out.jsonl")}, input);
    QCOMPARE(noFolder.code, 3);
    QVERIFY(noFolder.err.startsWith(
        QStringLiteral("Soubor %1 nelze zapsat: ").arg(m_dir->filePath("no/out.jsonl"))));

    const Result full = run({"batch", "-o", "/dev/full"}, input);
    QCOMPARE(full.code, 3);
    QVERIFY2(full.err.startsWith(QStringLiteral("Soubor /dev/full nelze zapsat: ")), qPrintable(full.err));

    // A disk that fills up: exit 3 and the previous file left whole.
    const QString target = writeFile(QStringLiteral("r.jsonl"), "the previous answers\n");
    const int code = test::withDiskFullAfter(1024, [&] { return run({"batch", "-o", target}, input).code; });
    QCOMPARE(code, 3);
    QFile previous(target);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray("the previous answers\n"));
}

void TestBatch::answersEachLineOfAPipe() {
    // A program that writes a line and waits for its answer gets it at once.
    QProcess p;
    p.start(QStringLiteral(PROLIS_CALC_PATH), {"batch", "--ini", m_dir->filePath("none.ini")});
    QVERIFY(p.waitForStarted(10000));
    for (int i = 0; i < 3; ++i) {
        QByteArray line = lineFor(Backward, WorkedMaterial);
        line.replace(QByteArray("\"id\":\"") + Backward.join(' ').toUtf8() + '"',
                     "\"id\":" + QByteArray::number(i));
        p.write(line + '\n');
        QByteArray answer;
        while (!answer.endsWith('\n') && p.waitForReadyRead(10000))
            answer += p.readAll();
        QCOMPARE(answer.count('\n'), 1);
        QCOMPARE(answerOf(answer.chopped(1)).id.toInt(), i);
        QCOMPARE(answerOf(answer.chopped(1)).exit, 0);
    }
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestBatch)
#include "test_batch.moc"
