// MatEdit's saves on one server and through the nodes of a Galera cluster:
// the time per save of a four-temperature material, and 30 saves at once
// through three nodes (landed / tries again / refused). Not a test.
//   PROLIS_TEST_DB_* (one server, database PROLIS_TEST_DB_EDIT) and/or
//   PROLIS_CLUSTER_PORTS="p1 p2 p3" PROLIS_CLUSTER_DB=... (scripts/cluster start)
//   build-rel/bench/bench_cluster [SAVES]
#include "core/Errors.h"
#include "editor/MaterialStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <atomic>
#include <barrier>
#include <cstdio>
#include <thread>

using namespace prolis;
using namespace prolis::edit;

namespace {
ConnectionSettings at(int port, const QString& database) {
    ConnectionSettings s;
    s.HostName = qEnvironmentVariable("PROLIS_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    s.Port = port;
    s.Database = database;
    s.User = QStringLiteral("prolis_editor");
    s.Password = QStringLiteral("prolis");
    return s;
}

Material material(const QString& name) {
    Material m;
    m.nazev = name;
    m.rm = 650;
    for (int t : {20, 200, 400, 600}) {
        Data d;
        d.teplo = static_cast<std::int16_t>(t);
        d.pol_a = 900 - t;
        d.pol_b = 0.2;
        d.ppol_a = 0.6;
        d.ppol_b = 1.2;
        d.pn5 = {450, 500, -400, 250, -80, 10};
        d.fimax = 1.4;
        m.temperatures.append(d);
    }
    return m;
}

const QString Run = QString::number(QDateTime::currentMSecsSinceEpoch() % 1000000);

void timeSaves(const char* where, const ConnectionSettings& s, int saves) {
    MaterialConnection c;
    c.connect(s);
    MaterialStore store(c);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < saves; ++i)
        store.save(std::nullopt, material(QStringLiteral("Měření %1 %2 %3").arg(where).arg(Run).arg(i)));
    std::printf("%-28s %6.2f ms per save of four temperatures (%d saves, %d tries again)\n", where,
                double(t.nsecsElapsed()) / 1e6 / saves, saves, store.retries());
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int saves = argc > 1 ? std::atoi(argv[1]) : 50;
    try {
        if (qEnvironmentVariableIsSet("PROLIS_TEST_DB_PORT"))
            timeSaves("one server",
                      at(qEnvironmentVariableIntValue("PROLIS_TEST_DB_PORT"),
                         qEnvironmentVariable("PROLIS_TEST_DB_EDIT")),
                      saves);
        const QStringList ports = qEnvironmentVariable("PROLIS_CLUSTER_PORTS").split(' ', Qt::SkipEmptyParts);
        if (ports.size() == 3) {
            const QString db = qEnvironmentVariable("PROLIS_CLUSTER_DB");
            timeSaves("through a cluster node", at(ports[0].toInt(), db), saves);
            for (int round = 0; round < 5; ++round) {
                constexpr int Count = 30;
                std::atomic<int> landed = 0, refused = 0, again = 0;
                std::barrier start(Count);
                std::vector<std::thread> editors;
                QElapsedTimer t;
                t.start();
                for (int i = 0; i < Count; ++i)
                    editors.emplace_back([&, i] {
                        MaterialConnection c;
                        c.connect(at(ports[i % 3].toInt(), db));
                        MaterialStore store(c);
                        start.arrive_and_wait();
                        try {
                            store.save(
                                std::nullopt,
                                material(QStringLiteral("Souběh %1 %2 %3").arg(Run).arg(round).arg(i)));
                            ++landed;
                        } catch (const Error&) {
                            ++refused;
                        }
                        again += store.retries();
                    });
                for (std::thread& e : editors)
                    e.join();
                std::printf(
                    "30 saves at once through three nodes: %d landed, %d tries again, %d refused, %.0f ms\n",
                    landed.load(), again.load(), refused.load(), double(t.nsecsElapsed()) / 1e6);
            }
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
