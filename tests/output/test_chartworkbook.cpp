// The force-temperature workbook, read back from the written file.
#include "core/Errors.h"
#include "output/ChartWorkbook.h"
#include "support/FullDisk.h"
#include "support/Records.h"
#include "support/Zip.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QXmlStreamReader>
#include <QtTest>
#include <unistd.h>

using namespace prolis;
using namespace prolis::out;

namespace {
QList<bwd::SouhrnVysl> rowsAt(const QList<int>& temperatures) {
    QList<bwd::SouhrnVysl> rows;
    for (int t : temperatures) {
        bwd::SouhrnVysl row = test::summaryRows().constFirst();
        row[bwd::SummaryField::Teplota] = QString::number(t);
        row[bwd::SummaryField::F] = QStringLiteral("%1,25").arg(1000 + t);
        rows << row;
    }
    return rows;
}

// The cells of the first worksheet: reference -> (text or number, is a number).
struct Cell {
    QString value;
    bool number = false;
};

QMap<QString, Cell> cells(const QByteArray& xlsx) {
    QStringList shared;
    QXmlStreamReader s(test::zipEntry(xlsx, "xl/sharedStrings.xml"));
    while (!s.atEnd())
        if (s.readNext() == QXmlStreamReader::StartElement && s.name() == u"t") shared << s.readElementText();
    QMap<QString, Cell> out;
    QXmlStreamReader x(test::zipEntry(xlsx, "xl/worksheets/sheet1.xml"));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == u"c") {
            ref = x.attributes().value("r").toString();
            type = x.attributes().value("t").toString();
        } else if (x.name() == u"v") {
            const QString v = x.readElementText();
            out[ref] = type == u"s" ? Cell{shared.value(v.toInt()), false} : Cell{v, true};
        }
    }
    return out;
}

QString chartXml(const QByteArray& xlsx) {
    return QString::fromUtf8(test::zipEntry(xlsx, "xl/charts/chart1.xml"));
}
} // namespace

class TestChartWorkbook : public QObject {
    Q_OBJECT
private slots:
    void oneRow();
    void threeRows();
    void titlesNameTheFirstRow();
    void hostileNames_data();
    void hostileNames();
    void fullTemporaryFolder();
    void sheetsAndLook();
    void refusals();
};

void TestChartWorkbook::oneRow() {
    const QByteArray xlsx = chartWorkbook(rowsAt({20}));
    const auto c = cells(xlsx);
    QCOMPARE(c.keys(), (QStringList{"A1", "A2", "B1", "B2"})); // rows 1 and 2 only
    const QString chart = chartXml(xlsx);
    QVERIFY(chart.contains(QStringLiteral("<c:f>List1!$A$2:$A$2</c:f>")));
    QVERIFY(chart.contains(QStringLiteral("<c:f>List1!$B$2:$B$2</c:f>")));
    QVERIFY(!chart.contains(QStringLiteral("trendline")));
}

void TestChartWorkbook::threeRows() {
    const QByteArray xlsx = chartWorkbook(rowsAt({20, 100, 200}));
    const auto c = cells(xlsx);
    QCOMPARE(c["A1"].value, QStringLiteral("Teplota [°C]"));
    QCOMPARE(c["B1"].value, QStringLiteral("Protlačovací síla [kN]"));
    const QList<int> temperatures{20, 100, 200};
    for (int i = 0; i < 3; ++i) {
        const Cell a = c[QStringLiteral("A%1").arg(i + 2)], b = c[QStringLiteral("B%1").arg(i + 2)];
        QVERIFY(a.number && b.number);
        QCOMPARE(a.value, QString::number(temperatures[i]));         // an integer
        QCOMPARE(b.value.toDouble(), 1000 + temperatures[i] + 0.25); // the text read with the decimal comma
    }
    const QString chart = chartXml(xlsx);
    QVERIFY(chart.contains(QStringLiteral("<c:f>List1!$A$2:$A$4</c:f>")));
    QVERIFY(chart.contains(QStringLiteral("<c:f>List1!$B$2:$B$4</c:f>")));
    QVERIFY(chart.contains(QStringLiteral("<c:v>Závislost tvářecí síly\nna teplotě</c:v>")));
    QVERIFY(chart.contains(QStringLiteral("<c:name>Trend:\nPolynom 3 stupně</c:name>")));
    QVERIFY(chart.contains(QStringLiteral("<c:trendlineType val=\"poly\"/><c:order val=\"3\"/>")));
    QVERIFY(chart.contains(QStringLiteral("<c:dispEq val=\"1\"/>")));
    QVERIFY(!chart.contains(QStringLiteral("forward")) && !chart.contains(QStringLiteral("backward")));
    QVERIFY(chart.contains(
        QStringLiteral("<c:trendline><c:name>Trend:\nPolynom 3 stupně</c:name><c:spPr><a:ln w=\"3175\">")));
    QVERIFY(chart.contains(QStringLiteral("<a:t>Teplota [°C]</a:t>")) &&
            chart.contains(QStringLiteral("<a:t>Síla [kN]</a:t>")));
    QVERIFY(chart.contains(QStringLiteral("<c:scatterStyle val=\"lineMarker\"/>")));
    QVERIFY(
        chart.contains(QStringLiteral("<c:spPr><a:ln w=\"28575\"><a:noFill/></a:ln></c:spPr>"))); // no line
    QVERIFY(!chart.contains(QStringLiteral("dTable")));
}

