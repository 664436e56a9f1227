// The outputs of the windows through the UI services: the save dialog of a
// text protocol, and the hand-over of a document to the desktop.
#include "core/Errors.h"
#include "output/DocumentFiles.h"
#include "support/FullDisk.h"
#include "support/RecordingUi.h"
#include "support/Records.h"
#include "widgets/DesktopApps.h"
#include "widgets/WindowOutputs.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;
using namespace prolis::out;
using test::RecordingUi;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestWindowOutputs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saveFlow();
    void unwritableTarget();
    void handOverNotRegistered();
    void handOverOpens();
    void handOverOpenFails();
    void desktopApplications();

private:
    QTemporaryDir m_desktop; // the desktop's folders of this run
};

void TestWindowOutputs::initTestCase() {
    // A desktop of our own: one application, the default for one type. Set
    // before anything asks the desktop (GLib reads these folders once).
    QDir(m_desktop.path()).mkpath(QStringLiteral("data/applications"));
    QDir(m_desktop.path()).mkpath(QStringLiteral("config"));
    QDir(m_desktop.path()).mkpath(QStringLiteral("system"));
    QFile entry(m_desktop.filePath(QStringLiteral("data/applications/prolis-test-viewer.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Test viewer\n"
                "Exec=sh -c 'cp \"$1\" \"$1.opened\"' sh %f\nMimeType=application/x-prolis-test;\n");
    entry.close();
    QFile defaults(m_desktop.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(defaults.open(QIODevice::WriteOnly));
    defaults.write("[Default Applications]\napplication/x-prolis-test=prolis-test-viewer.desktop\n");
    defaults.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_desktop.filePath(QStringLiteral("data"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_desktop.filePath(QStringLiteral("system"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_desktop.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_desktop.filePath(QStringLiteral("system"))));
    QStandardPaths::setTestModeEnabled(true);
    QDir(documentsFolder()).removeRecursively();
}

void TestWindowOutputs::saveFlow() {
    QTemporaryDir dir;
    RecordingUi ui;
    SaveDialogState dialog;
    const QByteArray bytes("line\r\n");
    // Cancelled: nothing written, nothing said.
    QCOMPARE(saveTextFile(ui, dialog, bytes), OutputResult::Cancelled);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ui.log,
             QStringList{QStringLiteral("save:%1/Data||Text files (*.txt)").arg(QDir::currentPath())});
    // Written, replacing an existing file without a question; the dialog
    // proposes the name chosen last.
    const QString target = dir.filePath(QStringLiteral("vysledek"));
    QFile old(target + ".txt");
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older and longer content");
    old.close();
    ui.saveAnswers = {target, target};
    QCOMPARE(saveTextFile(ui, dialog, bytes), OutputResult::Done);
    QCOMPARE(readFile(target + ".txt"), bytes);
    QCOMPARE(saveTextFile(ui, dialog, "second\r\n"), OutputResult::Done);
    QCOMPARE(ui.log.last(),
             QStringLiteral("save:%1/Data|vysledek|Text files (*.txt)").arg(QDir::currentPath()));
    QCOMPARE(readFile(target + ".txt"), QByteArray("second\r\n"));
    QVERIFY(ui.messages.isEmpty());
}

void TestWindowOutputs::unwritableTarget() {
    // The write fails: the user is told where and why, and an existing file
    // is left as it was.
    QTemporaryDir dir;
    RecordingUi ui;
    SaveDialogState dialog;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/protokol.txt");
    QFile existing(target);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("kept");
    existing.close();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool writable = QFileInfo(folder).isWritable(); // root writes anywhere
    const QList<QPair<QString, QString>> cases{{target, target},
                                               {dir.filePath(QStringLiteral("missing/folder/p")),
                                                dir.filePath(QStringLiteral("missing/folder/p.txt"))}};
    for (const auto& [chosen, written] : cases) {
        if (chosen == target && writable) continue;
        ui.clear();
        ui.saveAnswers = {chosen};
        QCOMPARE(saveTextFile(ui, dialog, "new content\r\n"), OutputResult::Failed);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].kind, MsgKind::Error);
        QCOMPARE(ui.messages[0].caption, QStringLiteral("Error"));
        QVERIFY2(ui.messages[0].text.startsWith(QStringLiteral("Protokol nebyl uložen.\r") + written + ": "),
                 qPrintable(ui.messages[0].text));
        QVERIFY(ui.messages[0].text.size() >
                (QStringLiteral("Protokol nebyl uložen.\r") + written + ": ").size());
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(readFile(target), QByteArray("kept"));
    // The disk fills up while the protocol is written: the error box, and the
    // file that was there left whole.
    const int code = test::withDiskFullAfter(3, [&] {
        RecordingUi childUi;
        childUi.saveAnswers = {target};
        const OutputResult r = saveTextFile(childUi, dialog, QByteArray(100, 'x'));
        return r == OutputResult::Failed && childUi.messages.size() == 1 &&
                       childUi.messages[0].text.startsWith(QStringLiteral("Protokol nebyl uložen.\r") +
                                                           target)
                   ? 7
                   : 8;
    });
    QCOMPARE(code, 7);
    QCOMPARE(readFile(target), QByteArray("kept"));
}

void TestWindowOutputs::handOverNotRegistered() {
    RecordingUi ui;
    bool built = false;
    QCOMPARE(handOverDocument(ui, WordMimeType, MsgNoWord, "Dopredne", "docx",
                              [&] {
                                  built = true;
                                  return QByteArray("x");
                              }),
             OutputResult::Unavailable);
    QCOMPARE(ui.texts(), QStringList{MsgNoWord});
    QCOMPARE(ui.messages[0].kind, MsgKind::Plain);
    QVERIFY(!built);
    QVERIFY(ui.log.filter(QStringLiteral("open:")).isEmpty());
    QVERIFY(QDir(documentsFolder()).entryList(QDir::Files).isEmpty());
}

void TestWindowOutputs::handOverOpens() {
    RecordingUi ui;
    ui.registeredTypes = {WordMimeType};
    for (int i = 0; i < 2; ++i)
        QCOMPARE(handOverDocument(ui, WordMimeType, MsgNoWord, "Zpetne-souhrn", "docx",
                                  [] { return QByteArray("doc"); }),
                 OutputResult::Done);
    QVERIFY(ui.messages.isEmpty());
    const QStringList opened = ui.log.filter(QStringLiteral("open:"));
    QCOMPARE(opened.size(), 2);
    QVERIFY(opened[0] != opened[1]); // never the same file twice
    for (const QString& o : opened) {
        const QString path = o.mid(5);
        QVERIFY2(QFileInfo(path).fileName().contains(QRegularExpression(
                     QStringLiteral("^Zpetne-souhrn-\\d{4}-\\d\\d-\\d\\d-\\d{6}(-\\d+)?\\.docx$"))),
                 qPrintable(path));
        QCOMPARE(test::readFile(path), QByteArray("doc"));
        QCOMPARE(QFileInfo(path).absolutePath(), documentsFolder());
    }
    QCOMPARE(safeFileName(QStringLiteral("16MnCr5 (14 220)/x:y")), QStringLiteral("16MnCr5_(14_220)_x_y"));
}

void TestWindowOutputs::handOverOpenFails() {
    RecordingUi ui;
    ui.registeredTypes = {WordMimeType};
    ui.openFailure = QStringLiteral("no handler started");
    try {
        handOverDocument(ui, WordMimeType, MsgNoWord, "Dopredne", "docx", [] { return QByteArray("doc"); });
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY(e.message().startsWith(QStringLiteral("Dokument ")));
        QVERIFY(e.message().endsWith(QStringLiteral("nelze otevřít: no handler started")));
    }
}

void TestWindowOutputs::desktopApplications() {
    // The desktop's associations read in-process: the default application of
    // a type, none for another, and the file handed to that application.
    QCOMPARE(defaultApplicationFor(QStringLiteral("application/x-prolis-test")),
             QStringLiteral("prolis-test-viewer.desktop"));
    QCOMPARE(defaultApplicationFor(QStringLiteral("application/x-prolis-nothing")), QString());
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("Dopredne-test.docx"));
    QFile f(document);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("the document");
    f.close();
    QCOMPARE(openWithDefaultApplication(document, QStringLiteral("application/x-prolis-test")), QString());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(document + QStringLiteral(".opened")), 10000);
    QCOMPARE(readFile(document + QStringLiteral(".opened")), QByteArray("the document"));
    QVERIFY(!openWithDefaultApplication(document, QStringLiteral("application/x-prolis-nothing")).isEmpty());
}

QTEST_GUILESS_MAIN(TestWindowOutputs)
#include "test_windowoutputs.moc"
