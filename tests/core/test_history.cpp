// The history of a calculation unit: the exchange sort (the order of equal
// temperatures is part of the behaviour), deletion by moving the last entry,
// and following an entry through both.
#include "core/History.h"

#include <QtTest>

using namespace prolis;

namespace {
// An entry: its temperature and the order in which it was created.
struct Item {
    int temperature;
    int created;
};

History<Item> historyOf(const QList<int>& temperatures) {
    History<Item> h;
    for (int i = 0; i < temperatures.size(); ++i)
        h.append(Item{temperatures[i], i});
    return h;
}

QList<int> createdOrder(const History<Item>& h) {
    QList<int> order;
    for (int i = 0; i < h.size(); ++i)
        order.append(h.at(i).created);
    return order;
}

void sort(History<Item>& h) {
    h.sortByTemperature([](const Item& i) { return i.temperature; });
}
} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void exchangeSort_data();
    void exchangeSort();
    void exchangeSortOfMany_data();
    void exchangeSortOfMany();
    void remove_data();
    void remove();
    void serialFollowsEntry();
    void temperatureText_data();
    void temperatureText();
};

void TestHistory::exchangeSort_data() {
    QTest::addColumn<QList<int>>("temperatures"); // in the order of creation
    QTest::addColumn<QList<int>>("order");        // the creation numbers after sorting
    QTest::newRow("empty") << QList<int>{} << QList<int>{};
    QTest::newRow("one") << QList<int>{20} << QList<int>{0};
    QTest::newRow("100, 200, 20") << QList<int>{100, 200, 20} << QList<int>{2, 0, 1};
    QTest::newRow("200, 20, 100") << QList<int>{200, 20, 100} << QList<int>{1, 2, 0};
    // The two entries at 5 change places through their exchanges with others.
    QTest::newRow("5 (A), 3, 5 (B), 1") << QList<int>{5, 3, 5, 1} << QList<int>{3, 1, 2, 0};
    QTest::newRow("100 first, 100 second, 20") << QList<int>{100, 100, 20} << QList<int>{2, 1, 0};
    // Equal temperatures alone are never exchanged.
    QTest::newRow("three equal") << QList<int>{7, 7, 7} << QList<int>{0, 1, 2};
    QTest::newRow("equal after a lower one") << QList<int>{1, 7, 7, 7} << QList<int>{0, 1, 2, 3};
    QTest::newRow("negative") << QList<int>{0, -20, 20} << QList<int>{1, 0, 2};
}

void TestHistory::exchangeSort() {
    QFETCH(QList<int>, temperatures);
    QFETCH(QList<int>, order);
    History<Item> h = historyOf(temperatures);
    sort(h);
    QCOMPARE(createdOrder(h), order);
    sort(h); // a sorted history stays as it is
    QCOMPARE(createdOrder(h), order);
}

void TestHistory::exchangeSortOfMany_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("temperatures"); // how many distinct values: few make many ties
    QTest::newRow("300 of 4 values") << 300 << 4;
    QTest::newRow("300 of 1000 values") << 300 << 1000;
    QTest::newRow("2 of 2 values") << 2 << 2;
}

// Long histories with many equal temperatures end exactly as the exchanges
// done on the entries themselves leave them.
void TestHistory::exchangeSortOfMany() {
    QFETCH(int, count);
    QFETCH(int, temperatures);
    QRandomGenerator random(count * 31 + temperatures);
    QList<Item> items;
    for (int i = 0; i < count; ++i)
        items.append(Item{random.bounded(temperatures), i});
    QList<int> temps;
    for (const Item& i : items)
        temps.append(i.temperature);
    History<Item> h = historyOf(temps);
    const quint64 followed = 1 + quint64(count / 2); // the serial of the middle entry
    for (int i = 0; i < items.size() - 1; ++i)
        for (int j = i + 1; j < items.size(); ++j)
            if (items[i].temperature > items[j].temperature) std::swap(items[i], items[j]);
    QList<int> expected;
    for (const Item& i : items)
        expected.append(i.created);
    sort(h);
    QCOMPARE(createdOrder(h), expected);
    QCOMPARE(h.at(*h.indexOf(followed)).created, count / 2);
}

void TestHistory::remove_data() {
    QTest::addColumn<QList<int>>("temperatures");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("removed"); // right after the removal
    QTest::addColumn<QList<int>>("sorted");
    QTest::newRow("entry 0 of three: the last moves into its slot")
        << QList<int>{20, 100, 200} << 0 << QList<int>{2, 1} << QList<int>{1, 2};
    QTest::newRow("the last entry: no copy")
        << QList<int>{20, 100, 200} << 2 << QList<int>{0, 1} << QList<int>{0, 1};
    QTest::newRow("the middle entry")
        << QList<int>{20, 100, 200} << 1 << QList<int>{0, 2} << QList<int>{0, 2};
    QTest::newRow("the only entry") << QList<int>{20} << 0 << QList<int>{} << QList<int>{};
}

void TestHistory::remove() {
    QFETCH(QList<int>, temperatures);
    QFETCH(int, index);
    QFETCH(QList<int>, removed);
    QFETCH(QList<int>, sorted);
    History<Item> h = historyOf(temperatures);
    h.remove(index);
    QCOMPARE(createdOrder(h), removed);
    sort(h);
    QCOMPARE(createdOrder(h), sorted);
}

void TestHistory::serialFollowsEntry() {
    History<Item> h;
    h.append(Item{100, 0});
    h.append(Item{200, 1});
    const quint64 latest = h.append(Item{20, 2});
    QCOMPARE(h.indexOf(latest), std::optional<int>(2));
    sort(h);
    QCOMPARE(h.indexOf(latest), std::optional<int>(0));
    h.remove(1); // the 100 °C entry: 200 moves into slot 1
    QCOMPARE(h.indexOf(latest), std::optional<int>(0));
    h.remove(0);
    QCOMPARE(h.indexOf(latest), std::nullopt);
    QVERIFY(h.append(Item{5, 3}) != latest); // serial numbers are not reused
}

void TestHistory::temperatureText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("20") << "20" << 20;
    QTest::newRow("-40") << "-40" << -40;
    QTest::newRow("blanks around") << " 99 " << 99;
}

void TestHistory::temperatureText() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(temperatureValue(text), value);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
