// The page models of the printed reports: which elements a record yields,
// with the value labels where the forms put them.
#include "output/ReportPages.h"
#include "support/Records.h"

#include <QtTest>

using namespace prolis;
using namespace prolis::out;
using test::backwardRecord;
using test::forwardRecord;
using test::summaryRows;

namespace {
QStringList textsOf(const Page& page) {
    QStringList t;
    for (const TextElement& e : page.texts)
        t << e.text;
    return t;
}

QList<const TextElement*> valuesOf(const Page& page, const QString& field) {
    QList<const TextElement*> found;
    for (const TextElement& e : page.texts)
        if (e.field == field) found << &e;
    return found;
}

// The position (mm on the paper) of the one value label of a field.
QPointF valueAt(const Page& page, const QString& field) {
    const auto found = valuesOf(page, field);
    if (found.size() != 1) return {-1, -1};
    return {found[0]->x, found[0]->top};
}

bool hasGroup(const Page& page, const QStringList& wanted) {
    for (qsizetype i = 0; i + wanted.size() <= page.texts.size(); ++i) {
        bool match = true;
        for (qsizetype k = 0; k < wanted.size() && match; ++k)
            match = page.texts[i + k].text == wanted[k];
        if (match) return true;
    }
    return false;
}
} // namespace

class TestReportPages : public QObject {
    Q_OBJECT
private slots:
    void forwardConeDie();
    void forwardWithoutCone();
    void forwardValuePlaces_data();
    void forwardValuePlaces();
    void backwardFields();
    void emptyFieldEmptyLabel();
    void summaryLines_data();
    void summaryLines();
    void summaryPages();
};

void TestReportPages::forwardConeDie() {
    const fwd::Souhrn r = forwardRecord("forward-cone");
    const QList<Page> pages = forwardReport(r);
    QCOMPARE(pages.size(), 1);
    const Page& p = pages[0];
    QVERIFY(hasGroup(p, {"τ", "ρφ3", "=", r[fwd::Field::TauRoFi3]}));
    QVERIFY(hasGroup(p, {"τ", "ρφ2", "=", r[fwd::Field::TauRoFi2]})); // no "max" after it
    QVERIFY(hasGroup(p, {"σ", "z1", "="}) && hasGroup(p, {"σ", "r1", "="}) && hasGroup(p, {"τ", "rz1", "="}));
    QVERIFY(!textsOf(p).contains(QStringLiteral("max")));
    QCOMPARE(valuesOf(p, "F").size(), 1);
    QVERIFY(valuesOf(p, "Fmax").isEmpty() && valuesOf(p, "TauRoFi2max").isEmpty());
    QVERIFY(valuesOf(p, "TauRoFi2min").isEmpty());
    QVERIFY(textsOf(p).contains(QStringLiteral("Průtlačnice s redukčním kuželem:")));
    QVERIFY(textsOf(p).contains(QStringLiteral("Vstup do redukční části průtlačnice -")));
    QVERIFY(p.picture && p.picture->sketch == Sketch::Forward);
}

void TestReportPages::forwardWithoutCone() {
    const fwd::Souhrn r = forwardRecord("forward-without-cone");
    const Page p = forwardReport(r).constFirst();
    QVERIFY(!textsOf(p).contains(QStringLiteral("ρφ3")));
    QVERIFY(valuesOf(p, "TauRoFi3").isEmpty());
    QCOMPARE(valuesOf(p, "D3").size(), 1); // the dimension beside it stays
    QVERIFY(hasGroup(p, {"τ", "ρφ2", "max", "=", r[fwd::Field::TauRoFi2max]}));
    QVERIFY(hasGroup(p, {"σ", "z1max", "="}) && hasGroup(p, {"σ", "r1max", "="}) &&
            hasGroup(p, {"τ", "rz1max", "="}));
    QVERIFY(hasGroup(p, {"F", "max", "=", r[fwd::Field::Fmax]}));
    QVERIFY(valuesOf(p, "F").isEmpty());
    QVERIFY(textsOf(p).contains(QStringLiteral("Průtlačnice bez redukčního kužele:")));
    QVERIFY(textsOf(p).contains(QStringLiteral("Vstup do průtlačnice -")));
}

void TestReportPages::forwardValuePlaces_data() {
    // A few rows of the form (mm from the band's corner, which is at the margins).
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QPointF>("band");
    QTest::newRow("Ocel") << "forward-cone"
                          << "Ocel" << QPointF(21.2, 26.5);
    QTest::newRow("SigmaRo2") << "forward-cone"
                              << "SigmaRo2" << QPointF(20.2, 104.8);
    QTest::newRow("TauRZ1") << "forward-cone"
                            << "TauRZ1" << QPointF(27.1, 201.1);
    QTest::newRow("TauRZ1max") << "forward-without-cone"
                               << "TauRZ1max" << QPointF(27.1, 201.1);
    QTest::newRow("L3") << "forward-cone"
                        << "L3" << QPointF(153.8, 169.0);
    QTest::newRow("Fmax") << "forward-without-cone"
                          << "Fmax" << QPointF(25.1, 250.7);
}

