// Painting report pages: an image for the eye, and a PDF whose text and
// positions are read back.
#include "output/ReportPages.h"
#include "print/ReportPainter.h"
#include "support/Records.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;
using test::forwardRecord;

namespace {
// Dark pixels in a rectangle given in mm.
int inkIn(const QImage& image, const QRectF& mm) {
    const double px = image.dotsPerMeterX() / 1000.0;
    int ink = 0;
    for (int y = int(mm.top() * px); y < int(mm.bottom() * px); ++y)
        for (int x = int(mm.left() * px); x < int(mm.right() * px); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++ink;
    return ink;
}

struct Word {
    QString text;
    double left, top, right, bottom; // mm
};

// The words of a PDF with their boxes, as pdftotext reads them.
QList<Word> pdfWords(const QByteArray& pdf, QString* problem) {
    QTemporaryDir dir;
    const QString in = dir.filePath("r.pdf"), out = dir.filePath("r.html");
    QFile f(in);
    f.open(QIODevice::WriteOnly);
    f.write(pdf);
    f.close();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), in, out});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        *problem = QStringLiteral("pdftotext (poppler-utils) did not run: ") + p.errorString();
        return {};
    }
    QList<Word> words;
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QFile html(out);
    html.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(html.readAll());
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const auto mm = [&](int i) { return m.captured(i).toDouble() * 25.4 / 72; };
        words.append({m.captured(5), mm(1), mm(2), mm(3), mm(4)});
    }
    return words;
}
} // namespace

class TestReportPainter : public QObject {
    Q_OBJECT
private slots:
    void imageShowsTheReport();
    void pdfKeepsTextAndPlaces();
    void equalsSignsKeepClear_data();
    void equalsSignsKeepClear();
};

void TestReportPainter::imageShowsTheReport() {
    QImage image(827, 1170, QImage::Format_RGB32); // A4 at 100 dpi
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPage(painter, &image, out::forwardReport(forwardRecord("forward-cone")).constFirst());
    }
    QVERIFY(inkIn(image, QRectF(52, 15, 100, 8)) > 200);   // the title
    QVERIFY(inkIn(image, QRectF(87, 111, 58, 58)) > 2000); // the sketch
    QCOMPARE(inkIn(image, QRectF(150, 270, 50, 15)), 0);   // nothing in the bottom right corner
    QCOMPARE(inkIn(image, QRectF(0, 0, 210, 9)), 0);       // nor above the top margin
}

void TestReportPainter::pdfKeepsTextAndPlaces() {
    const fwd::Souhrn r = forwardRecord("forward-cone");
    const QByteArray pdf = reportPdf(out::forwardReport(r));
    QVERIFY(pdf.startsWith("%PDF"));
    QString problem;
    const QList<Word> words = pdfWords(pdf, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const auto find = [&](const QString& text) -> const Word* {
        for (const Word& w : words)
            if (w.text == text) return &w;
        return nullptr;
    };
    // The Greek letters are text, not pictures.
    for (const QString& letter : {QStringLiteral("τ"), QStringLiteral("σ"), QStringLiteral("φ")})
        QVERIFY2(find(letter), qPrintable(letter));
    // The force's value label stands where the form puts it: left edge 25.1 mm
    // and top 250.7 mm from the band's corner at the margins.
    const QString force = r[fwd::Field::F].section(QLatin1Char(' '), 0, 0);
    const Word* w = find(force);
    QVERIFY(w);
    QVERIFY2(qAbs(w->left - 35.1) < 0.5, qPrintable(QString::number(w->left)));
    QVERIFY2(w->top > 260.7 - 0.2 && w->top < 260.7 + 1.5, qPrintable(QString::number(w->top)));
    QVERIFY(find(QStringLiteral("Dopředné")));
}

void TestReportPainter::equalsSignsKeepClear_data() {
    QTest::addColumn<QString>("record");
    QTest::newRow("forward with cone") << "forward-cone";
    QTest::newRow("forward without cone") << "forward-without-cone";
    QTest::newRow("backward") << "backward";
}

void TestReportPainter::equalsSignsKeepClear() {
    // Every "=" as printed stands clear of its symbol (subscripts such as
    // "max" included) and of its value: nothing of its row reaches within
    // 0.4 mm of it, before or after.
    QFETCH(QString, record);
    const QList<out::Page> pages = record == u"backward" ? out::backwardReport(test::backwardRecord())
                                                         : out::forwardReport(forwardRecord(record));
    QString problem;
    const QList<Word> words = pdfWords(reportPdf(pages), &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // The sketch's own labels are a drawing, not rows of the form.
    QRectF sketch;
    if (const auto& pic = pages.constFirst().picture)
        sketch = QRectF(pic->left, pic->top, pic->width, pic->height);
    int signs = 0;
    for (const Word& eq : words) {
        if (sketch.contains(eq.left, eq.top)) continue;
        // An "=" run into its value is read as one word with it.
        QVERIFY2(!eq.text.startsWith(u'=') || eq.text == u"=", qPrintable(eq.text));
        if (eq.text != u"=") continue;
        ++signs;
        for (const Word& w : words) {
            if (&w == &eq || w.bottom <= eq.top || w.top >= eq.bottom) continue; // another row
            const bool before = w.left < eq.left;
            const double gap = before ? eq.left - w.right : w.left - eq.right;
            if (gap > -5 && gap < 0.4)
                QFAIL(qPrintable(
                    QStringLiteral("\"%1\" at %2 mm is %3 mm from the \"=\" at %4 mm, %5 mm from the top")
                        .arg(w.text)
                        .arg(w.left, 0, 'f', 1)
                        .arg(gap, 0, 'f', 2)
                        .arg(eq.left, 0, 'f', 1)
                        .arg(eq.top, 0, 'f', 1)));
        }
    }
    QVERIFY(signs > 10);
}

QTEST_MAIN(TestReportPainter)
#include "test_reportpainter.moc"
