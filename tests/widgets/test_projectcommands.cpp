// The calculations kept beyond the run, as the user meets them: a crashed
// run's journal offered back (or set aside), a journal that cannot be read
// or written told in Czech, and the histories saved to and opened from a
// project file with every question and message in order.
#include "domain/Journal.h"
#include "domain/UnitsProject.h"
#include "support/RecordingUi.h"
#include "support/Records.h"
#include "widgets/ProjectCommands.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;
using namespace prolis::project;
using prolis::test::RecordingUi;

namespace {
const QString Question = QStringLiteral("Program nebyl minule řádně ukončen. Obnovit výpočty z minulého běhu?");

fwd::Souhrn forwardAt(const QString& temperature) {
    fwd::Souhrn r = test::forwardRecord(QStringLiteral("forward-cone"));
    r[fwd::Field::Teplota] = temperature;
    return r;
}

bwd::Entry backwardAt(const QString& temperature) {
    bwd::Entry e{test::backwardRecord(), test::summaryRows().first()};
    e.record[bwd::Field::Teplota] = temperature;
    return e;
}

Project sample() {
    Project p;
    p.forward = {forwardAt(QStringLiteral("20")), forwardAt(QStringLiteral("200"))};
    p.backward = {backwardAt(QStringLiteral("100"))};
    return p;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

Project units() {
    return projectOf(fwd::forwardUnit(), bwd::backwardUnit());
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
} // namespace

class TestProjectCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void restore_data();
    void restore();
    void unreadableJournalSetAside_data();
    void unreadableJournalSetAside();
    void emptyJournalNotOffered();
    void failingJournalToldOnce();
    void saveAndOpen();
    void saveRefusedOrKept();
    void openAsksBeforeReplacing_data();
    void openAsksBeforeReplacing();
    void badFileChangesNothing_data();
    void badFileChangesNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProjectCommands::init() {
    fwd::forwardUnit() = fwd::ForwardUnit{};
    bwd::backwardUnit() = bwd::BackwardUnit{};
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestProjectCommands::cleanup() {
    journal::installRunJournal(nullptr);
}

void TestProjectCommands::restore_data() {
    QTest::addColumn<QList<Project>>("crashed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<Project>("restored");
    QTest::newRow("one run, yes") << QList<Project>{sample()} << Answer::Yes << sample();
    QTest::newRow("one run, no") << QList<Project>{sample()} << Answer::No << Project{};
    // Two runs that both crashed: offered once, their calculations together
    // and each unit sorted as its history sorts.
    Project later;
    later.forward = {forwardAt(QStringLiteral("100"))};
    later.backward = {backwardAt(QStringLiteral("20"))};
    Project both;
    both.forward = {forwardAt(QStringLiteral("20")), forwardAt(QStringLiteral("100")),
                    forwardAt(QStringLiteral("200"))};
    both.backward = {backwardAt(QStringLiteral("20")), backwardAt(QStringLiteral("100"))};
    QTest::newRow("two runs, yes") << QList<Project>{sample(), later} << Answer::Yes << both;
}

void TestProjectCommands::restore() {
    QFETCH(QList<Project>, crashed);
    QFETCH(Answer, answer);
    QFETCH(Project, restored);
    // Journals of ended runs: no lock of a running program guards them.
    for (int i = 0; i < crashed.size(); ++i)
        writeFile(m_dir->filePath(QStringLiteral("journal-%1.prolis").arg(990001 + i)), projectJson(crashed[i]));
    RecordingUi ui;
    ui.answers = {answer};
    journal::Journal mine(m_dir->path());
    restorePreviousRun(mine);
    QCOMPARE(ui.texts(), QStringList{Question});
    QCOMPARE(ui.messages[0].kind, MsgKind::Confirmation);
    QCOMPARE(units(), restored);
    QVERIFY(!bwd::backwardUnit().StopFlag);
    const QStringList files = filesIn(m_dir->path());
    if (answer == Answer::Yes) {
        // This run keeps them now; the old journals are gone.
        QCOMPARE(*project::readProjectFile(mine.path()).project, restored);
        QCOMPARE(files.filter(QStringLiteral("journal-99")), QStringList());
    } else {
        QCOMPARE(files.filter(QStringLiteral("aside")).size(), crashed.size());
        QCOMPARE(test::readFile(m_dir->filePath(files.filter(QStringLiteral("aside")).first())),
                 projectJson(crashed.first()));
    }
    // Decided: not offered again.
    QVERIFY(mine.orphans().isEmpty());
}

void TestProjectCommands::unreadableJournalSetAside_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = projectJson(sample());
    QTest::newRow("cut short by the crash") << good.left(good.size() - 10) << "není platný JSON";
    QTest::newRow("from a later Prolis")
        << QByteArray(R"({"format": "prolis-project", "version": 7, "forward": [], "backward": []})")
        << "je z novější verze Prolisu (verze 7)";
    QTest::newRow("empty") << QByteArray() << "není platný JSON";
}

void TestProjectCommands::unreadableJournalSetAside() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString orphan = m_dir->filePath(QStringLiteral("journal-990001.prolis"));
    writeFile(orphan, bytes);
    RecordingUi ui;
    journal::Journal mine(m_dir->path());
    restorePreviousRun(mine);
    // Told, naming the file and where it went; no question, nothing restored.
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    const QString text = ui.messages[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("Soubor výpočtů %1 nelze otevřít: ").arg(orphan)), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    const QStringList aside = filesIn(m_dir->path()).filter(QStringLiteral("aside"));
    QCOMPARE(aside.size(), 1);
    QVERIFY2(text.endsWith(QStringLiteral("\rSoubor byl odložen jako %1.").arg(m_dir->filePath(aside.first()))),
             qPrintable(text));
    QCOMPARE(test::readFile(m_dir->filePath(aside.first())), bytes);
    QCOMPARE(units(), Project{});
}

void TestProjectCommands::emptyJournalNotOffered() {
    // A run that deleted every calculation before it crashed.
    writeFile(m_dir->filePath(QStringLiteral("journal-990001.prolis")), projectJson(Project{}));
    RecordingUi ui;
    journal::Journal mine(m_dir->path());
    restorePreviousRun(mine);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(filesIn(m_dir->path()), QStringList{QFileInfo(mine.path()).completeBaseName() + ".lock"});
}

void TestProjectCommands::failingJournalToldOnce() {
    RecordingUi ui;
    journal::Journal mine(m_dir->path());
    journal::installRunJournal(&mine);
    QVERIFY(QDir().mkdir(mine.path())); // nothing can be written where the journal goes
    fwd::forwardUnit().addCalculation(forwardAt(QStringLiteral("20")));
    keepHistories();
    fwd::forwardUnit().addCalculation(forwardAt(QStringLiteral("100")));
    keepHistories();
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    QVERIFY2(ui.messages[0].text.startsWith(QStringLiteral("Výpočty nelze průběžně ukládat: ") + mine.path()),
             qPrintable(ui.messages[0].text));
    // Writable again: the next change is kept, and nothing more is told.
    QVERIFY(QDir().rmdir(mine.path()));
    keepHistories();
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(project::readProjectFile(mine.path()).project->forward.size(), 2);
}

void TestProjectCommands::saveAndOpen() {
    RecordingUi ui;
    journal::Journal mine(m_dir->path());
    journal::installRunJournal(&mine);
    restoreUnits(sample(), fwd::forwardUnit(), bwd::backwardUnit());
    // A name without an extension gets ".prolis".
    ui.saveAnswers = {m_dir->filePath(QStringLiteral("díl 7"))};
    saveCalculations();
    const QString file = m_dir->filePath(QStringLiteral("díl 7.prolis"));
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Výpočty (dopředné: 2, zpětné: 1) byly uloženy do souboru\r%1.")
                                         .arg(file)});
    QCOMPARE(ui.messages[0].kind, MsgKind::Information);
    QVERIFY(ui.log[0].endsWith(QStringLiteral("|vypocty.prolis|Výpočty Prolisu (*.prolis)")));
    QCOMPARE(test::readFile(file), projectJson(sample()));

