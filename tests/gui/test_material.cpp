#include "core/Errors.h"
#include "db/ConnectionSettings.h"
#include "db/MaterialDb.h"
#include "gui/U_VyberMat.h"
#include "gui/U_VypisMat.h"
#include "support/FreezingProxy.h"
#include "support/RecordingUi.h"
#include "support/TestDb.h"

#include "support/Controls.h"
#include <QLabel>
#include <QSqlField>
#include <QSqlQueryModel>

#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using prolis::test::RecordingUi;

namespace {
struct Receiver final : IRunOnVyberClose {
    QList<Data> received;
    void MaterialChosen(const Data& d) override { received.append(d); }
};

QStringList column(const MaterialQuery& q, const QString& name) {
    QStringList v;
    for (int i = 0; i < q.rowCount(); ++i)
        v << q.row(i).value(name).toString();
    return v;
}

int comboIndexOf(TVyberMat& dlg, const QString& name) {
    return child<QComboBox>(&dlg, "DBLCBOcel")->findText(name);
}

// Picks a material and, when given, a temperature row, then presses "Vyber".
void choose(TVyberMat& dlg, const QString& material, int temperatureRow) {
    dlg.DBLCBOcelClick(comboIndexOf(dlg, material));
    if (temperatureRow >= 0) child<QListWidget>(&dlg, "DBLLBTeplo")->setCurrentRow(temperatureRow);
    dlg.DBLLBTeploClick();
    child<QPushButton>(&dlg, "Vyber")->click();
}

QString gridText(QSqlQueryModel* m, int row, int col) {
    return m->data(m->index(row, col)).toString();
}

// A left click on the shown cell of a grid row.
void clickRow(QTableView* grid, QSqlQueryModel* model, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(model->index(row, 1)).center());
}
} // namespace

class TestMaterial : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void statements();
    void nullParameterYieldsNoRows();
    void fillDataFromRows_data();
    void fillDataFromRows();
    void fillDataMissingColumn();
    void missingTable();
    void wrongPasswordTwoBoxes_data();
    void wrongPasswordTwoBoxes();
    void closingRules();
    void handOverOfLastVyber();
    void valuesShownWhole();
    void emptyCombination();
    void temperatureOutOfRange();
    void listTakesNoSelectionBeforeMaterial();
    void emptyDatabaseCanBeLeft();
    void connectionLostInDialog();
    void listingStart();
    void listingRerunsOnClickPressAndRelease();
    void listingReleaseWithoutPress();
    void listingShiftShowsLowestTemperature();
    void listingMaterialWithoutTemperatures();
    void listingUkoncit();
    void listingFailingStatement();
};

void TestMaterial::initTestCase() {
    REQUIRE_TEST_DB();
}

void TestMaterial::init() {
    test::useTestDb();
}

void TestMaterial::statements() {
    MaterialConnection c;
    c.connect(test::testDbSettings());
    QVERIFY(c.isConnected());
    MaterialQuery q1(c, sql::Materials), q2(c, sql::Temperatures);
    q1.open();
    QCOMPARE(q1.rowCount(), 6);
    QCOMPARE(column(q1, "id"), (QStringList{"1", "2", "3", "4", "5", "6"}));
    q2.open({1});
    QCOMPARE(column(q2, "teplo"), (QStringList{"20", "100", "200"}));
    q2.open({2});
    QCOMPARE(q2.rowCount(), 0); // a material without link rows
    q2.open({3});
    QCOMPARE(column(q2, "teplo"), (QStringList{"20", "20", "100"})); // linked twice, listed twice
    q2.open({5});
    QCOMPARE(column(q2, "teplo"), (QStringList{"-20", "40000"}));
    // The capitalised names of the statements match the lower-case columns.
    MaterialQuery q3b(c, sql::ConstantsListing);
    q3b.open({1, 1});
    QCOMPARE(q3b.columns().count(), 54);
    QCOMPARE(q3b.columns().fieldName(0).toLower(), QStringLiteral("nazev"));
    QCOMPARE(q3b.row(0).value(0).toString(), QStringLiteral("Zkušební ocel"));
    QVERIFY(sql::Temperatures.contains(QStringLiteral("s.Id_materialy=m.id\njoin teplota")));
}