void TestChartWorkbook::titlesNameTheFirstRow() {
    QList<bwd::SouhrnVysl> rows = rowsAt({20, 100});
    rows[1][bwd::SummaryField::Ocel] = QStringLiteral("Jiná ocel");
    const QByteArray xlsx = chartWorkbook(rows);
    const QString first = rows[0][bwd::SummaryField::Ocel];
    QVERIFY(chartXml(xlsx).contains(QStringLiteral("<a:t>Materiál: ") + first + QStringLiteral("</a:t>")));
    QVERIFY(QString::fromUtf8(test::zipEntry(xlsx, "docProps/core.xml"))
                .contains(QStringLiteral("<dc:title>Výsledky pro materiál: ") + first +
                          QStringLiteral("</dc:title>")));
}

void TestChartWorkbook::hostileNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    const QString fffd(QChar::ReplacementCharacter);
    QTest::newRow("markup") << QStringLiteral("C45 & <b> \"x\"") << QStringLiteral("C45 & <b> \"x\"");
    QTest::newRow("control") << QStringLiteral("C45\x01\x1b") << QStringLiteral("C45") + fffd + fffd;
    QTest::newRow("U+FFFE") << (QStringLiteral("C45") + QChar(0xfffe)) << QStringLiteral("C45") + fffd;
    QTest::newRow("lone surrogate") << (QStringLiteral("C45") + QChar(0xd83d) + QStringLiteral("ž"))
                                    << QStringLiteral("C45") + fffd + QStringLiteral("ž");
}

void TestChartWorkbook::hostileNames() {
    // Any character of a material name from the database: every part of the
    // workbook is XML that a reader takes, the name shown with only what XML
    // cannot hold replaced.
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QList<bwd::SouhrnVysl> rows = rowsAt({20, 100});
    rows[0][bwd::SummaryField::Ocel] = name;
    const QByteArray xlsx = chartWorkbook(rows);
    QCOMPARE(test::malformedXmlParts(xlsx), QStringList());
    QString title;
    QXmlStreamReader x(test::zipEntry(xlsx, "xl/charts/chart1.xml"));
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"t" && title.isEmpty())
            title = x.readElementText();
    QCOMPARE(title, QStringLiteral("Materiál: ") + shown);
}

void TestChartWorkbook::fullTemporaryFolder() {
    // The temporary folder fills up while the workbook is written: one file
    // error with the reason (a file error: prolis-calc exits 3), and nothing
    // of the library's own on standard error.
    QTemporaryFile errors;
    QVERIFY(errors.open());
    const int code = test::withDiskFullAfter(2000, [&] {
        ::dup2(errors.handle(), STDERR_FILENO);
        try {
            chartWorkbook(rowsAt({20, 100, 200}));
            return 8;
        } catch (const FileError& e) {
            return e.message().startsWith(QStringLiteral("Sešit s grafem nelze vytvořit: ")) ? 7 : 9;
        }
    });
    QCOMPARE(code, 7);
    QCOMPARE(errors.readAll(), QByteArray());
}

void TestChartWorkbook::sheetsAndLook() {
    const QByteArray xlsx = chartWorkbook(rowsAt({20, 100}));
    const QString workbook = QString::fromUtf8(test::zipEntry(xlsx, "xl/workbook.xml"));
    QVERIFY(workbook.contains(
        QRegularExpression(QStringLiteral("<sheets><sheet name=\"List1\"[^>]*/><sheet name=\"[^\"]+\""))));
    QVERIFY(workbook.contains(QStringLiteral("activeTab=\"1\""))); // the chart sheet
    QVERIFY(!test::zipEntry(xlsx, "xl/chartsheets/sheet1.xml").isEmpty());
    QVERIFY(test::zipEntry(xlsx, "xl/styles.xml")
                .contains("<patternFill patternType=\"solid\"><fgColor rgb=\"FFC0C0C0\"/>"));
    // The columns as wide as their headings (digits' widths; the long heading wider).
    const QString sheet = QString::fromUtf8(test::zipEntry(xlsx, "xl/worksheets/sheet1.xml"));
    const auto width = [&](int col) {
        const auto m =
            QRegularExpression(QStringLiteral("<col min=\"%1\" max=\"%1\" width=\"([\\d.]+)\"").arg(col))
                .match(sheet);
        return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
    };
    QVERIFY(width(1) >= 10 && width(1) <= 16);
    QVERIFY(width(2) >= 18 && width(2) <= 26);
}

void TestChartWorkbook::refusals() {
    try {
        chartWorkbook({});
        QFAIL("no error without rows");
    } catch (const Error& e) {
        QCOMPARE(e.message(), MsgNoSummaryRows);
    }
    QList<bwd::SouhrnVysl> rows = rowsAt({20});
    rows[0][bwd::SummaryField::F] = QStringLiteral("abc");
    try {
        chartWorkbook(rows);
        QFAIL("no error for a force that is no number");
    } catch (const ConvertError&) {
    }
}

QTEST_GUILESS_MAIN(TestChartWorkbook)
#include "test_chartworkbook.moc"