    // Opened in a new run: the same records, byte for byte, and kept in the journal.
    fwd::forwardUnit() = fwd::ForwardUnit{};
    bwd::backwardUnit() = bwd::BackwardUnit{};
    ui.clear();
    ui.openAnswers = {file};
    openCalculations();
    QCOMPARE(ui.texts(),
             QStringList{QStringLiteral("Výpočty (dopředné: 2, zpětné: 1) byly načteny ze souboru\r%1.").arg(file)});
    QCOMPARE(projectJson(units()), projectJson(sample()));
    QCOMPARE(test::readFile(mine.path()), projectJson(sample()));
    // The dialog starts where the file was.
    QVERIFY(ui.log[0].startsWith(QStringLiteral("open file:") + m_dir->path() + QLatin1Char('|')));
}

void TestProjectCommands::saveRefusedOrKept() {
    RecordingUi ui;
    // Nothing to save: said, and no dialog.
    saveCalculations();
    QCOMPARE(ui.log, QStringList{QStringLiteral("message:Historie neobsahuje žádný výpočet.")});
    // An existing file is replaced only after Yes.
    restoreUnits(sample(), fwd::forwardUnit(), bwd::backwardUnit());
    const QString file = m_dir->filePath(QStringLiteral("a.prolis"));
    writeFile(file, "kolegův soubor");
    ui.clear();
    ui.saveAnswers = {file};
    ui.answers = {Answer::No};
    saveCalculations();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Soubor %1 již existuje.\rPřepsat?").arg(file)});
    QCOMPARE(test::readFile(file), QByteArray("kolegův soubor"));
    // A file that cannot be written: the reason, and the old file kept.
    const QString inFolder = m_dir->filePath(QStringLiteral("není/b.prolis"));
    ui.clear();
    ui.saveAnswers = {inFolder};
    saveCalculations();
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Error);
    QVERIFY2(ui.messages[0].text.startsWith(QStringLiteral("Výpočty nebyly uloženy.\r%1: ").arg(inFolder)),
             qPrintable(ui.messages[0].text));
}

