#include "MatEditCli.h"

#include "MaterialStore.h"
#include "core/Errors.h"
#include "core/FileIo.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "db/ConnectionSettings.h"
#include "domain/DataJson.h"

#include <QFileInfo>
#include <QSet>

namespace prolis::edit {

namespace {

enum Exit { Ok = 0, Refused = 1, DatabaseOrFile = 3, Usage = 64 };

struct Failure {
    int code;
    QString message;
};

const char* const Help =
    "Použití: MatEdit --import SOUBOR... [--replace] [--ini SOUBOR] [--user UŽIVATEL]\n"
    "         MatEdit --export NÁZEV -o SOUBOR [--ini SOUBOR] [--user UŽIVATEL]\n"
    "Bez voleb otevře okna editoru materiálové databáze.\n"
    "--import   vloží materiály ze souborů (pole objektů souboru materiálu, jeden na teplotu,\n"
    "           nebo jeden objekt); materiál téhož názvu nahradí jen s --replace; soubor\n"
    "           s jedinou chybnou hodnotou nevloží nic\n"
    "--export   zapíše materiál se všemi teplotami (vzestupně) jako takové pole\n"
    "--ini      soubor nastavení (jinak prolis.ini vedle programu, není-li tam,\n"
    "           ~/.config/Prolis/prolis.ini)\n"
    "--user     uživatel s právem zápisu (jinak uživatel ze souboru nastavení)\n"
    "Heslo: proměnná PROLIS_PASSWORD, jinak se program zeptá na terminálu.\n"
    "Návratové kódy: 0 hotovo, 1 odmítnuto kontrolou, 3 chyba databáze nebo souboru, 64 chybné volby.\n";

struct Options {
    QStringList imports;
    QString exportName, output, ini, user;
    bool replace = false, help = false, exporting = false;
};

Options parse(const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size()) throw Failure{Usage, QStringLiteral("chybí hodnota volby %1").arg(a)};
            return args[++i];
        };
        if (a == u"--import") {
            while (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")) &&
                   args[i + 1] != u"-o")
                o.imports << args[++i];
            if (o.imports.isEmpty()) throw Failure{Usage, QStringLiteral("chybí soubor volby --import")};
        } else if (a == u"--export") {
            o.exporting = true;
            o.exportName = value();
        } else if (a == u"-o") {
            o.output = value();
        } else if (a == u"--ini") {
            o.ini = value();
        } else if (a == u"--user") {
            o.user = value();
        } else if (a == u"--replace") {
            o.replace = true;
        } else if (a == u"--help" || a == u"-h") {
            o.help = true;
        } else {
            throw Failure{Usage, QStringLiteral("neznámá volba: %1").arg(a)};
        }
    }
    if (!o.help && o.imports.isEmpty() == !o.exporting)
        throw Failure{Usage, QStringLiteral("zadejte buď --import, nebo --export")};
    if (o.exporting && o.output.isEmpty()) throw Failure{Usage, QStringLiteral("chybí -o SOUBOR")};
    return o;
}

// The material of an import file, checked, not saved yet.
Material readImport(const QString& path) {
    MaterialFile f = readMaterialFile(path);
    if (!f.material) throw Failure{f.unreadable ? DatabaseOrFile : Refused, f.refusal};
    return *f.material;
}

} // namespace

bool isCommandLine(const QStringList& args) {
    // Qt's own options (-platform offscreen, --style Fusion, ...) are the
    // windows' business; anything else is MatEdit's command line.
    static const QStringList withValue{"platform", "platformpluginpath", "platformtheme", "plugin",
                                       "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                                       "stylesheet", "session", "display", "geometry", "name", "title",
                                       "visual", "qmljsdebugger"};
    static const QStringList alone{"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (a.startsWith(QLatin1String("--"))) a = a.mid(1);
        if (!a.startsWith(QLatin1Char('-'))) return true;
        const QString name = a.mid(1).section(QLatin1Char('='), 0, 0);
        if (alone.contains(name)) continue;
        if (withValue.contains(name)) {
            if (!a.contains(QLatin1Char('='))) ++i;
            continue;
        }
        return true;
    }
    return false;
}

