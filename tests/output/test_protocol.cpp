// Text protocols: the three writers' bytes, the ".txt" rule and the save flow.
#include "core/Encoding.h"
#include "output/Protocol.h"
#include "output/TextSave.h"
#include "support/FullDisk.h"
#include "support/RecordingUi.h"
#include "support/Records.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;
using namespace prolis::out;
using prolis::test::RecordingUi;

namespace {
using test::backwardRecord;
using test::forwardRecord;
using test::readFile;
using test::summaryRows;

QString dataFile(const QString& name) {
    return test::protocolData(name);
}

QStringList texts(const Lines& lines) {
    QStringList t;
    for (const Line& l : lines)
        t.append(l.separator ? QStringLiteral("<separator>") : l.text);
    return t;
}
} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void goldenFiles_data();
    void goldenFiles();
    void fileStructure_data();
    void fileStructure();
    void forwardVariants();
    void backwardWorkLines();
    void summaryGaps_data();
    void summaryGaps();
    void emptySummary();
    void outsideCodePage_data();
    void outsideCodePage();
    void txtRule_data();
    void txtRule();
};

void TestProtocol::goldenFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("golden");
    QTest::newRow("forward, cone die")
        << textFileBytes(forwardProtocol(forwardRecord("forward-cone"), Flavour::Text)) << "forward-cone.txt";
    QTest::newRow("forward, die without cone")
        << textFileBytes(forwardProtocol(forwardRecord("forward-without-cone"), Flavour::Text))
        << "forward-without-cone.txt";
    QTest::newRow("backward") << textFileBytes(backwardProtocol(backwardRecord(), Flavour::Text))
                              << "backward.txt";
    QTest::newRow("summary at 20, 98, 99 and 200 °C")
        << textFileBytes(summaryTable(summaryRows())) << "summary.txt";
}

void TestProtocol::goldenFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, golden);
    // PROLIS_REGENERATE_GOLDEN=1 writes the files anew from the records in
    // tests/data/protocols (read the difference before committing it).
    if (qEnvironmentVariableIntValue("PROLIS_REGENERATE_GOLDEN") == 1) {
        QFile f(dataFile(golden));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
        return;
    }
    QCOMPARE(bytes, readFile(dataFile(golden)));
}

void TestProtocol::fileStructure_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("forward") << textFileBytes(forwardProtocol(forwardRecord("forward-cone"), Flavour::Text));
    QTest::newRow("backward") << textFileBytes(backwardProtocol(backwardRecord(), Flavour::Text));
    QTest::newRow("summary") << textFileBytes(summaryTable(summaryRows()));
}

void TestProtocol::fileStructure() {
    // Every line ends with CR LF, a separator is CR CR LF, no line is empty,
    // and there is no byte-order mark.
    QFETCH(QByteArray, bytes);
    QVERIFY(bytes.endsWith("\r\n"));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = bytes.left(bytes.size() - 1).split('\n');
    for (const QByteArray& line : lines) {
        QVERIFY2(line.endsWith('\r'), line.constData());
        QVERIFY2(line != "\r", "an empty line");
        if (line.startsWith('\r')) QCOMPARE(line, QByteArray("\r\r"));
    }
}

void TestProtocol::forwardVariants() {
    const QStringList cone = texts(forwardProtocol(forwardRecord("forward-cone"), Flavour::Text));
    const QStringList plain = texts(forwardProtocol(forwardRecord("forward-without-cone"), Flavour::Text));
    QCOMPARE(cone.size(), 50);
    QCOMPARE(plain.size(), 49);
    QVERIFY(cone.last().startsWith(QStringLiteral("F = ")));
    QVERIFY(plain.last().startsWith(QStringLiteral("Fmax = ")));
    QCOMPARE(cone.filter(QStringLiteral("TauRoFi3 = ")).size(), 1);
    QCOMPARE(plain.filter(QStringLiteral("TauRoFi3")).size(), 0);
    QCOMPARE(plain.filter(QStringLiteral("TauRoFi2min")).size(), 0); // never written
    // Any die-type text other than "s kuzelem" is the die without cone.
    fwd::Souhrn odd = forwardRecord("forward-cone");
    odd[fwd::Field::TypVypoctu] = QStringLiteral("S kuzelem");
    QCOMPARE(forwardProtocol(odd, Flavour::Text).size(), 49);
    // The document's body starts at the material and spaces line 18 wider.
    const QStringList word = texts(forwardProtocol(forwardRecord("forward-cone"), Flavour::Word));
    QCOMPARE(word.size(), 48);
    QCOMPARE(word.first(), QStringLiteral("Použitý materiál:"));
    QCOMPARE(word[15], QString(cone[17])
                           .replace(QStringLiteral(" s0/s3"), QStringLiteral("   s0/s3"))
                           .replace(QStringLiteral(" Epsilon"), QStringLiteral("   Epsilon"))
                           .replace(QStringLiteral(" Fi(max)"), QStringLiteral("   Fi(max)"))
                           .replace(QStringLiteral(" Fi(str)"), QStringLiteral("   Fi(str)")));
}