void TestProjectCommands::openAsksBeforeReplacing_data() {
    QTest::addColumn<Answer>("answer");
    QTest::newRow("yes: replaced") << Answer::Yes;
    QTest::newRow("no: kept") << Answer::No;
}

void TestProjectCommands::openAsksBeforeReplacing() {
    QFETCH(Answer, answer);
    const QString file = m_dir->filePath(QStringLiteral("kolega.prolis"));
    writeFile(file, projectJson(sample()));
    fwd::forwardUnit().addCalculation(forwardAt(QStringLiteral("300")));
    bwd::backwardUnit().StopFlag = true;
    const Project before = units();
    RecordingUi ui;
    ui.openAnswers = {file};
    ui.answers = {answer};
    openCalculations();
    const QString question =
        QStringLiteral("Výpočty v historii (dopředné: 1, zpětné: 0) budou nahrazeny výpočty ze souboru\r%1.\r"
                       "Pokračovat?")
            .arg(file);
    QCOMPARE(ui.texts().first(), question);
    QCOMPARE(ui.messages[0].kind, MsgKind::Confirmation);
    if (answer == Answer::Yes) {
        QCOMPARE(ui.texts().size(), 2);
        QCOMPARE(units(), sample());
        QVERIFY(!bwd::backwardUnit().StopFlag);
    } else {
        QCOMPARE(ui.texts().size(), 1);
        QCOMPARE(units(), before);
        QVERIFY(bwd::backwardUnit().StopFlag);
    }
}

void TestProjectCommands::badFileChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = projectJson(sample());
    QTest::newRow("truncated") << "cut.prolis" << good.left(good.size() / 2) << "není platný JSON";
    QTest::newRow("hand-edited: a field too many")
        << "edited.prolis" << QByteArray(good).replace("\"Ocel\"", "\"Ocel2\"") << "Ocel2";
    QTest::newRow("a later version") << "new.prolis"
                                     << QByteArray(R"({"format": "prolis-project", "version": 2})")
                                     << "je z novější verze Prolisu (verze 2)";
    QTest::newRow("a material file") << "mat.prolis" << QByteArray(R"({"nazev": "C45"})")
                                     << "chybí \"format\": \"prolis-project\"";
    QTest::newRow("a folder") << "folder.prolis" << QByteArray() << "";
}

void TestProjectCommands::badFileChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString file = m_dir->filePath(name);
    if (name.startsWith(QLatin1String("folder")))
        QVERIFY(QDir().mkdir(file));
    else
        writeFile(file, bytes);
    fwd::forwardUnit().addCalculation(forwardAt(QStringLiteral("300")));
    const Project before = units();
    RecordingUi ui;
    ui.openAnswers = {file};
    openCalculations();
    // Refused before any question, naming the file; the histories as they were.
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Error);
    QVERIFY2(ui.messages[0].text.contains(file), qPrintable(ui.messages[0].text));
    QVERIFY2(ui.messages[0].text.contains(reason), qPrintable(ui.messages[0].text));
    QCOMPARE(units(), before);
}

QTEST_MAIN(TestProjectCommands)
#include "test_projectcommands.moc"
