// The check boxes of the history panel and the actions a ticked line runs.
#include "core/HistoryActions.h"
#include "core/PanelChecks.h"

#include <QtTest>

using namespace prolis;

class TestPanelChecks : public QObject {
    Q_OBJECT
private slots:
    void panelChecks_data();
    void panelChecks();
    void tickedActions_data();
    void tickedActions();
};

void TestPanelChecks::panelChecks_data() {
    QTest::addColumn<QList<int>>("clicks"); // box * 2 + checked
    QTest::addColumn<QString>("state");     // ulozit txt doc tisk vymaz txtVisible docVisible
    using B = PanelChecks;
    QTest::newRow("Uložit shows both clear") << QList<int>{B::Ulozit * 2 + 1} << "1000011";
    QTest::newRow("Uložit cleared hides")
        << QList<int>{B::Ulozit * 2 + 1, B::Txt * 2 + 1, B::Ulozit * 2} << "0100000";
    QTest::newRow("TXT clears Word") << QList<int>{B::Ulozit * 2 + 1, B::Doc * 2 + 1, B::Txt * 2 + 1}
                                     << "1100011";
    QTest::newRow("Word clears TXT") << QList<int>{B::Ulozit * 2 + 1, B::Txt * 2 + 1, B::Doc * 2 + 1}
                                     << "1010011";
    QTest::newRow("Uložit and Tisk together") << QList<int>{B::Ulozit * 2 + 1, B::Tisk * 2 + 1} << "1001011";
    QTest::newRow("Vymaž clears all")
        << QList<int>{B::Ulozit * 2 + 1, B::Txt * 2 + 1, B::Tisk * 2 + 1, B::Vymaz * 2 + 1} << "0000100";
    QTest::newRow("Tisk clears Vymaž") << QList<int>{B::Vymaz * 2 + 1, B::Tisk * 2 + 1} << "0001000";
    QTest::newRow("Uložit clears Vymaž") << QList<int>{B::Vymaz * 2 + 1, B::Ulozit * 2 + 1} << "1000011";
}

void TestPanelChecks::panelChecks() {
    QFETCH(QList<int>, clicks);
    QFETCH(QString, state);
    PanelChecks c;
    c.open();
    for (int click : clicks)
        c.userToggled(static_cast<PanelChecks::Box>(click / 2), click % 2);
    const QString got = QString("%1%2%3%4%5%6%7")
                            .arg(int(c.ulozit))
                            .arg(int(c.txt))
                            .arg(int(c.doc))
                            .arg(int(c.tisk))
                            .arg(int(c.vymaz))
                            .arg(int(c.txtVisible))
                            .arg(int(c.docVisible));
    QCOMPARE(got, state);
}

void TestPanelChecks::tickedActions_data() {
    QTest::addColumn<QList<int>>("clicks"); // box * 2 + checked
    QTest::addColumn<QStringList>("actions");
    using B = PanelChecks;
    QTest::newRow("nothing ticked") << QList<int>{} << QStringList{};
    QTest::newRow("Uložit alone writes nothing") << QList<int>{B::Ulozit * 2 + 1} << QStringList{};
    QTest::newRow("TXT and Tisk: save, then print")
        << QList<int>{B::Tisk * 2 + 1, B::Ulozit * 2 + 1, B::Txt * 2 + 1} << QStringList{"text", "print"};
    QTest::newRow("Word") << QList<int>{B::Ulozit * 2 + 1, B::Doc * 2 + 1} << QStringList{"word"};
    QTest::newRow("Vymaž") << QList<int>{B::Vymaz * 2 + 1} << QStringList{"remove"};
}

void TestPanelChecks::tickedActions() {
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, actions);
    PanelChecks c;
    c.open();
    for (int click : clicks)
        c.userToggled(static_cast<PanelChecks::Box>(click / 2), click % 2);
    QStringList done;
    runTickedActions(c, {[&] { done << "text"; }, [&] { done << "word"; }, [&] { done << "print"; },
                         [&] { done << "remove"; }});
    QCOMPARE(done, actions);
}

QTEST_GUILESS_MAIN(TestPanelChecks)
#include "test_panelchecks.moc"
