// The material editor's window on a writable copy of the fixture database:
// a material typed in with two temperatures, its curves, the save, and what
// the window says on the way.
#include "db/MaterialCatalog.h"
#include "editor/MaterialStore.h"
#include "editor/U_MatEdit.h"
#include "support/Controls.h"
#include "support/RecordingUi.h"
#include "support/TestDb.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace prolis;
using namespace prolis::edit;
using prolis::test::RecordingUi;

namespace {
ConnectionSettings editor() {
    ConnectionSettings s = test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT"));
    s.User = QStringLiteral("prolis_editor");
    return s;
}

// A window on its own connection with the editor's account.
struct OpenEditor {
    MaterialConnection connection;
    bool connected = (connection.connect(editor()), true); // before the window lists the materials
    MaterialStore store{connection};
    TMatEdit window{store};
};

int visibleRows(TMatEdit& w) {
    return w.findChild<QTableWidget*>(QStringLiteral("Materialy"))->rowCount();
}

void typeMaterial(TMatEdit& w, const QString& name) {
    w.NewMaterial();
    w.TypeField("nazev", name);
    w.TypeField("rm", "650");
    w.TypeField("rp", "350");
    w.AddTemperature(20, false);
    for (const auto& [field, text] : QList<std::pair<const char*, const char*>>{
             {"pol_a", "800"}, {"pol_b", "0,2"}, {"ppol_a", "0,6667"}, {"ppol_b", "1,2"}, {"fimax", "1,4"}})
        w.TypeField(field, text);
}
} // namespace

class TestMatEditWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { REQUIRE_TEST_DB(); }
    void typeInAndSave();
    void numbersAsInProlis();
    void unsavedChangesAsk();
    void twoEditors();
    void exportAndImport();
    void fitMeasuredCurve();
    void fitRefusedWithItsReason();
    void highlightIsTheForm();
    void declinedImportChangesNothing();
    void fitsSmallScreen();
};

void TestMatEditWindow::typeInAndSave() {
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    w.show();
    const int all = visibleRows(w);
    QVERIFY(all > 0);
    w.findChild<QLineEdit*>(QStringLiteral("Filtr"))->setText(QStringLiteral("zkuš"));
    auto* list = w.findChild<QTableWidget*>(QStringLiteral("Materialy"));
    QVERIFY(visibleRows(w) >= 1 && visibleRows(w) < all);
    for (int row = 0; row < visibleRows(w); ++row)
        QVERIFY(list->item(row, 0)->text().contains(QStringLiteral("Zkuš")));

    typeMaterial(w, QStringLiteral("Z okna"));
    // The curves follow the constants: Polytropa alone, then Polynom 3 st. too.
    QCOMPARE(w.flowCurveNames(), QStringList{QStringLiteral("Polytropa")});
    QCOMPARE(w.flowPoints(0), 100);
    w.TypeField("pn3_0", "500");
    w.TypeField("pn3_1", "300");
    QCOMPARE(w.flowCurveNames(), (QStringList{QStringLiteral("Polytropa"), QStringLiteral("Polynom 3 st.")}));
    // A second temperature copied from the first, then changed.
    w.AddTemperature(300, true);
    w.TypeField("pol_a", "600");
    QCOMPARE(w.edited().temperatures.size(), 2);
    ui.answers = {Answer::Yes}; // the warnings (no Z, ...): save all the same, if asked
    QVERIFY2(w.SaveMaterial(), qPrintable(ui.texts().join('|')));
    QVERIFY2(ui.texts().contains(QStringLiteral("Materiál „Z okna“ byl uložen.")),
             qPrintable(ui.texts().join('|')));
    QVERIFY(!w.isModified());
    // Prolis reads it as typed.
    MaterialConnection reader;
    reader.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")));
    Data d;
    QCOMPARE(loadMaterial(reader, QStringLiteral("Z okna"), 300, d, MaterialBy::Name), LookupResult::Found);
    QCOMPARE(d.pol_a, 600.0);
    QCOMPARE(d.pn3[1], 300.0);
    QCOMPARE(d.rm, 650.0);
}

