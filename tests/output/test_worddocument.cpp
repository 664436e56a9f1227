// Word documents: the requests applied as Word applies them, the documents
// they make, a written .docx read back, and the hand-over to the desktop.
#include "core/Errors.h"
#include "output/DocumentFiles.h"
#include "output/Protocol.h"
#include "output/WordDocument.h"
#include "support/FullDisk.h"
#include "support/RecordingUi.h"
#include "support/Records.h"
#include "support/Zip.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace prolis;
using namespace prolis::out;
using test::RecordingUi;

namespace {
QStringList texts(const WordDocument& d) {
    QStringList t;
    for (const Paragraph& p : d.paragraphs)
        t << p.text();
    return t;
}

// The paragraphs of a .docx as its XML states them.
struct ReadParagraph {
    QString text;
    bool centred = false;
    QList<Run> runs;
};
struct ReadDocument {
    bool landscape = false;
    QList<ReadParagraph> paragraphs;
};

ReadDocument readBack(const QByteArray& docx) {
    ReadDocument d;
    QXmlStreamReader x(test::zipEntry(docx, "word/document.xml"));
    Run run;
    bool inRunProperties = false;
    while (!x.atEnd()) {
        x.readNext();
        const QStringView name = x.name();
        if (x.isStartElement()) {
            if (name == u"p")
                d.paragraphs.append(ReadParagraph{});
            else if (name == u"jc")
                d.paragraphs.last().centred = x.attributes().value("w:val") == u"center";
            else if (name == u"r")
                run = Run{};
            else if (name == u"rPr")
                inRunProperties = true;
            else if (name == u"b" && inRunProperties)
                run.bold = true;
            else if (name == u"u" && inRunProperties)
                run.underline = x.attributes().value("w:val") == u"single";
            else if (name == u"sz" && inRunProperties)
                run.size = x.attributes().value("w:val").toInt() / 2;
            else if (name == u"t")
                run.text = x.readElementText();
            else if (name == u"pgSz")
                d.landscape = x.attributes().value("w:orient") == u"landscape";
        } else if (x.isEndElement()) {
            if (name == u"rPr") inRunProperties = false;
            if (name == u"r") {
                d.paragraphs.last().runs.append(run);
                d.paragraphs.last().text += run.text;
            }
        }
    }
    return d;
}
} // namespace

class TestWordDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void requestsAsWordTakesThem();
    void forwardDocuments();
    void backwardDocument();
    void summaryDocument_data();
    void summaryDocument();
    void docxReadBack();
    void hostileNames_data();
    void hostileNames();
    void handOverWriteFailures();
    void fileNamesFit_data();
    void fileNamesFit();
};

void TestWordDocument::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QDir(documentsFolder()).removeRecursively();
}

void TestWordDocument::requestsAsWordTakesThem() {
    WordSession w;
    w.setAlignment(Alignment::Centre);
    w.toggleBold();
    w.typeText(QStringLiteral("a"));
    w.toggleBold();
    w.typeText(QStringLiteral("b\rc"));
    w.setSize(10);
    w.typeText(QStringLiteral("d\r"));
    const WordDocument d = w.document();
    QCOMPARE(d.paragraphs.size(), 3);
    QCOMPARE(d.paragraphs[0].runs, (QList<Run>{{"a", true, false, 0}, {"b", false, false, 0}}));
    QCOMPARE(d.paragraphs[1].alignment, Alignment::Centre); // a new paragraph keeps the alignment
    QCOMPARE(d.paragraphs[1].runs, (QList<Run>{{"c", false, false, 0}, {"d", false, false, 10}}));
    QVERIFY(d.paragraphs[2].runs.isEmpty());
    QCOMPARE(d.paragraphs[2].mark.size, 10);
    QVERIFY(!d.landscape);
}

void TestWordDocument::forwardDocuments() {
    const WordDocument cone = forwardDocument(test::forwardRecord("forward-cone"));
    const WordDocument plain = forwardDocument(test::forwardRecord("forward-without-cone"));
    for (const WordDocument* d : {&cone, &plain}) {
        QVERIFY(!d->landscape);
        // The centred, bold, underlined title in the document's default size.
        const Paragraph& title = d->paragraphs[0];
        QCOMPARE(title.alignment, Alignment::Centre);
        QCOMPARE(title.runs, (QList<Run>{{ForwardTitle, true, true, 0}}));
        QVERIFY(d->paragraphs[1].runs.isEmpty());
        QCOMPARE(d->paragraphs[1].alignment, Alignment::Left);
        QCOMPARE(d->paragraphs[2].text(), QStringLiteral("Použitý materiál:"));
        // Everything after the title block is 10 pt, plain, left.
        for (qsizetype i = 2; i < d->paragraphs.size(); ++i) {
            QCOMPARE(d->paragraphs[i].alignment, Alignment::Left);
            for (const Run& r : d->paragraphs[i].runs)
                QVERIFY(r.size == 10 && !r.bold && !r.underline);
        }
    }
    QCOMPARE(texts(cone).filter(QStringLiteral("TauRoFi3 = ")).size(), 1);
    QCOMPARE(texts(plain).filter(QStringLiteral("TauRoFi3")).size(), 0);
    QVERIFY(texts(plain)[texts(plain).size() - 2].startsWith(
        QStringLiteral("Fmax = "))); // then Word's last paragraph
    QVERIFY(texts(plain).last().isEmpty());
    QVERIFY(texts(cone).contains(QRegularExpression(QStringLiteral("^h0/D0 = \\S+   s0/s3 = .*"))));
}