void TestMaterial::nullParameterYieldsNoRows() {
    MaterialConnection c;
    c.connect(test::testDbSettings());
    MaterialQuery q(c, sql::ConstantsAll);
    q.open({1, std::nullopt});
    QVERIFY(q.isOpen());
    QCOMPARE(q.rowCount(), 0);
    q.open({std::nullopt, 1});
    QCOMPARE(q.rowCount(), 0);
}

void TestMaterial::fillDataFromRows_data() {
    QTest::addColumn<int>("material");
    QTest::addColumn<int>("temperatureId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("teplo");
    QTest::addColumn<double>("polA");
    QTest::addColumn<double>("ppolA");
    QTest::addColumn<double>("rlff9");
    QTest::addColumn<double>("ppn9");
    QTest::newRow("worked example") << 1 << 1 << "Zkušební ocel" << 20 << 800.0 << 0.6667 << 0.125 << 0.0;
    QTest::newRow("NULL name and constants") << 4 << 1 << "" << 20 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("ppn hidden fields")
        << 6 << 1 << "Oba zákony" << 20 << 800.0 << 0.6667 << 0.125 << 0.000000009;
    QTest::newRow("first of two rows") << 3 << 1 << "Dvakrát" << 20 << 820.0 << 0.6667 << 0.0 << 0.0;
}

void TestMaterial::fillDataFromRows() {
    QFETCH(int, material);
    QFETCH(int, temperatureId);
    QFETCH(QString, name);
    QFETCH(int, teplo);
    QFETCH(double, polA);
    QFETCH(double, ppolA);
    QFETCH(double, rlff9);
    QFETCH(double, ppn9);
    MaterialConnection c;
    c.connect(test::testDbSettings());
    MaterialQuery q(c, sql::ConstantsAll);
    q.open({material, temperatureId});
    QVERIFY(q.rowCount() >= 1);
    Data d;
    d.pol_c = 99; // every field is overwritten
    fillData(d, &q.row(0));
    QCOMPARE(d.nazev, name);
    QCOMPARE(int(d.teplo), teplo);
    QCOMPARE(d.pol_a, polA);
    QCOMPARE(d.ppol_a, ppolA);
    QCOMPARE(d.rlff[9], rlff9);
    QCOMPARE(d.ppn[9], ppn9);
    QCOMPARE(d.pol_c, 0.0);
}

void TestMaterial::fillDataMissingColumn() {
    QSqlRecord r;
    for (const char* name : {"nazev", "rm", "rp", "a5", "z", "teplo", "ppol_a", "ppol_b"}) {
        QSqlField f(QString::fromLatin1(name), QMetaType(QMetaType::Double));
        f.setValue(7);
        r.append(f);
    }
    r.setValue(QStringLiteral("nazev"), QStringLiteral("X"));
    Data d;
    try {
        fillData(d, &r);
        QFAIL("no error");
    } catch (const DataError& e) {
        QCOMPARE(e.message(), QStringLiteral("Field 'ppol_c' not found"));
    }
    // Fields filled before the failure keep their new values.
    QCOMPARE(d.nazev, QStringLiteral("X"));
    QCOMPARE(d.ppol_b, 7.0);
}

void TestMaterial::missingTable() {
    MaterialConnection c;
    c.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_BROKEN")));
    MaterialQuery q(c, sql::ConstantsAll);
    try {
        q.open({1, 1});
        QFAIL("no error");
    } catch (const DatabaseError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("doesn't exist")), qPrintable(e.message()));
    }
    QVERIFY(!q.isOpen());
}

void TestMaterial::wrongPasswordTwoBoxes_data() {
    QTest::addColumn<bool>("listing");
    QTest::newRow("selection dialog") << false;
    QTest::newRow("listing window") << true;
}

void TestMaterial::wrongPasswordTwoBoxes() {
    QFETCH(bool, listing);
    connectionSettings().Password = QStringLiteral("wrong");
    RecordingUi ui;
    Receiver r;
    if (listing)
        showMaterialListing(nullptr);
    else
        chooseMaterial(nullptr, &r);
    QCOMPARE(ui.messages.size(), 2);
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QVERIFY2(ui.messages[0].text.startsWith(QStringLiteral("Access denied for user 'prolis'")),
             qPrintable(ui.messages[0].text));
    QCOMPARE(ui.messages[1].kind, MsgKind::Plain);
    QCOMPARE(ui.messages[1].text, MsgNoConnection);
    QVERIFY(!ui.log.join('|').contains(QStringLiteral("modal:")));
}