void TestProtocol::backwardWorkLines() {
    const QStringList lines = texts(backwardProtocol(backwardRecord(), Flavour::Text));
    const int at = lines.indexOf(QRegularExpression(QStringLiteral("Měrná přetvárná práce potřebná.*")));
    QVERIFY(at > 0);
    const bwd::Souhrn r = backwardRecord();
    QCOMPARE(
        lines.mid(at, 3),
        (QStringList{QStringLiteral("Měrná přetvárná práce potřebná pro přetvoření v zóně 1 - Aj1 = ") +
                         r[bwd::Field::Aj1],
                     QStringLiteral("Celková měrná přetvárná práce potřebná na protlačení zadaného tvaru - "
                                    "Ajc = ") +
                         r[bwd::Field::Ajc],
                     QStringLiteral("Celková přetvárná práce - Ac = ") + r[bwd::Field::Ac]}));
    // The document differs in line 11 and line 25 only.
    const QStringList word = texts(backwardProtocol(r, Flavour::Word));
    QCOMPARE(word.size(), lines.size() - 3);
    QStringList differing;
    for (int i = 0; i < word.size(); ++i)
        if (word[i] != lines[i + 3]) differing << word[i];
    QCOMPARE(differing, (QStringList{QStringLiteral("D0 = 40 mm   h0 = 30 mm"),
                                     QStringLiteral("Použitá fce pro výpočet Sigmap1 : Polytropa")}));
}

void TestProtocol::summaryGaps_data() {
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("gap");
    QTest::newRow("20") << "20"
                        << "    ";
    QTest::newRow("98") << "98"
                        << "    ";
    QTest::newRow("99") << "99"
                        << "   ";
    QTest::newRow("200") << "200"
                         << "   ";
    QTest::newRow("-5") << "-5"
                        << "    ";
}

void TestProtocol::summaryGaps() {
    QFETCH(QString, temperature);
    QFETCH(QString, gap);
    bwd::SouhrnVysl row = summaryRows().first();
    row[bwd::SummaryField::Teplota] = temperature;
    const Lines lines = summaryTable({row});
    QCOMPARE(lines.size(), 7);
    QVERIFY(lines.last().text.startsWith(QStringLiteral("  ") + row[bwd::SummaryField::Ocel] + gap +
                                         temperature + QStringLiteral("      ")));
}

void TestProtocol::emptySummary() {
    const Lines lines = summaryTable({});
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines, summaryTable(summaryRows()).mid(0, 6));
    QCOMPARE(lines[3].text.size(), 104);
    QCOMPARE(lines[4].text.size(), 104);
    QCOMPARE(lines[5].text, QString(106, QLatin1Char('-')));
}

void TestProtocol::outsideCodePage_data() {
    // A name from the database or a material file may hold any character:
    // what Windows-1250 cannot hold becomes "?", each character on its own
    // (Czech letters after a foreign one stay), and so does a control
    // character, which would colour a terminal or break the CR LF lines.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("foreign letters") << QStringLiteral("Ocel Ž № 😀 β") << QByteArray("Ocel \x8E ? ? ?");
    QTest::newRow("Czech after a foreign one")
        << QStringLiteral("ž∑ž Ø20 žíhaná") << QByteArray("\x9E?\x9E ?20 \x9E\xEDhan\xE1");
    QTest::newRow("lone surrogate") << (QStringLiteral("a") + QChar(0xd800) + QStringLiteral("č"))
                                    << QByteArray("a?\xE8");
    QTest::newRow("escape") << QStringLiteral("C45\x1b[31m") << QByteArray("C45?[31m");
    QTest::newRow("line breaks and NUL")
        << (QStringLiteral("C4\n5\r") + QChar(0) + QStringLiteral("\t\x7f")) << QByteArray("C4?5????");
}

void TestProtocol::outsideCodePage() {
    QFETCH(QString, name);
    QFETCH(QByteArray, written);
    fwd::Souhrn r = forwardRecord("forward-cone");
    r[fwd::Field::Ocel] = name;
    const QByteArray bytes = textFileBytes(forwardProtocol(r, Flavour::Text));
    QVERIFY2(bytes.contains("Ocel: " + written + "\r\n"), bytes.constData());
    QCOMPARE(fromCp1250(bytes).count(QStringLiteral("Ocel: ")), 1);
    // Every line still ends in CR LF, and no other control byte is left.
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    for (char c : bytes)
        QVERIFY(static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n');
}

void TestProtocol::txtRule_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "/x/protokol"
                                  << "/x/protokol.txt";
    QTest::newRow(".txt") << "/x/protokol.txt"
                          << "/x/protokol.txt";
    QTest::newRow(".TXT") << "/x/protokol.TXT"
                          << "/x/protokol.TXT.txt";
    QTest::newRow("a folder with .txt") << "/x/a.txt.d/protokol"
                                        << "/x/a.txt.d/protokol";
    QTest::newRow("other extension") << "/x/protokol.doc"
                                     << "/x/protokol.doc.txt";
}

void TestProtocol::txtRule() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(withTxtExtension(chosen), written);
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "test_protocol.moc"