void TestMatEditWindow::numbersAsInProlis() {
    // Typed with the decimal comma; a text Prolis would not read as a number
    // is not taken (the field turns red), and neither is a temperature that
    // is not a whole number.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    typeMaterial(w, QStringLiteral("Čísla"));
    w.TypeField("rm", "1 204,5");
    QCOMPARE(w.edited().rm, 650.0);
    w.TypeField("rm", "2.5");
    QCOMPARE(w.edited().rm, 650.0);
    w.TypeField("rm", "1204,5");
    QCOMPARE(w.edited().rm, 1204.5);
    w.TypeField("teplo", "20,5");
    QCOMPARE(int(w.edited().temperatures[0].teplo), 20);
    w.TypeField("teplo", "-40");
    QCOMPARE(int(w.edited().temperatures[0].teplo), -40);
    QVERIFY(ui.messages.isEmpty());
}

void TestMatEditWindow::unsavedChangesAsk() {
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    w.show();
    typeMaterial(w, QStringLiteral("Neuloženo"));
    ui.answers = {Answer::No};
    w.close();
    QVERIFY(w.isVisible());
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Materiál má neuložené změny. Zavřít bez uložení?")});
    ui.clear();
    ui.answers = {Answer::No};
    QVERIFY(!w.OpenMaterial(1));
    QCOMPARE(w.edited().nazev, QStringLiteral("Neuloženo"));
    ui.answers = {Answer::Yes};
    QVERIFY(w.OpenMaterial(1));
    QCOMPARE(w.edited().nazev, QStringLiteral("Zkušební ocel"));
    w.close();
    QVERIFY(!w.isVisible());
}

void TestMatEditWindow::twoEditors() {
    // Two windows on one material: the second save is refused, its values kept.
    RecordingUi ui;
    MaterialConnection a, b;
    a.connect(editor());
    b.connect(editor());
    MaterialStore storeA(a), storeB(b);
    TMatEdit first(storeA), second(storeB);
    ui.answers = {Answer::Yes, Answer::Yes};
    typeMaterial(first, QStringLiteral("Dvě okna"));
    QVERIFY2(first.SaveMaterial(), qPrintable(ui.texts().join('|')));
    const int id = *first.edited().id;
    QVERIFY(second.OpenMaterial(id));
    first.TypeField("rm", "700");
    ui.answers = {Answer::Yes, Answer::Yes};
    QVERIFY2(first.SaveMaterial(), qPrintable(ui.texts().join('|')));
    second.TypeField("rp", "360");
    ui.clear();
    ui.answers = {Answer::Yes};
    QVERIFY(!second.SaveMaterial());
    QVERIFY(ui.texts().contains(MsgChangedMeanwhile));
    QCOMPARE(second.edited().rp, 360.0);
    QCOMPARE(storeB.load(id)->rm, 700.0);
    QCOMPARE(storeB.load(id)->rp, 350.0);
}

