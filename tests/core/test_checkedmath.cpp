#include "core/CheckedMath.h"
#include "core/Errors.h"

#include <QtTest>
#include <functional>

using namespace prolis;

using Op = std::function<double()>;
Q_DECLARE_METATYPE(Op)

class TestCheckedMath : public QObject {
    Q_OBJECT
private slots:
    void failures_data();
    void failures();
    void values_data();
    void values();
    void errorDisplayText_data();
    void errorDisplayText();
};

void TestCheckedMath::failures_data() {
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("message");
    const QString div0 = msg::DivByZero, inv = msg::InvalidOp, ovf = msg::Overflow;
    QTest::newRow("x/0") << Op([] { return fp::div(1, 0); }) << div0;
    QTest::newRow("0/0") << Op([] { return fp::div(0, 0); }) << inv;
    QTest::newRow("ln 0") << Op([] { return fp::ln(0); }) << div0;
    QTest::newRow("ln -1") << Op([] { return fp::ln(-1); }) << inv;
    QTest::newRow("exp overflow") << Op([] { return fp::exp(1000); }) << ovf;
    QTest::newRow("product overflow") << Op([] { return fp::mul(1e200, 1e200); }) << ovf;
    QTest::newRow("sum overflow") << Op([] { return fp::add(1.7e308, 1.7e308); }) << ovf;
    QTest::newRow("non-integral power of negative") << Op([] { return fp::power(-2, 0.5); }) << inv;
    QTest::newRow("zero to negative power") << Op([] { return fp::power(0, -1); }) << div0;
    QTest::newRow("zero to negative real power") << Op([] { return fp::power(0, -0.5); }) << div0;
    QTest::newRow("integral power overflow") << Op([] { return fp::power(10, 400); }) << ovf;
}

void TestCheckedMath::failures() {
    QFETCH(Op, op);
    QFETCH(QString, message);
    try {
        op();
        QFAIL("no error");
    } catch (const MathError& e) {
        QCOMPARE(e.message(), message);
    }
}

void TestCheckedMath::values_data() {
    QTest::addColumn<Op>("op");
    QTest::addColumn<double>("expected");
    QTest::newRow("power b=0") << Op([] { return fp::power(0, 0); }) << 1.0;
    QTest::newRow("power 0^b, b>0") << Op([] { return fp::power(0, 0.2); }) << 0.0;
    QTest::newRow("negative base integral exponent") << Op([] { return fp::power(-2, 3); }) << -8.0;
    QTest::newRow("negative integral exponent") << Op([] { return fp::power(2, -2); }) << 0.25;
    QTest::newRow("real power") << Op([] { return fp::power(2, 0.5); }) << std::sqrt(2.0);
    QTest::newRow("ln 1") << Op([] { return fp::ln(1); }) << 0.0;
}

void TestCheckedMath::values() {
    QFETCH(Op, op);
    QFETCH(double, expected);
    QCOMPARE(op(), expected);
}

void TestCheckedMath::errorDisplayText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Abc"
                            << "Abc.";
    QTest::newRow("point") << "Abc."
                           << "Abc.";
    QTest::newRow("exclamation sorts below point") << "Abc!"
                                                   << "Abc!";
    QTest::newRow("quote") << "'x' is not a valid floating point value"
                           << "'x' is not a valid floating point value.";
    QTest::newRow("closing quote sorts below point") << "value 'x'"
                                                     << "value 'x'";
    QTest::newRow("slash sorts above point") << "a/"
                                             << "a/.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCheckedMath::errorDisplayText() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(prolis::errorDisplayText(message), shown);
}

QTEST_APPLESS_MAIN(TestCheckedMath)
#include "test_checkedmath.moc"