void TestWordDocument::backwardDocument() {
    const WordDocument d = out::backwardDocument(test::backwardRecord());
    QCOMPARE(d.paragraphs[0].runs.constFirst().text, BackwardTitle); // no empty paragraph before it
    const QStringList t = texts(d);
    QVERIFY(t.contains(QStringLiteral("D0 = 40 mm   h0 = 30 mm")));
    QVERIFY(t.contains(QStringLiteral("Použitá fce pro výpočet Sigmap1 : Polytropa")));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("^Celková přetvárná práce - Ac = .*"))));
}

void TestWordDocument::summaryDocument_data() {
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QList<int>>("gaps");
    QTest::newRow("98") << "98" << QList<int>{12, 17, 13, 13, 14, 14, 15, 19, 14};
    QTest::newRow("99") << "99" << QList<int>{11, 16, 14, 13, 14, 14, 15, 19, 14};
}

void TestWordDocument::summaryDocument() {
    QFETCH(QString, temperature);
    QFETCH(QList<int>, gaps);
    bwd::SouhrnVysl row = test::summaryRows().constFirst();
    row[bwd::SummaryField::Teplota] = temperature;
    const WordDocument d = out::summaryDocument({row});
    QVERIFY(d.landscape);
    QVERIFY(d.paragraphs[0].runs.isEmpty()); // an empty paragraph before the title
    QCOMPARE(d.paragraphs[1].text(), BackwardTitle);
    QCOMPARE(d.paragraphs[1].alignment, Alignment::Centre);
    const QStringList t = texts(d);
    QCOMPARE(t[3], QStringLiteral("Zpětné kvazistatické protlačování  : souhrn"));
    QCOMPARE(t[5].size(), 191);
    QCOMPARE(t[6].size(), 198);
    // The row: the fields separated by the runs of its temperature.
    const QString line = t[8];
    QStringList pieces;
    for (size_t i = 0; i < bwd::SummaryFieldCount; ++i)
        pieces << row.f[i];
    QString expected = pieces[0];
    for (int i = 1; i < pieces.size(); ++i)
        expected += QString(gaps[i - 1], QLatin1Char(' ')) + pieces[i];
    QCOMPARE(line, expected);
    // No rows: the title block, the summary line, the headings and the empty paragraphs.
    QCOMPARE(out::summaryDocument({}).paragraphs.size(), 9);
}

void TestWordDocument::docxReadBack() {
    const WordDocument model = out::summaryDocument(test::summaryRows());
    const ReadDocument read = readBack(docxBytes(model));
    QVERIFY(read.landscape);
    QCOMPARE(read.paragraphs.size(), model.paragraphs.size());
    for (qsizetype i = 0; i < model.paragraphs.size(); ++i) {
        QCOMPARE(read.paragraphs[i].text, model.paragraphs[i].text()); // blanks kept
        QCOMPARE(read.paragraphs[i].centred, model.paragraphs[i].alignment == Alignment::Centre);
        QCOMPARE(read.paragraphs[i].runs, model.paragraphs[i].runs);
    }
    const ReadDocument portrait = readBack(docxBytes(forwardDocument(test::forwardRecord("forward-cone"))));
    QVERIFY(!portrait.landscape);
    QCOMPARE(portrait.paragraphs[0].runs, (QList<Run>{{ForwardTitle, true, true, 0}}));
    // The parts a word processor needs.
    const QByteArray docx = docxBytes(model);
    QVERIFY(test::zipEntry(docx, "[Content_Types].xml").contains("wordprocessingml.document.main+xml"));
    QVERIFY(test::zipEntry(docx, "_rels/.rels").contains("word/document.xml"));
    QVERIFY(test::zipEntry(docx, "word/styles.xml").contains("<w:sz w:val=\"24\"/>"));
}