void TestMaterial::closingRules() {
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    dlg.show();
    dlg.close(); // the close box before "Vyber"
    QVERIFY(dlg.isVisible());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QCOMPARE(ui.texts(), QStringList(2, QStringLiteral("Nevybrali jste materiál, je nutno jej vybrat.")));
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    choose(dlg, QStringLiteral("Zkušební ocel"), 0);
    QCOMPARE(child<QLabel>(&dlg, "DBTnazev")->text(), QStringLiteral("Zkušební ocel"));
    QCOMPARE(child<QLabel>(&dlg, "DBTpol_b")->text(), QStringLiteral("0,2"));
    QCOMPARE(child<QLabel>(&dlg, "DBTppol_a")->text(), QStringLiteral("0,6667"));
    QCOMPARE(child<QLabel>(&dlg, "DBTrlfd_0")->text(), QStringLiteral("35,6824823"));
    ui.clear();
    ui.answers = {Answer::No};
    child<QPushButton>(&dlg, "Ukoncit")->click();
    QVERIFY(dlg.isVisible());
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Skutečně chcete ukončit Výběr Materiálu ?")});
    QCOMPARE(child<QLabel>(&dlg, "DBTnazev")->text(), QStringLiteral("Zkušební ocel"));
    QVERIFY(r.received.isEmpty());
    ui.answers = {Answer::Yes};
    dlg.close();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(r.received.size(), 1);
    QCOMPARE(r.received[0].pol_a, 800.0);
    QCOMPARE(r.received[0].rlfd[9], 0.001); // beyond what the panels show
}

void TestMaterial::handOverOfLastVyber() {
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    choose(dlg, QStringLiteral("Zkušební ocel"), 1); // 100 °C
    dlg.DBLCBOcelClick(comboIndexOf(dlg, QStringLiteral("Dvakrát")));
    child<QListWidget>(&dlg, "DBLLBTeplo")->setCurrentRow(2);
    dlg.DBLLBTeploClick();
    QVERIFY(dlg.FormCloseQuery());
    QCOMPARE(r.received.size(), 1);
    QCOMPARE(r.received[0].nazev, QStringLiteral("Zkušební ocel"));
    QCOMPARE(int(r.received[0].teplo), 100);
    QCOMPARE(r.received[0].pol_c, 5.0);
}

void TestMaterial::valuesShownWhole() {
    RecordingUi ui;
    TVyberMat dlg;
    choose(dlg, QStringLiteral("Zkušební ocel"), 0); // rlfd_0 35,6824823
    QCOMPARE(child<QLabel>(&dlg, "DBTrlfd_0")->text(), QStringLiteral("35,6824823"));
    // Every value label is as wide as its text and ends before the next
    // label of its row begins; the panels hold their labels.
    const QList<QLabel*> labels = dlg.findChildren<QLabel*>();
    for (const QLabel* l : labels) {
        if (!l->objectName().startsWith(QLatin1String("DBT")) || l->text().isEmpty()) continue;
        QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), qPrintable(l->objectName()));
        QVERIFY2(l->x() + l->width() <= l->parentWidget()->width(), qPrintable(l->objectName()));
        for (const QLabel* other : labels)
            if (other != l && other->parentWidget() == l->parentWidget() && other->y() == l->y() &&
                other->x() > l->x())
                QVERIFY2(other->x() >= l->x() + l->width(),
                         qPrintable(l->objectName() + other->objectName()));
    }
    QVERIFY(dlg.width() >= child<QFrame>(&dlg, "Panel2")->geometry().right());
}

void TestMaterial::emptyCombination() {
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    choose(dlg, QStringLiteral("Bez teplot"), -1);
    QVERIFY(child<QPushButton>(&dlg, "Vyber")->isEnabled());
    QCOMPARE(child<QLabel>(&dlg, "DBTnazev")->text(), QString());
    QVERIFY(dlg.FormCloseQuery());
    QCOMPARE(r.received.size(), 1);
    QCOMPARE(r.received[0], Data{});
}

void TestMaterial::temperatureOutOfRange() {
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    dlg.show();
    choose(dlg, QStringLiteral("Horká"), 1); // 40000
    dlg.close();
    QVERIFY(dlg.isVisible());
    QVERIFY(r.received.isEmpty());
    QCOMPARE(ui.texts(), (QStringList{QStringLiteral("Skutečně chcete ukončit Výběr Materiálu ?"),
                                      QStringLiteral("Range check error.")}));
    QCOMPARE(ui.messages[1].kind, MsgKind::Stop);
}

