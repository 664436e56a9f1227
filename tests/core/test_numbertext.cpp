#include "core/Errors.h"
#include "core/JsonWriter.h"
#include "core/NumberText.h"

#include <QFile>
#include <QtTest>
#include <charconv>
#include <clocale>

using namespace prolis;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void jsonNumbers_data();
    void jsonNumbers();
    void fixed_data();
    void fixed();
    void general_data();
    void general();
    void againstReference();
    void parse_data();
    void parse();
    void integers_data();
    void integers();
};

void TestNumberText::initTestCase() {
    // The process locale as a program sets it from the environment. Under a
    // Czech locale (the run with PROLIS_EXPECT_DECIMAL_COMMA=1) the C library
    // reads and writes numbers with a comma: nothing here may follow it.
    setlocale(LC_ALL, "");
    if (qEnvironmentVariableIntValue("PROLIS_EXPECT_DECIMAL_COMMA") == 1)
        QVERIFY2(QByteArray(localeconv()->decimal_point) == ",",
                 "the Czech locale is missing (scripts/test generates cs_CZ.UTF-8)");
}

void TestNumberText::fixed_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.125 halves up") << 0.125 << 2 << 15 << "0,13";
    QTest::newRow("2.675 via 15 digits") << 2.675 << 2 << 15 << "2,68";
    QTest::newRow("1204.675") << 1204.675 << 2 << 15 << "1204,68";
    QTest::newRow("-2.675 away from zero") << -2.675 << 2 << 15 << "-2,68";
    QTest::newRow("-0.001 no minus") << -0.001 << 2 << 15 << "0,00";
    QTest::newRow("-0.0 no minus") << -0.0 << 2 << 15 << "0,00";
    QTest::newRow("three 2.9996") << 2.9996 << 3 << 6 << "3,000";
    QTest::newRow("three 1204.675 at 6 digits") << 1204.675 << 3 << 6 << "1204,670";
    QTest::newRow("three 1.0005") << 1.0005 << 3 << 6 << "1,001";
    QTest::newRow("three 7 integer digits") << 1234567.0 << 3 << 6 << "1,23457E6";
    QTest::newRow("three rounds into 7 digits") << 999999.6 << 3 << 6 << "1E6";
    QTest::newRow("three 6 integer digits") << 999999.4 << 3 << 6 << "999999,000";
    QTest::newRow("carry into new digit") << 9.9996 << 3 << 15 << "10,000";
    QTest::newRow("tiny") << 1e-20 << 2 << 15 << "0,00";
    QTest::newRow("half of last decimal 0.005") << 0.005 << 2 << 15 << "0,01";
    QTest::newRow("no decimals") << 2.5 << 0 << 15 << "3";
    QTest::newRow("fixed 1 11604.7") << 11604.65 << 1 << 15 << "11604,7";
    QTest::newRow("16 integer digits") << 1234567890123456.0 << 2 << 15 << "1,23456789012346E15";
    QTest::newRow("15 integer digits") << 123456789012345.0 << 2 << 15 << "123456789012345,00";
}

void TestNumberText::fixed() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(int, precision);
    QFETCH(QString, text);
    QCOMPARE(formatFixed(value, decimals, precision), text);
}

void TestNumberText::general_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.0001 fixed") << 0.0001 << "0,0001";
    QTest::newRow("0.00001 scientific") << 0.00001 << "1E-5";
    QTest::newRow("1.5e-7") << 1.5e-7 << "1,5E-7";
    QTest::newRow("1/3") << 1.0 / 3.0 << "0,333333333333333";
    QTest::newRow("1234567") << 1234567.0 << "1234567";
    QTest::newRow("1e20") << 1e20 << "1E20";
    QTest::newRow("1e15 has 16 digits") << 1e15 << "1E15";
    QTest::newRow("15 digits") << 999999999999999.0 << "999999999999999";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("0.1") << 0.1 << "0,1";
    QTest::newRow("negative") << -35.6824823 << "-35,6824823";
    QTest::newRow("0.6667") << 0.6667 << "0,6667";
    QTest::newRow("rounds up at 15") << 0.1 + 0.2 << "0,3";
}

void TestNumberText::general() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value), text);
}

