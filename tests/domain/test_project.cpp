// Project files: both units' records read back exactly as written, and every
// file that is not one refused in Czech, naming the file.
#include "domain/Project.h"

#include <QtTest>

using namespace prolis;
using namespace prolis::project;

namespace {
Project sample() {
    Project p;
    fwd::Souhrn f;
    for (size_t i = 0; i < fwd::FieldCount; ++i)
        f.f[i] = QStringLiteral("%1,5 MPa").arg(i);
    f[fwd::Field::Ocel] = QStringLiteral("C45 \"12 050\" \\ žluťoučký\r\n😀");
    f[fwd::Field::TauRoFi2] = QString(); // not computed
    p.forward = {f, f};
    p.forward[1][fwd::Field::Teplota] = QStringLiteral("200 °C");
    bwd::Entry e;
    for (size_t i = 0; i < bwd::FieldCount; ++i)
        e.record.f[i] = QStringLiteral("b%1").arg(i);
    for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
        e.row.f[i] = QStringLiteral("r%1").arg(i);
    p.backward = {e};
    return p;
}
} // namespace

class TestProject : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void refusals_data();
    void refusals();
};

void TestProject::roundTrip() {
    for (const Project& p : {sample(), Project{}}) {
        const QByteArray bytes = projectJson(p);
        QVERIFY(bytes.contains("\"format\": \"prolis-project\""));
        QVERIFY(bytes.contains("\"version\": 1"));
        const ReadProject r = readProject(bytes, QStringLiteral("a.prolis"));
        QCOMPARE(r.refusal, QString());
        QVERIFY(r.project && *r.project == p);
        QCOMPARE(projectJson(*r.project), bytes);
    }
    // Saved again by an editor that puts a UTF-8 byte-order mark first.
    const ReadProject marked = readProject("\xEF\xBB\xBF" + projectJson(sample()), QStringLiteral("a.prolis"));
    QVERIFY2(marked.project && *marked.project == sample(), qPrintable(marked.refusal));
}

void TestProject::refusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    const QByteArray good = projectJson(sample());
    QTest::newRow("truncated") << good.left(good.size() / 2) << "není platný JSON";
    QTest::newRow("an array") << QByteArray("[]") << "není soubor výpočtů Prolisu.";
    QTest::newRow("another format") << QByteArray(R"({"format": "other", "version": 1})")
                                    << "chybí \"format\": \"prolis-project\"";
    QTest::newRow("a later version") << QByteArray(R"({"format": "prolis-project", "version": 2})")
                                     << "je z novější verze Prolisu (verze 2); tato verze čte verzi 1.";
    QTest::newRow("version as text") << QByteArray(R"({"format": "prolis-project", "version": "1"})")
                                     << "chybí číslo verze";
    QTest::newRow("version 1.0") << QByteArray(R"({"format": "prolis-project", "version": 1.0})")
                                 << "verze souboru není 1.";
    QTest::newRow("unknown key") << QByteArray(R"({"format": "prolis-project", "version": 1, "x": []})")
                                 << "neznámý klíč „x“.";
    QTest::newRow("key twice")
        << QByteArray(R"({"format": "prolis-project", "version": 1, "forward": [], "forward": []})")
        << "klíč „forward“ je zadán vícekrát.";
    QTest::newRow("forward not an array")
        << QByteArray(R"({"format": "prolis-project", "version": 1, "forward": {}})")
        << "„forward“ musí být pole.";
    QByteArray number = good;
    number.replace("\"1,5 MPa\"", "1.5");
    QTest::newRow("a number for a text") << number << "dopředný výpočet 1: pole „Rm“ musí být text.";
    QByteArray missing = good;
    missing.replace("\"Rm\"", "\"Rx\"");
    QTest::newRow("an unknown field") << missing << "dopředný výpočet 1: neznámé pole „Rx“.";
    QTest::newRow("a backward entry without its row")
        << QByteArray(R"({"format": "prolis-project", "version": 1, "backward": [{"record": {}}]})")
        << "zpětný výpočet 1: chybí „record“ nebo „row“.";
    QTest::newRow("too large") << QByteArray(MaxProjectFileSize + 1, ' ') << "je větší než 64 MiB.";
}

void TestProject::refusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    const ReadProject r = readProject(bytes, QStringLiteral("/tmp/x.prolis"));
    QVERIFY(!r.project);
    QVERIFY2(r.refusal.startsWith(QStringLiteral("Soubor výpočtů /tmp/x.prolis nelze otevřít: ")),
             qPrintable(r.refusal));
    QVERIFY2(r.refusal.contains(refusal), qPrintable(r.refusal));
}

QTEST_GUILESS_MAIN(TestProject)
#include "test_project.moc"