void TestMatEditWindow::exportAndImport() {
    // Exported from the window, changed in the file, imported over the
    // material of that name and saved: the database holds the file's values.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    MaterialStore& store = e.store;
    ui.answers = {Answer::Yes, Answer::Yes};
    typeMaterial(w, QStringLiteral("Přes soubor"));
    QVERIFY2(w.SaveMaterial(), qPrintable(ui.texts().join('|')));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.json"));
    ui.saveAnswers = {file};
    w.ExportMaterial();
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray json = f.readAll();
    QVERIFY(json.contains("\"pol_a\": 800"));
    json.replace("\"pol_a\": 800", "\"pol_a\": 850");
    f.resize(0);
    f.write(json);
    f.close();
    w.NewMaterial();
    ui.clear();
    ui.openAnswers = {file};
    ui.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    w.ImportMaterial();
    QCOMPARE(ui.texts().first(),
             QStringLiteral("Materiál „Přes soubor“ v databázi už je. Nahradit jeho hodnoty importovanými?"));
    QCOMPARE(w.edited().temperatures[0].pol_a, 850.0);
    QVERIFY2(w.SaveMaterial(), qPrintable(ui.texts().join('|')));
    QCOMPARE(store.load(*store.findByName(QStringLiteral("Přes soubor")))->temperatures[0].pol_a, 850.0);
    // A file that is no material: said, the form as it was.
    QFile bad(dir.filePath(QStringLiteral("bad.json")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("{\"nazev\": 5}");
    bad.close();
    ui.clear();
    ui.openAnswers = {bad.fileName()};
    w.ImportMaterial();
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.texts().first().contains(QStringLiteral("klíč \"nazev\" musí být text")));
    QCOMPARE(w.edited().nazev, QStringLiteral("Přes soubor"));
}

void TestMatEditWindow::fitMeasuredCurve() {
    // A measured curve pasted onto a temperature, fitted, some fits taken
    // over and saved: Prolis reads the fitted constants.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    w.NewMaterial();
    w.TypeField("nazev", "Z křivky");
    w.AddTemperature(20, false);
    QVERIFY(!w.PasteCurve(QStringLiteral("0,1;650\n0;600\n")));
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Řádek 2: φ musí být větší než 0.")});
    QString text = QStringLiteral("phi\tsigma\n");
    for (int i = 1; i <= 30; ++i)
        text += QStringLiteral("%1\t%2\n")
                    .arg(0.045 * i, 0, 'f', 4)
                    .arg(800 * std::pow(0.045 * i, 0.2), 0, 'f', 6);
    QVERIFY(w.PasteCurve(text));
    QVERIFY(w.flowCurveNames().contains(QStringLiteral("naměřeno")));
    w.FitCurve();
    const QStringList lines = w.fitLines();
    QCOMPARE(lines.size(), 5);
    QVERIFY2(lines[0].startsWith(QStringLiteral("Polytropa: R² = 1,000000")), qPrintable(lines[0]));
    QVERIFY(w.flowCurveNames().contains(QStringLiteral("Polytropa (proložení)")));
    w.tickFit(2, false); // Polynom 5 st. not taken
    w.TakeFits();
    const Data d = w.edited().temperatures[0];
    QVERIFY(std::fabs(d.pol_a - 800) < 1e-3);
    QVERIFY(d.pn3[0] != 0);
    QCOMPARE(d.pn5[0], 0.0);
    QVERIFY(std::fabs(d.fimax - 1.35) < 1e-12);
    QVERIFY(d.ppol_a != 0 && d.ppn[0] != 0);
    ui.answers = {Answer::Yes, Answer::Yes};
    QVERIFY2(w.SaveMaterial(), qPrintable(ui.texts().join('|')));
    MaterialConnection reader;
    reader.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")));
    Data read;
    QCOMPARE(loadMaterial(reader, QStringLiteral("Z křivky"), 20, read, MaterialBy::Name),
             LookupResult::Found);
    QCOMPARE(read.pol_b, d.pol_b);
}

void TestMatEditWindow::highlightIsTheForm() {
    // Arrow keys open the material they move to; a "No" to discarding the
    // changes puts the highlight back on the material of the form; "Kopie"
    // copies that one.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    w.show();
    auto* list = w.findChild<QTableWidget*>(QStringLiteral("Materialy"));
    const auto idAt = [&](int row) { return list->item(row, 0)->data(Qt::UserRole).toInt(); };
    list->setFocus();
    list->setCurrentCell(0, 0);
    QCoreApplication::processEvents();
    QCOMPARE(w.session().currentId(), std::optional<int>(idAt(0)));
    QTest::keyClick(list, Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(w.session().currentId(), std::optional<int>(idAt(1)));
    QCOMPARE(w.edited().nazev, list->item(1, 0)->text());
    w.TypeField("rm", "1");
    ui.answers = {Answer::No};
    QTest::keyClick(list, Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Materiál má neuložené změny. Zahodit je?")});
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(w.session().currentId(), std::optional<int>(idAt(1)));
    ui.clear();
    ui.answers = {Answer::Yes};
    const QString copied = list->item(1, 0)->text();
    w.CopyMaterial();
    QCOMPARE(w.edited().nazev, QStringLiteral("Kopie ") + copied);
    QCOMPARE(list->item(list->currentRow(), 0)->text(), QStringLiteral("Kopie ") + copied);
}

void TestMatEditWindow::declinedImportChangesNothing() {
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    QVERIFY(w.OpenMaterial(1));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.json"));
    ui.saveAnswers = {file};
    w.ExportMaterial();
    QVERIFY2(QFileInfo::exists(file), qPrintable(ui.texts().join('|')));
    QVERIFY(w.OpenMaterial(2));
    ui.clear();
    ui.openAnswers = {file};
    ui.answers = {Answer::No};
    w.ImportMaterial();
    QCOMPARE(ui.texts().size(), 1);
    QVERIFY(!w.isModified());
    QCOMPARE(w.session().currentId(), std::optional<int>(2));
    ui.clear();
    ui.saveAnswers = {dir.filePath(QStringLiteral("bez.json"))};
    w.ExportMaterial(); // material 2 has no temperature: said why, nothing written
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY2(ui.texts()[0].contains(QStringLiteral("nemá žádnou teplotu")), qPrintable(ui.texts()[0]));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("bez.json"))));
}