void TestNumberText::againstReference() {
    // Reference texts from an independent exact-decimal implementation.
    QFile f(QStringLiteral(PROLIS_TEST_DATA "/number_texts.tsv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    int lines = 0;
    while (!f.atEnd()) {
        const QList<QByteArray> cols = f.readLine().trimmed().split('\t');
        QCOMPARE(cols.size(), 6);
        // The value as a hexadecimal float, read without the process locale.
        const QByteArray hex = cols[0];
        const bool negative = hex.startsWith('-');
        const QByteArray digits = hex.mid(negative ? 3 : 2); // after "0x" or "-0x"
        double v = 0;
        std::from_chars(digits.constData(), digits.constData() + digits.size(), v, std::chars_format::hex);
        if (negative) v = -v;
        const QString where = QString::fromLatin1(cols[0]);
        QCOMPARE(formatGeneral(v) + ' ' + where, QString::fromUtf8(cols[1]) + ' ' + where);
        QCOMPARE(formatFixed(v, 1) + ' ' + where, QString::fromUtf8(cols[2]) + ' ' + where);
        QCOMPARE(formatFixed(v, 2) + ' ' + where, QString::fromUtf8(cols[3]) + ' ' + where);
        QCOMPARE(formatFixed(v, 4) + ' ' + where, QString::fromUtf8(cols[4]) + ' ' + where);
        QCOMPARE(formatFixed3(v) + ' ' + where, QString::fromUtf8(cols[5]) + ' ' + where);
        ++lines;
    }
    QVERIFY(lines > 3000);
}

void TestNumberText::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("comma") << "2,5" << true << 2.5;
    QTest::newRow("integer") << "40" << true << 40.0;
    QTest::newRow("blanks around") << "  12,75 " << true << 12.75;
    QTest::newRow("sign") << "-0,5" << true << -0.5;
    QTest::newRow("plus") << "+3" << true << 3.0;
    QTest::newRow("leading comma") << ",5" << true << 0.5;
    QTest::newRow("trailing comma") << "5," << true << 5.0;
    QTest::newRow("exponent") << "1,5E3" << true << 1500.0;
    QTest::newRow("exponent sign") << "2e-2" << true << 0.02;
    QTest::newRow("0,0") << "0,0" << true << 0.0;
    QTest::newRow("underflow is zero") << "1E-400" << true << 0.0;
    // Sixteen significant digits: read exactly (the nearest double), not
    // through fifteen.
    QTest::newRow("16 digits") << "97998,17706322331" << true << 97998.17706322331;
    QTest::newRow("17 digits") << "0,30000000000000004" << true << 0.30000000000000004;
    QTest::newRow("lone comma") << "," << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("point") << "2.5" << false << 0.0;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0;
    QTest::newRow("group separator") << "1 204,5" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("exponent without digits") << "1E" << false << 0.0;
    QTest::newRow("beyond double") << "1E400" << false << 0.0;
    QTest::newRow("beyond double, with a comma") << "1,5e400" << false << 0.0;
    QTest::newRow("just beyond the largest double") << "1,8e308" << false << 0.0;
    QTest::newRow("underflow with a comma") << "2,5E-400" << true << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
}

void TestNumberText::parse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    if (valid) {
        QCOMPARE(textToFloat(text), value);
    } else {
        try {
            textToFloat(text);
            QFAIL("no error");
        } catch (const ConvertError& e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }
}

void TestNumberText::integers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "3306" << true << 3306;
    QTest::newRow("negative") << "-12" << true << -12;
    QTest::newRow("dollar hex") << "$0CEA" << true << 3306;
    QTest::newRow("0x hex") << "0x0CEA" << true << 3306;
    QTest::newRow("99999") << "99999" << true << 99999;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("blank between digits") << "33 06" << false << 0;
    QTest::newRow("too big") << "2147483648" << false << 0;
    QTest::newRow("min") << "-2147483648" << true << std::numeric_limits<int>::min();
}

void TestNumberText::integers() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    int v = 0;
    QCOMPARE(tryTextToInt(text, v), valid);
    if (valid)
        QCOMPARE(v, value);
    else
        QVERIFY_THROWS_EXCEPTION(ConvertError, textToInt(text));
}

void TestNumberText::jsonNumbers_data() {
    // The JSON writer: the shortest text that reads back (whatever the
    // locale), and no text at all for what JSON cannot hold.
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("a fitted constant") << 0.19405030573843401 << QByteArray("0.19405030573843401");
    QTest::newRow("largest double") << 1.7976931348623157e308 << QByteArray("1.7976931348623157e+308");
    QTest::newRow("smallest double") << 4.9406564584124654e-324 << QByteArray("5e-324");
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QByteArray();
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << QByteArray();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QByteArray();
}

void TestNumberText::jsonNumbers() {
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QByteArray out;
    JsonWriter w(out, false);
    w.beginArray(true);
    try {
        w.number(value);
        w.endArray();
        w.finish();
        QCOMPARE(out, "[" + text + "]");
    } catch (const MathError& e) {
        QVERIFY(text.isEmpty());
        QVERIFY(e.message().contains(QStringLiteral("nekonečné nebo neurčité číslo")));
        w.finish();
        QVERIFY(!out.contains("inf") && !out.contains("nan"));
    }
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
