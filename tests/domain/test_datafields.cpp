// The one table of the material record's fields: it covers every member of
// the record, each field once, and every column of the database schema.
#include "core/JsonWriter.h"
#include "domain/DataFields.h"
#include "domain/DataJson.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace prolis;

namespace {
// Converts to any member type: counts the members of an aggregate.
struct AnyMember {
    template <class T> operator T() const;
};

template <class T, class... A> constexpr int memberCount() {
    if constexpr (requires { T{A{}..., AnyMember{}}; })
        return memberCount<T, A..., AnyMember>();
    else
        return sizeof...(A);
}

} // namespace

class TestDataFields : public QObject {
    Q_OBJECT
private slots:
    void everyMemberOnce();
    void fileRoundTrip();
    void schemaColumns_data();
    void schemaColumns();
};

void TestDataFields::everyMemberOnce() {
    // A member added to the record without a row here shows in the count.
    QSet<QString> keys;
    for (const DataField& f : dataFields())
        keys.insert(f.key);
    QCOMPARE(int(keys.size()), memberCount<Data>());
    // Every number is a different place inside the record.
    Data d;
    QSet<const double*> places;
    const auto* begin = reinterpret_cast<const char*>(&d);
    for (const DataField& f : dataFields()) {
        QCOMPARE(f.in(d) != nullptr, f.kind == FieldKind::Number);
        if (!f.in(d)) continue;
        const auto* p = reinterpret_cast<const char*>(f.in(d));
        QVERIFY2(p >= begin && p < begin + sizeof(Data), qPrintable(f.column));
        QVERIFY2(!places.contains(f.in(d)), qPrintable(f.column));
        places.insert(f.in(d));
        QCOMPARE(dataField(f.name()), &f);
    }
    QCOMPARE(int(places.size()),
             (int(sizeof(d.ppn) + sizeof(d.pn3) + sizeof(d.pn5) + sizeof(d.rlff) + sizeof(d.rlfd)) /
              int(sizeof(double))) +
                 12);
}

void TestDataFields::fileRoundTrip() {
    // Each number distinct, through a material file and back: nothing is
    // dropped or swapped, and the keys come in the record's order.
    Data d;
    d.nazev = QStringLiteral("Ocel 12 050");
    d.teplo = -40;
    double v = 1;
    for (const DataField& f : dataFields())
        if (double* p = f.in(d)) *p = (v += 0.125);
    QByteArray json;
    {
        JsonWriter w(json, true);
        writeData(w, d);
        w.finish();
    }
    QCOMPARE(dataFromJson(json, QStringLiteral("t.json")), d);
    qsizetype at = 0;
    for (const DataField& f : dataFields()) {
        const qsizetype found = json.indexOf('"' + f.key.toLatin1() + '"');
        QVERIFY2(found >= at, qPrintable(f.key));
        at = found;
    }
}

void TestDataFields::schemaColumns_data() {
    QTest::addColumn<int>("table");
    for (DataTable t :
         {DataTable::Materialy, DataTable::Teplota, DataTable::Rovnice, DataTable::Ppol, DataTable::Ppn})
        QTest::newRow(qPrintable(tableName(t))) << int(t);
}

void TestDataFields::schemaColumns() {
    // The columns of each table in the schema the programs create, beside
    // the key, are exactly the fields stored in it (in any order).
    QFETCH(int, table);
    QFile f(QStringLiteral(PROLIS_TEST_DATA "/../../db/schema.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString schema = QString::fromUtf8(f.readAll());
    const QRegularExpression create(
        QStringLiteral("CREATE TABLE %1 \\((.*?)\\) ENGINE").arg(tableName(DataTable(table))),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = create.match(schema);
    QVERIFY(m.hasMatch());
    QStringList columns;
    for (const QString& line : m.captured(1).split(u'\n')) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u"--") || t.startsWith(u"KEY") || t.startsWith(u"PRIMARY")) continue;
        const QString name = t.section(u' ', 0, 0);
        if (name != u"id") columns << name;
    }
    QStringList expected;
    for (const DataField* field : fieldsIn(DataTable(table)))
        expected << field->name();
    columns.sort();
    expected.sort();
    QCOMPARE(columns, expected);
}

QTEST_GUILESS_MAIN(TestDataFields)
#include "test_datafields.moc"
