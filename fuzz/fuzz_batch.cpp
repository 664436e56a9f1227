// prolis-calc batch on any bytes: one answer line per input line, each a
// JSON object with the input's id, an exit code of the commands, a result
// exactly when it is 0 and a message exactly when it is not. No database is
// reachable (no settings file): lines that name one answer 3.
#include "Invariants.h"
#include "cli/Batch.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>

using namespace prolis;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    cli::Environment env;
    cli::MaterialDatabase db(QStringLiteral("/nonexistent/prolis.ini"), env);
    cli::BatchRunner runner(db);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    qsizetype at = 0;
    const auto read = [&](char* to, qint64 n) -> qint64 {
        // Small pieces: lines are split across reads.
        const qint64 k = std::min<qint64>({n, 7, input.size() - at});
        std::memcpy(to, input.constData() + at, static_cast<size_t>(k));
        at += k;
        return k;
    };
    if (cli::runBatch(read, out, true, runner) != cli::BatchEnd::Done) fuzz::violated("batch end", QString());

    qsizetype lines = input.count('\n');
    if (!input.isEmpty() && !input.endsWith('\n')) ++lines;
    const QList<QByteArray> answers = out.data().split('\n');
    if (answers.size() != lines + 1 || !answers.last().isEmpty())
        fuzz::violated("one answer per line", QString::number(answers.size()));
    for (qsizetype i = 0; i < lines; ++i) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(answers[i], &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            fuzz::violated("an answer is a JSON object", QString::fromUtf8(answers[i].left(300)));
        const QJsonObject o = doc.object();
        const int exit = o.value(QLatin1String("exit")).toInt(-1);
        if (exit != 0 && exit != 1 && exit != 2 && exit != 3 && exit != 64)
            fuzz::violated("exit code", QString::number(exit));
        if (o.size() != 4 || !o.contains(QLatin1String("id")))
            fuzz::violated("members of an answer", QString::fromUtf8(answers[i].left(300)));
        const bool result = !o.value(QLatin1String("result")).isNull();
        const bool message = o.value(QLatin1String("message")).isString();
        if (result != (exit == 0) || message != (exit != 0))
            fuzz::violated("result or message", QString::fromUtf8(answers[i].left(300)));
    }
    return 0;
}