void TestReportPages::forwardValuePlaces() {
    QFETCH(QString, record);
    QFETCH(QString, field);
    QFETCH(QPointF, band);
    const QPointF at = valueAt(forwardReport(forwardRecord(record)).constFirst(), field);
    QCOMPARE(at, band + QPointF(Margin, Margin));
}

void TestReportPages::backwardFields() {
    const bwd::Souhrn r = backwardRecord();
    const Page p = backwardReport(r).constFirst();
    for (const char* name : bwd::fieldNames())
        QVERIFY2(valuesOf(p, QLatin1String(name)).size() == 1, name);
    for (size_t i = 0; i < bwd::FieldCount; ++i) {
        const TextElement* e = valuesOf(p, QLatin1String(bwd::fieldNames()[i])).constFirst();
        if (i == size_t(bwd::Field::Teplota))
            QCOMPARE(e->text, r.f[i] + QStringLiteral(" °C"));
        else
            QCOMPARE(e->text, r.f[i]);
    }
    QCOMPARE(valueAt(p, "SigmaZ1str"), QPointF(Margin + 24.5, Margin + 155.8));
    QCOMPARE(valueAt(p, "H"), QPointF(Margin + 119.1, Margin + 210.3));
    QVERIFY(p.picture && p.picture->sketch == Sketch::Backward);
}

void TestReportPages::emptyFieldEmptyLabel() {
    fwd::Souhrn r = forwardRecord("forward-cone");
    r[fwd::Field::SigmaP3] = QString();
    const Page p = forwardReport(r).constFirst();
    QCOMPARE(valuesOf(p, "SigmaP3").size(), 1);
    QCOMPARE(valuesOf(p, "SigmaP3").constFirst()->text, QString());
}

void TestReportPages::summaryLines_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("top"); // mm from the paper's top edge
    QTest::newRow("0") << 0 << 0 << 46.3;
    QTest::newRow("1") << 1 << 0 << 50.93;
    QTest::newRow("50, the last of a page") << 50 << 0 << 46.3 + 4.63 * 50;
    QTest::newRow("51, the first of the next") << 51 << 1 << 46.3;
    QTest::newRow("59") << 59 << 1 << 46.3 + 4.63 * 8;
}

void TestReportPages::summaryLines() {
    QFETCH(int, line);
    QFETCH(int, page);
    QFETCH(double, top);
    QList<bwd::SouhrnVysl> rows;
    for (int i = 0; i < 60; ++i) {
        bwd::SouhrnVysl row = summaryRows().constFirst();
        row[bwd::SummaryField::Teplota] = QString::number(i);
        rows << row;
    }
    const QList<Page> pages = summaryReport(rows);
    int found = 0;
    for (const TextElement& e : pages[page].texts) {
        if (e.field != QLatin1String("Teplota") || e.text != QString::number(line)) continue;
        ++found;
        QVERIFY(qAbs(e.top - top) < 1e-9);
        QVERIFY(qAbs(e.x - (Margin + 34.6)) < 1e-9);
    }
    QCOMPARE(found, 1);
}

void TestReportPages::summaryPages() {
    // No rows: the header and the rule only.
    const QList<Page> empty = summaryReport({});
    QCOMPARE(empty.size(), 1);
    QVERIFY(valuesOf(empty[0], "F").isEmpty());
    QCOMPARE(empty[0].rules.size(), 1);
    QCOMPARE(empty[0].rules[0].left, Margin + 5.6);
    QCOMPARE(empty[0].rules[0].width, 180.2);
    // 51 rows fill one page; 60 need a second with the header again.
    QList<bwd::SouhrnVysl> rows;
    for (int i = 0; i < 60; ++i)
        rows << summaryRows()[i % 4];
    QCOMPARE(summaryReport(rows.mid(0, SummaryLinesPerPage)).size(), 1);
    const QList<Page> pages = summaryReport(rows);
    QCOMPARE(pages.size(), 2);
    for (const Page& p : pages) {
        QVERIFY(textsOf(p).contains(QStringLiteral("Zpětné kvazistatické protlačování - souhrn")));
        QCOMPARE(p.rules.size(), 1);
        QVERIFY(hasGroup(p, {"[J/mm", "3", "]"}));
    }
    QCOMPARE(valuesOf(pages[0], "F").size(), 51);
    QCOMPARE(valuesOf(pages[1], "F").size(), 9);
    // The lines keep the stored order of the rows.
    QCOMPARE(valuesOf(pages[0], "Teplota")[1]->text, rows[1][bwd::SummaryField::Teplota]);
}

QTEST_GUILESS_MAIN(TestReportPages)
#include "test_reportpages.moc"