void TestMaterial::listTakesNoSelectionBeforeMaterial() {
    RecordingUi ui;
    TVyberMat dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(child<QListWidget>(&dlg, "DBLLBTeplo")->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!child<QPushButton>(&dlg, "Vyber")->isEnabled());
    dlg.DBLCBOcelClick(comboIndexOf(dlg, QStringLiteral("Bez teplot")));
    QTest::mouseClick(child<QListWidget>(&dlg, "DBLLBTeplo")->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(child<QPushButton>(&dlg, "Vyber")->isEnabled()); // a click into the empty list counts
}

void TestMaterial::emptyDatabaseCanBeLeft() {
    test::useTestDb(qEnvironmentVariable("PROLIS_TEST_DB_EMPTY"));
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    QVERIFY(dlg.isConnected());
    dlg.show();
    dlg.close();
    QVERIFY(!dlg.isVisible());
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(r.received.isEmpty());
}

void TestMaterial::connectionLostInDialog() {
    // The server goes away while the dialog is open: every statement fails
    // into the error box, and then the user may leave (no material handed
    // over) instead of being kept in the dialog for good.
    test::FreezingProxy proxy(test::testDbSettings().Port);
    connectionSettings().Port = proxy.port();
    RecordingUi ui;
    Receiver r;
    TVyberMat dlg;
    dlg.Receiver = &r;
    QVERIFY(dlg.isConnected());
    dlg.show();
    proxy.setDown(true);
    QComboBox* combo = child<QComboBox>(&dlg, "DBLCBOcel");
    emit combo->activated(comboIndexOf(dlg, QStringLiteral("Zkušební ocel")));
    dlg.DBLLBTeploClick();
    child<QPushButton>(&dlg, "Vyber")->click();
    QCOMPARE(ui.messages.size(), 2);
    for (const auto& m : ui.messages)
        QCOMPARE(m.kind, MsgKind::Stop);
    ui.clear();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(r.received.isEmpty());

    // The server is back: the next action connects again and the dialog
    // works as before, its closing rules included.
    dlg.show();
    emit combo->activated(comboIndexOf(dlg, QStringLiteral("Zkušební ocel")));
    QCOMPARE(ui.messages.size(), 1); // connecting again while it is still away
    ui.clear();
    proxy.setDown(false);
    emit combo->activated(comboIndexOf(dlg, QStringLiteral("Zkušební ocel")));
    QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.texts().join('|')));
    QVERIFY(child<QListWidget>(&dlg, "DBLLBTeplo")->count() > 0);
    dlg.close();
    QVERIFY(dlg.isVisible());
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Nevybrali jste materiál, je nutno jej vybrat.")});
    ui.clear();
    child<QListWidget>(&dlg, "DBLLBTeplo")->setCurrentRow(0);
    dlg.DBLLBTeploClick();
    child<QPushButton>(&dlg, "Vyber")->click();
    QCOMPARE(child<QLabel>(&dlg, "DBTnazev")->text(), QStringLiteral("Zkušební ocel"));
    ui.answers = {Answer::Yes};
    dlg.close();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(r.received.size(), 1);
    QCOMPARE(r.received[0].pol_a, 800.0);
}

void TestMaterial::listingStart() {
    RecordingUi ui;
    TVypisMat w;
    QVERIFY(w.isConnected());
    QCOMPARE(w.materials()->rowCount(), 6);
    QVERIFY(child<QTableView>(&w, "DBGOcely")->isColumnHidden(0));
    QCOMPARE(gridText(w.materials(), 0, 1), QStringLiteral("Zkušební ocel"));
    QVERIFY(!child<QTableView>(&w, "DBGTeploty")->isEnabled());
    QCOMPARE(w.temperatures()->rowCount(), 0);
    QCOMPARE(w.constants()->rowCount(), 0);
    QVERIFY(ui.messages.isEmpty());
}

