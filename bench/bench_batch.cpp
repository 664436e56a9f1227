// prolis-calc batch against separate processes: 100,000 mixed forward and
// backward lines with their materials inline, answered in this process
// (parsing, calculation and writing per line), by "prolis-calc batch" from a
// file, and a sample of the same calculations as single commands.
// Run from the build folder: bench/bench_batch [lines] [single-command sample]
// [a file to keep the input in].
#include "cli/Batch.h"
#include "core/JsonWriter.h"
#include "domain/DataJson.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace prolis;

namespace {

// Eight materials with the constants of every equation, as the database
// gives them, at rising temperatures.
QList<QByteArray> materials() {
    QList<QByteArray> list;
    for (int k = 0; k < 8; ++k) {
        Data d;
        d.nazev = QStringLiteral("C45 (12 050) zkušební tavba %1").arg(k + 1);
        d.rm = 650 - 20 * k;
        d.rp = 380 - 15 * k;
        d.a5 = 16;
        d.z = 40;
        d.teplo = static_cast<std::int16_t>(20 + 40 * k);
        d.pol_a = 800 - 30 * k;
        d.pol_b = 0.2;
        d.ppol_a = 0.6667;
        d.ppol_b = 1.2;
        d.pn3 = {500.0 - 10 * k, 300, -100, 20};
        d.pn5 = {450.0 - 10 * k, 500, -400, 250, -80, 10};
        d.rlff = {300.0, 1400, -3000, 4500, -3800, 1700, -310, 0.5, 0.25, 0.125};
        d.rlfd = {35.6824823, 0, 0, 0, 0, 0, 0, 0, 0, 0.001};
        d.fimax = 1.4;
        d.fistr = 0.8;
        QByteArray text;
        JsonWriter w(text, false);
        writeData(w, d);
        w.finish();
        list << text;
    }
    return list;
}

struct Case {
    QByteArray line;
    QStringList args; // the single command, without its material file
    int material;
    int equation;
    int die; // -1: backward
    QJsonObject fields;
};

QString decimal(double v) {
    return QString::number(v, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

// A parameter study: D3 from 10 to 30 mm (forward, both dies), the punch
// from 24 to 34 mm (backward), every equation, every material.
Case caseOf(int i, const QList<QByteArray>& mats) {
    const int m = i % mats.size();
    const int eq = (i / 8) % 4;
    QJsonObject fields;
    QStringList args;
    QString command;
    int die = -1;
    if (i % 2 == 0) {
        command = QStringLiteral("forward");
        die = (i / 2) % 2;
        const double d3 = 10 + (i / 16) % 201 * 0.1;
        fields = {{"D0", "30"}, {"h0", "100"}, {"D1", "40"},  {"D2", "40"}, {"D3", decimal(d3)},
                  {"L1", "50"}, {"L3", "5"},   {"f1", "0,1"}, {"f3", "0,1"}};
        if (die == 0) {
            fields["alpha2"] = "60";
            fields["f2"] = "0,1";
        }
    } else {
        command = QStringLiteral("backward");
        const double d = 24 + (i / 16) % 101 * 0.1;
        fields = {{"D0", "40"}, {"h0", "30"}, {"d", decimal(d)}, {"H", "40"}, {"f1", "0,1"}, {"f2", "0,05"}};
    }
    args << command << "--equation" << QString::number(eq);
    if (die >= 0) args << "--die" << QString::number(die);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        args << "--" + it.key() << it.value().toString();
    args << "--yes";
    QJsonObject line{{"id", i}, {"command", command}, {"equation", eq}, {"fields", fields}, {"yes", true}};
    if (die >= 0) line["die"] = die;
    QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact);
    text.insert(1, "\"material\":" + mats[m] + ',');
    return {text, args, m, eq, die, fields};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int sample = argc > 2 ? std::atoi(argv[2]) : 400;
    const QList<QByteArray> mats = materials();
    QTemporaryDir dir;
    QByteArray input;
    QList<Case> cases;
    for (int i = 0; i < count; ++i) {
        cases << caseOf(i, mats);
        input += cases.last().line + '\n';
    }
    const QString inputPath =
        argc > 3 ? QString::fromLocal8Bit(argv[3]) : dir.filePath(QStringLiteral("study.jsonl"));
    {
        QFile f(inputPath);
        f.open(QIODevice::WriteOnly);
        f.write(input);
    }
    std::printf("%d lines, %.1f MB of input\n", count, input.size() / 1e6);

    // In this process: the runner alone, answers kept in memory.
    {
        cli::Environment env;
        cli::MaterialDatabase db(QString(), env);
        cli::BatchRunner runner(db);
        // Answers go out in blocks, as runBatch writes them.
        QByteArray answers;
        qint64 ok = 0, bytes = 0;
        QElapsedTimer t;
        t.start();
        for (const Case& c : cases) {
            runner.answer(std::string_view(c.line.constData(), static_cast<size_t>(c.line.size())), answers);
            if (answers.size() > 64 * 1024) {
                ok += answers.count("\"exit\":0,");
                bytes += answers.size();
                answers.clear();
            }
        }
        ok += answers.count("\"exit\":0,");
        bytes += answers.size();
        const double ns = static_cast<double>(t.nsecsElapsed());
        std::printf(
            "runner in process: %.2f us per line, %.0f lines/s (%lld answered 0, %.1f MB of answers)\n",
            ns / 1e3 / count, count / (ns / 1e9), static_cast<long long>(ok), bytes / 1e6);
    }

    // The calculations alone, on materials and inputs read beforehand: what
    // the lines cost beyond them is reading and writing JSON.
    {
        QList<Data> data;
        for (const QByteArray& m : mats)
            data << dataFromJson(m, QStringLiteral("m"));
        const auto f = [](const Case& c, const char* k) {
            return c.fields.value(QLatin1String(k)).toString();
        };
        QList<fwd::Inputs> forward;
        QList<bwd::Inputs> backward;
        for (const Case& c : cases) {
            forward << fwd::Inputs{f(c, "D0"), f(c, "h0"),     f(c, "D1"), f(c, "D2"), f(c, "D3"), f(c, "L1"),
                                   f(c, "L3"), f(c, "alpha2"), f(c, "f1"), f(c, "f2"), f(c, "f3")};
            backward << bwd::Inputs{f(c, "D0"), f(c, "h0"), f(c, "d"), f(c, "H"), f(c, "f1"), f(c, "f2")};
        }
        qint64 sink = 0;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < count; ++i) {
            const Case& c = cases[i];
            const auto eq = static_cast<EquationKind>(c.equation);
            if (c.die >= 0)
                sink += cli::forwardCalculation(data[c.material], eq, static_cast<fwd::DieType>(c.die),
                                                forward[i], true)
                            .record.f[0]
                            .size();
            else
                sink += cli::backwardCalculation(data[c.material], eq, backward[i], true)
                            .entry.record.f[0]
                            .size();
        }
        const double ns = static_cast<double>(t.nsecsElapsed());
        std::printf("calculations alone: %.2f us each (%lld)\n", ns / 1e3 / count,
                    static_cast<long long>(sink));
    }

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/prolis-calc");
    // prolis-calc batch: a process reading the file, answers to /dev/null.
    double batchRate = 0;
    {
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/null"));
        QElapsedTimer t;
        t.start();
        p.start(program, {"batch", "--input", inputPath, "--ini", dir.filePath("none.ini")});
        p.waitForFinished(-1);
        const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
        batchRate = count / s;
        std::printf("prolis-calc batch: %.3f s, %.2f us per line, %.0f calculations/s (exit %d)\n", s,
                    s * 1e6 / count, batchRate, p.exitCode());
    }

    // The same calculations one process each (a sample of them).
    {
        QStringList files;
        for (int m = 0; m < mats.size(); ++m) {
            files << dir.filePath(QStringLiteral("m%1.json").arg(m));
            QFile f(files.last());
            f.open(QIODevice::WriteOnly);
            f.write(mats[m]);
        }
        QElapsedTimer t;
        t.start();
        const int n = std::min(sample, count);
        for (int i = 0; i < n; ++i) {
            QProcess p;
            p.setStandardOutputFile(QStringLiteral("/dev/null"));
            p.start(program, cases[i].args + QStringList{"--material-file", files[cases[i].material], "--ini",
                                                         dir.filePath("none.ini")});
            p.waitForFinished(-1);
        }
        const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
        const double rate = n / s;
        std::printf(
            "single commands: %d processes, %.2f ms each, %.0f calculations/s; batch is %.0f times that\n", n,
            s * 1e3 / n, rate, batchRate / rate);
    }
    return 0;
}