int runCommandLine(const QStringList& args, QIODevice& out, QTextStream& err, const CliEnvironment& env) {
    int code = Ok;
    try {
        const Options o = parse(args);
        if (o.help) {
            if (!writeAll(out, Help))
                throw Failure{DatabaseOrFile,
                              QStringLiteral("Standardní výstup nelze zapsat: %1").arg(out.errorString())};
            return Ok;
        }
        // Every file read and checked before anything is written.
        QList<Material> imports;
        for (const QString& path : o.imports)
            imports.append(readImport(path));

        const QString ini =
            o.ini.isEmpty() ? settingsFileIn(env.executableDir, QStringLiteral("prolis.ini")) : o.ini;
        if (!QFileInfo(ini).isFile())
            throw Failure{DatabaseOrFile,
                          QStringLiteral("Nepodařilo se načíst konfigurační soubor %1.").arg(ini)};
        ConnectionSettings s;
        try {
            readSettingsFile(ini, s);
        } catch (const Error& e) {
            throw Failure{DatabaseOrFile, errorDisplayText(e.message())};
        }
        if (!o.user.isEmpty()) s.User = o.user;
        s.Password = env.password ? env.password() : QString();
        MaterialConnection connection;
        try {
            connection.connect(s);
        } catch (const Error& e) {
            throw Failure{DatabaseOrFile, errorDisplayText(e.message())};
        }
        MaterialStore store(connection);
        try {
            // Every name checked before anything is written; then all the
            // files in one transaction, so a refusal leaves the database as
            // it was.
            QList<MaterialStore::Save> saves;
            QSet<QString> names;
            for (Material m : imports) {
                if (names.contains(m.nazev))
                    throw Failure{Refused, QStringLiteral("Materiál „%1“ je v importovaných souborech vícekrát.")
                                               .arg(m.nazev)};
                names.insert(m.nazev);
                std::optional<Material> loaded;
                if (const std::optional<int> existing = store.findByName(m.nazev)) {
                    if (!o.replace)
                        throw Failure{
                            Refused, QStringLiteral("Materiál „%1“ už v databázi je (nahradí jej --replace). "
                                                    "Nic nebylo uloženo.")
                                         .arg(m.nazev)};
                    loaded = store.load(*existing);
                    m.id = existing;
                }
                for (const QString& similar : store.similarNames(m.nazev))
                    err << QStringLiteral("Upozornění: v databázi je materiál „%1“, jehož název se od „%2“ liší "
                                          "jen velikostí písmen, diakritikou nebo mezerami.\n")
                               .arg(similar, m.nazev);
                saves.append({loaded, m});
            }
            const QList<int> ids = saves.isEmpty() ? QList<int>{} : store.saveAll(saves);
            for (qsizetype i = 0; i < ids.size(); ++i)
                err << QStringLiteral("Materiál „%1“ uložen (id %2, teplot %3).\n")
                           .arg(saves[i].edited.nazev)
                           .arg(ids[i])
                           .arg(saves[i].edited.temperatures.size());
            if (o.exporting) {
                const std::optional<int> id = store.findByName(o.exportName);
                if (!id)
                    throw Failure{Refused,
                                  QStringLiteral("Materiál „%1“ v databázi není.").arg(o.exportName)};
                const std::optional<Material> m = store.load(*id);
                if (!m)
                    throw Failure{Refused,
                                  QStringLiteral("Materiál „%1“ v databázi není.").arg(o.exportName)};
                if (const QString refusal = exportRefusal(*m); !refusal.isEmpty()) throw Failure{Refused, refusal};
                const QByteArray json = materialJson(*m);
                QString reason;
                const bool written =
                    o.output == u"-" ? writeAll(out, json) : writeWholeFile(o.output, json, &reason);
                if (!written)
                    throw Failure{DatabaseOrFile,
                                  QStringLiteral("Soubor %1 nelze zapsat: %2")
                                      .arg(o.output, reason.isEmpty() ? out.errorString() : reason)};
            }
        } catch (const SaveRefused& e) {
            throw Failure{Refused, e.message()};
        } catch (const Error& e) {
            throw Failure{DatabaseOrFile, errorDisplayText(e.message())};
        }
    } catch (const Failure& f) {
        err << (f.code == Usage
                    ? QStringLiteral("MatEdit: ") + f.message + QLatin1Char('\n') + QString::fromUtf8(Help)
                    : f.message + QLatin1Char('\n'));
        code = f.code;
    }
    err.flush();
    return code;
}

} // namespace prolis::edit