void TestMaterial::listingRerunsOnClickPressAndRelease() {
    RecordingUi ui;
    TVypisMat w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = child<QTableView>(&w, "DBGOcely");
    int before = MaterialQuery::executions();
    clickRow(grid, w.materials(), 0);
    QCOMPARE(MaterialQuery::executions() - before, 1);
    QVERIFY(child<QTableView>(&w, "DBGTeploty")->isEnabled());
    QVERIFY(child<QTableView>(&w, "DBGTeploty")->isColumnHidden(0));
    QCOMPARE(w.temperatures()->rowCount(), 3);
    before = MaterialQuery::executions();
    QTest::keyClick(grid, Qt::Key_Down); // press and release: two re-runs
    QCOMPARE(MaterialQuery::executions() - before, 2);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(w.temperatures()->rowCount(), 0); // "Bez teplot", after the release
    QTableView* temps = child<QTableView>(&w, "DBGTeploty");
    QTest::keyClick(grid, Qt::Key_Up);
    before = MaterialQuery::executions();
    clickRow(temps, w.temperatures(), 1);
    QCOMPARE(MaterialQuery::executions() - before, 1);
    QCOMPARE(w.constants()->rowCount(), 1);
    QCOMPARE(w.constants()->columnCount(), 54);
    QCOMPARE(gridText(w.constants(), 0, 7), QStringLiteral("100"));
}

void TestMaterial::listingReleaseWithoutPress() {
    // Enter closing a message box over the grid: its release reaches the
    // grid, its press did not, and nothing re-runs.
    RecordingUi ui;
    TVypisMat w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = child<QTableView>(&w, "DBGOcely");
    clickRow(grid, w.materials(), 0);
    const int before = MaterialQuery::executions();
    QTest::keyRelease(grid, Qt::Key_Return);
    QTest::keyRelease(child<QTableView>(&w, "DBGTeploty"), Qt::Key_Escape);
    QCOMPARE(MaterialQuery::executions(), before);
    QTest::keyClick(grid, Qt::Key_Down); // a whole key stroke still runs twice
    QCOMPARE(MaterialQuery::executions() - before, 2);
}

void TestMaterial::listingShiftShowsLowestTemperature() {
    RecordingUi ui;
    TVypisMat w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = child<QTableView>(&w, "DBGOcely");
    clickRow(grid, w.materials(), 2);
    QTest::keyClick(child<QTableView>(&w, "DBGTeploty"), Qt::Key_Shift);
    QCOMPARE(w.constants()->rowCount(), 2); // "Dvakrát" at 20 °C, linked twice
    QCOMPARE(gridText(w.constants(), 0, 0), QStringLiteral("Dvakrát"));
    QCOMPARE(gridText(w.constants(), 0, 7), QStringLiteral("20"));
}

void TestMaterial::listingMaterialWithoutTemperatures() {
    RecordingUi ui;
    TVypisMat w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = child<QTableView>(&w, "DBGOcely");
    clickRow(grid, w.materials(), 0);
    QTest::keyClick(child<QTableView>(&w, "DBGTeploty"), Qt::Key_Shift);
    QCOMPARE(gridText(w.constants(), 0, 0), QStringLiteral("Zkušební ocel"));
    clickRow(grid, w.materials(), 1);
    QCOMPARE(w.temperatures()->rowCount(), 0);
    QCOMPARE(gridText(w.constants(), 0, 0), QStringLiteral("Zkušební ocel")); // untouched
}

void TestMaterial::listingUkoncit() {
    RecordingUi ui;
    TVypisMat w;
    w.show();
    ui.answers = {Answer::No, Answer::Yes};
    child<QPushButton>(&w, "Ukoncit")->click();
    QVERIFY(w.isVisible());
    child<QPushButton>(&w, "Ukoncit")->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(ui.texts(), QStringList(2, QStringLiteral("Skutečně chcete ukončit prohlížení výpisu ?")));
    w.show();
    ui.clear();
    w.close(); // the close box asks nothing
    QVERIFY(!w.isVisible());
    QVERIFY(ui.messages.isEmpty());
}

void TestMaterial::listingFailingStatement() {
    test::useTestDb(qEnvironmentVariable("PROLIS_TEST_DB_BROKEN"));
    RecordingUi ui;
    TVypisMat w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = child<QTableView>(&w, "DBGOcely");
    clickRow(grid, w.materials(), 0);
    QCOMPARE(w.temperatures()->rowCount(), 1);
    QTest::keyClick(child<QTableView>(&w, "DBGTeploty"), Qt::Key_Shift);
    QCOMPARE(ui.messages.size(), 2); // press and release
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QVERIFY2(ui.messages[0].text.contains(QStringLiteral("doesn't exist")), qPrintable(ui.messages[0].text));
    QCOMPARE(w.constants()->rowCount(), 0);
    QVERIFY(w.isVisible());
}

QTEST_MAIN(TestMaterial)
#include "test_material.moc"
