// Reading a batch line with the line reader against Qt's JSON reader, which
// merges duplicate keys and builds a DOM: the time per line of each.
#include "core/JsonReader.h"

#include <QJsonDocument>
#include <QtTest>

using namespace prolis;

namespace {
const QByteArray Line =
    R"j({"id": 7, "command": "backward", "material": {"nazev": "C45 (12 050)", "rm": 650, "rp": 350, "a5": 16,)j"
    R"j( "z": 40, "teplo": 20, "ppol_a": 0.6667, "ppol_b": 1.2, "ppol_c": 0, "ppn": [0,0,0,0,0,0,0,0,0,0],)j"
    R"j( "pol_a": 800, "pol_b": 0.2, "pol_c": 0, "pn3": [500,300,-100,20], "pn5": [450,500,-400,250,-80,10],)j"
    R"j( "rlff": [300,1400,-3000,4500,-3800,1700,-310,0.5,0.25,0.125], "rlfd": [35.6824823,0,0,0,0,0,0,0,0,0.001],)j"
    R"j( "fimax": 1.4, "fistr": 0.8}, "equation": 0, "fields": {"D0": "40", "h0": "30", "d": "30", "H": "40",)j"
    R"j( "f1": "0,1", "f2": "0,05"}, "yes": true})j";
} // namespace

class BenchJson : public QObject {
    Q_OBJECT
private slots:
    void lineReader() {
        json::Document doc;
        QBENCHMARK {
            if (!doc.parse(std::string_view(Line.constData(), static_cast<size_t>(Line.size()))))
                QFAIL("parse");
        }
    }
    void qtReader() {
        QBENCHMARK {
            if (QJsonDocument::fromJson(Line).isNull()) QFAIL("parse");
        }
    }
};

QTEST_APPLESS_MAIN(BenchJson)
#include "bench_json.moc"