void TestWordDocument::hostileNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("readBack");
    const QString fffd(QChar::ReplacementCharacter);
    QTest::newRow("markup") << QStringLiteral("C45 & <b> \"x\" 'y'") << QStringLiteral("C45 & <b> \"x\" 'y'");
    QTest::newRow("lone surrogate") << (QStringLiteral("C") + QChar(0xd800) + QStringLiteral("45 žíhaná"))
                                    << QStringLiteral("C") + fffd + QStringLiteral("45 žíhaná");
    QTest::newRow("low surrogate alone")
        << (QStringLiteral("C45") + QChar(0xdc01)) << QStringLiteral("C45") + fffd;
    QTest::newRow("controls") << QStringLiteral("C\x01\x1b[31m45\tok")
                              << QStringLiteral("C") + fffd + fffd + QStringLiteral("[31m45\tok");
    QTest::newRow("U+FFFE and U+FFFF")
        << (QStringLiteral("a") + QChar(0xfffe) + QChar(0xffff)) << QStringLiteral("a") + fffd + fffd;
    QTest::newRow("emoji stays") << QStringLiteral("ocel 😀") << QStringLiteral("ocel 😀");
}

void TestWordDocument::hostileNames() {
    // A material name may come from a material file or the database with any
    // character: every part of the document stays XML, and the name reads
    // back with only what XML cannot hold replaced.
    QFETCH(QString, name);
    QFETCH(QString, readBack);
    fwd::Souhrn f = test::forwardRecord("forward-cone");
    f[fwd::Field::Ocel] = name;
    bwd::Souhrn b = test::backwardRecord();
    b[bwd::Field::Ocel] = name;
    QList<bwd::SouhrnVysl> rows = test::summaryRows();
    rows[0][bwd::SummaryField::Ocel] = name;
    for (const WordDocument& doc :
         QList<WordDocument>{out::forwardDocument(f), out::backwardDocument(b), out::summaryDocument(rows)}) {
        const QByteArray docx = docxBytes(doc);
        QCOMPARE(test::malformedXmlParts(docx), QStringList());
        const ReadDocument read = ::readBack(docx);
        bool found = false;
        for (const ReadParagraph& p : read.paragraphs)
            found = found || p.text.contains(readBack);
        QVERIFY2(found, qPrintable(readBack));
    }
}

void TestWordDocument::handOverWriteFailures() {
    // Every failure names its real reason: a folder that cannot be made, a
    // disk that fills up; a link that points nowhere only takes a name.
    const auto failureOf = [](const std::function<void()>& f) {
        try {
            f();
            return QString();
        } catch (const FileError& e) {
            return e.message();
        }
    };
    const auto handOver = [] { writeNewDocument("Dopredne", "docx", QByteArray(4096, 'd')); };
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    QFile blocker(home.filePath(QStringLiteral(".qttest")));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the cache folder should begin
    blocker.close();
    QCOMPARE(failureOf(handOver),
             QStringLiteral("Složku %1 nelze vytvořit: Not a directory").arg(documentsFolder()));
    qunsetenv("HOME");
    QVERIFY2(!documentsFolder().startsWith(QLatin1String("//")), qPrintable(documentsFolder()));
    qputenv("HOME", oldHome);

    const int full = test::withDiskFullAfter(1000, [&] {
        const QString message = failureOf(handOver);
        return message.startsWith(QStringLiteral("Dokument ")) &&
                       message.endsWith(QStringLiteral(": File too large"))
                   ? 7
                   : 8;
    });
    QCOMPARE(full, 7);

    QTemporaryDir folder;
    const QDateTime when(QDate(2026, 12, 10), QTime(12, 0, 0));
    const QString first = folder.filePath(QStringLiteral("Dopredne-2026-12-10-120000.docx"));
    QVERIFY(QFile::link(folder.filePath(QStringLiteral("nowhere")), first));
    QCOMPARE(newDocumentPath(folder.path(), QStringLiteral("Dopredne"), QStringLiteral("docx"), when),
             folder.filePath(QStringLiteral("Dopredne-2026-12-10-120000-2.docx")));
}

void TestWordDocument::fileNamesFit_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stem");
    QTest::newRow("Czech, short") << QStringLiteral("Ocel ž 12/050") << QStringLiteral("Ocel_ž_12_050");
    QTest::newRow("ASCII, long") << QString(100, QLatin1Char('a')) << QString(80, QLatin1Char('a'));
    QTest::newRow("Chinese") << QString(100, QChar(0x94a2)) << QString(53, QChar(0x94a2)); // 3 bytes each
    QTest::newRow("letters beyond the BMP")
        << QString(QStringLiteral("𝐀")).repeated(60) << QString(QStringLiteral("𝐀")).repeated(40);
}

void TestWordDocument::fileNamesFit() {
    // A stem fits in a file name (255 bytes) with the date, a number and
    // the extension, whatever script the material name is written in.
    QFETCH(QString, name);
    QFETCH(QString, stem);
    const QString safe = safeFileName(name);
    QCOMPARE(safe, stem);
    QTemporaryDir folder;
    const QString path = newDocumentPath(folder.path(), QStringLiteral("Graf-") + safe,
                                         QStringLiteral("xlsx"), QDateTime::currentDateTime());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.errorString()));
}

QTEST_GUILESS_MAIN(TestWordDocument)
#include "test_worddocument.moc"