void TestMatEditWindow::fitRefusedWithItsReason() {
    // A falling curve: the window lists the Polytropa with the reason it
    // cannot be made (as prolis-calc fit says it), not tickable; the others
    // are fitted; a σp of 0 is refused naming its line.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    w.NewMaterial();
    w.AddTemperature(20, false);
    QVERIFY(!w.PasteCurve(QStringLiteral("0,1;650\n0,2;0\n")));
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Řádek 2: σp musí být větší než 0.")});
    QString text;
    for (int i = 1; i <= 16; ++i)
        text += QStringLiteral("%1;%2\n").arg(0.1 * i, 0, 'f', 1).arg(100 / (0.1 * i), 0, 'f', 6);
    QVERIFY(w.PasteCurve(text));
    test::child<QPushButton>(&w, "Prolozit")->click(); // the button, not only its handler
    QCOMPARE(ui.texts().size(), 1); // some fits were made: no message
    const QStringList lines = w.fitLines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0],
             QStringLiteral("Polytropa: naměřené σp s rostoucím φ neroste (exponent b by byl nejvýše "
                            "0,0001), Polytropa a·φ^b + c s a > 0 a b > 0 křivku nepopíše."));
    QVERIFY2(lines[4].startsWith(QStringLiteral("Měrná práce: Polynom: R² = ")), qPrintable(lines[4]));
    QVERIFY(lines[4].contains(QStringLiteral(" J/mm^3 ")));
    if (const QString shots = qEnvironmentVariable("PROLIS_SCREENSHOT_DIR"); !shots.isEmpty()) {
        w.resize(1024, 768);
        w.show();
        QCoreApplication::processEvents();
        w.grab().save(shots + QStringLiteral("/matedit-fit-refused.png"));
    }
    test::child<QPushButton>(&w, "Prevzit")->click();
    const Data d = w.edited().temperatures[0];
    QCOMPARE(d.pol_a, 0.0);
    QVERIFY(d.pn3[0] != 0 && d.ppn[0] != 0);
}

void TestMatEditWindow::fitsSmallScreen() {
    // On a 1024 x 768 screen every button and both plots are inside the window.
    RecordingUi ui;
    OpenEditor e;
    TMatEdit& w = e.window;
    QVERIFY2(w.minimumSizeHint().width() <= 1004 && w.minimumSizeHint().height() <= 728,
             qPrintable(
                 QStringLiteral("%1x%2").arg(w.minimumSizeHint().width()).arg(w.minimumSizeHint().height())));
    w.resize(1004, 728);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect inside(QPoint(0, 0), w.size());
    for (const char* name :
         {"Ulozit", "Ukoncit", "Novy", "Kopie", "Smazat", "Import", "Export", "GrafSigma", "GrafPrace"}) {
        auto* widget = w.findChild<QWidget*>(QLatin1String(name));
        QVERIFY(widget);
        const QRect r(widget->mapTo(&w, QPoint(0, 0)), widget->size());
        QVERIFY2(inside.contains(r), name);
    }
    QVERIFY(w.findChild<QWidget*>(QStringLiteral("GrafSigma"))->height() >= 150);
    // For a look by eye: PROLIS_SCREENSHOT_DIR=... keeps a picture of the window.
    if (const QString shots = qEnvironmentVariable("PROLIS_SCREENSHOT_DIR"); !shots.isEmpty()) {
        QVERIFY(w.OpenMaterial(1));
        QCoreApplication::processEvents();
        w.grab().save(shots + QStringLiteral("/matedit-1024.png"));
    }
    // Every button has its key.
    for (QPushButton* b : w.findChildren<QPushButton*>())
        QVERIFY2(b->text().contains(QLatin1Char('&')), qPrintable(b->text()));
}

QTEST_MAIN(TestMatEditWindow)
#include "test_matedit_window.moc"
