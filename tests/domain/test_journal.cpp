// The journal of a running Prolis: kept whole, offered back only when its
// program is gone, set aside keeping the last five, a failing write told once.
#include "domain/Journal.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace prolis;
using namespace prolis::journal;

namespace {
project::Project sample(const QString& steel) {
    project::Project p;
    fwd::Souhrn r;
    r[fwd::Field::Ocel] = steel;
    r[fwd::Field::Teplota] = QStringLiteral("20 °C");
    p.forward = {r};
    return p;
}

// Another Prolis: writes its journal, then either ends without closing it
// (a crash) or keeps running until killed.
pid_t otherProlis(const QString& folder, bool keepRunning) {
    const pid_t pid = fork();
    if (pid == 0) {
        Journal j(folder);
        j.write(sample(QStringLiteral("C45 z jiného běhu")));
        if (keepRunning)
            for (;;)
                pause();
        _exit(0);
    }
    return pid;
}
} // namespace

class TestJournal : public QObject {
    Q_OBJECT
private slots:
    void stateFolder_data();
    void stateFolder();
    void crashedRunOffered();
    void runningProgramNotOffered();
    void claimedNotOfferedTwice();
    void sameProcessNumberNotOverwritten();
    void fiveSetAside();
    void failingWriteToldOnce();
};

void TestJournal::stateFolder_data() {
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QString>("folder");
    QTest::newRow("set") << QByteArray("/srv/state") << "/srv/state/Prolis";
    QTest::newRow("relative: not used") << QByteArray("state") << QDir::homePath() + "/.local/state/Prolis";
    QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.local/state/Prolis";
}

void TestJournal::stateFolder() {
    QFETCH(QByteArray, xdg);
    QFETCH(QString, folder);
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    if (xdg.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", xdg);
    QCOMPARE(journal::stateFolder(), folder);
    qputenv("XDG_STATE_HOME", old);
}

void TestJournal::crashedRunOffered() {
    QTemporaryDir dir;
    const pid_t pid = otherProlis(dir.path(), false);
    waitpid(pid, nullptr, 0);
    Journal mine(dir.path());
    QCOMPARE(mine.write(sample(QStringLiteral("můj"))), QString());
    const QStringList orphans = mine.orphans();
    QCOMPARE(orphans, QStringList{QStringLiteral("%1/journal-%2.prolis").arg(dir.path()).arg(pid)});
    const project::ReadProject taken = project::readProjectFile(orphans.first());
    QVERIFY2(taken.project, qPrintable(taken.refusal));
    QCOMPARE(*taken.project, sample(QStringLiteral("C45 z jiného běhu")));
    // Claimed until decided: asked again, the same one.
    QCOMPARE(mine.orphans(), orphans);
    mine.adopt(orphans.first());
    QVERIFY(mine.orphans().isEmpty());
    // Nothing of the other run left: only this run's journal and lock.
    const QString base = QFileInfo(mine.path()).completeBaseName();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{base + ".lock", base + ".prolis"}));
    mine.close();
    QVERIFY(!QFile::exists(mine.path()));
}

void TestJournal::runningProgramNotOffered() {
    QTemporaryDir dir;
    const pid_t pid = otherProlis(dir.path(), true);
    const QString theirs = QStringLiteral("%1/journal-%2.prolis").arg(dir.path()).arg(pid);
    QTRY_VERIFY(QFile::exists(theirs));
    Journal mine(dir.path());
    QVERIFY(mine.orphans().isEmpty());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    QCOMPARE(mine.orphans(), QStringList{theirs});
}

void TestJournal::claimedNotOfferedTwice() {
    QTemporaryDir dir;
    waitpid(otherProlis(dir.path(), false), nullptr, 0);
    Journal mine(dir.path());
    QCOMPARE(mine.orphans().size(), 1);
    // A second Prolis started while this one asks: offered nothing.
    const pid_t second = fork();
    if (second == 0) {
        Journal theirs(dir.path());
        _exit(static_cast<int>(theirs.orphans().size()));
    }
    int status = -1;
    waitpid(second, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

void TestJournal::sameProcessNumberNotOverwritten() {
    QTemporaryDir dir;
    // An ended run had this program's number and left its journal and lock.
    const QString own = dir.filePath(QStringLiteral("journal-%1.prolis").arg(QCoreApplication::applicationPid()));
    QFile f(own);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(project::projectJson(sample(QStringLiteral("stejné číslo"))));
    f.close();
    Journal mine(dir.path());
    QCOMPARE(mine.write(sample(QStringLiteral("můj"))), QString());
    const QStringList orphans = mine.orphans();
    QCOMPARE(orphans.size(), 1);
    QCOMPARE(*project::readProjectFile(orphans.first()).project, sample(QStringLiteral("stejné číslo")));
    QCOMPARE(*project::readProjectFile(mine.path()).project, sample(QStringLiteral("můj")));
}

void TestJournal::fiveSetAside() {
    QTemporaryDir dir;
    Journal mine(dir.path());
    for (int i = 0; i < 7; ++i) {
        const QString orphan = dir.filePath(QStringLiteral("journal-%1.prolis").arg(900000 + i));
        QFile f(orphan);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(project::projectJson(sample(QString::number(i))));
        f.flush();
        QVERIFY(
            f.setFileTime(QDateTime(QDate(2026, 12, 1 + i), QTime(8, 0)), QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(mine.orphans().size(), 1);
        mine.putAside(orphan);
    }
    const QStringList aside = QDir(dir.path()).entryList({"journal-aside-*"}, QDir::Files, QDir::Name);
    QCOMPARE(aside.size(), 5);
    QCOMPARE(aside.first(), QStringLiteral("journal-aside-20261203-080000.prolis.old"));
    QVERIFY(mine.orphans().isEmpty());
}

void TestJournal::failingWriteToldOnce() {
    QTemporaryDir dir;
    Journal mine(dir.path());
    QVERIFY(QDir().mkdir(mine.path())); // the journal's place taken: no file can be written there
    const QString first = mine.write(sample(QStringLiteral("a")));
    QVERIFY2(first.startsWith(QStringLiteral("Výpočty nelze průběžně ukládat: ") + mine.path()),
             qPrintable(first));
    QCOMPARE(mine.write(sample(QStringLiteral("b"))), QString());
    QVERIFY(QDir().rmdir(mine.path()));
    QCOMPARE(mine.write(sample(QStringLiteral("c"))), QString());
    QVERIFY(QFile::exists(mine.path()));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
