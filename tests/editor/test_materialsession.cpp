// The material editor's editing session without a server or windows: a
// sequence of the user's actions, then the state it must leave (what each
// temperature holds, which fields are invalid, what a save says).
#include "core/NumberText.h"
#include "editor/MaterialFiles.h"
#include "editor/MaterialSession.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace prolis;
using namespace prolis::edit;

namespace {

// The database in memory: names compared exactly, as the real store does;
// "similar" as the server's collation sees them (case, accents, trailing blanks).
class MemoryRepository final : public MaterialRepository {
public:
    QMap<int, Material> materials;
    int saves = 0;

    static QString folded(const QString& s) {
        QString d = s.normalized(QString::NormalizationForm_D);
        QString out;
        for (QChar c : d)
            if (c.category() != QChar::Mark_NonSpacing) out += c.toLower();
        while (out.endsWith(QLatin1Char(' ')))
            out.chop(1);
        return out;
    }
    QList<ListedMaterial> list() override {
        QList<ListedMaterial> out;
        for (const Material& m : materials)
            out.append({*m.id, m.nazev, m.rm, m.rp, m.a5, m.z});
        return out;
    }
    std::optional<Material> load(int id) override {
        if (!materials.contains(id)) return std::nullopt;
        Material m = materials.value(id);
        m.temperatures = records(m);
        for (Data& d : m.temperatures)
            d.nazev.clear(), d.rm = d.rp = d.a5 = d.z = 0;
        return m;
    }
    std::optional<int> findByName(const QString& name) override {
        for (const Material& m : materials)
            if (m.nazev == name) return m.id;
        return std::nullopt;
    }
    QStringList similarNames(const QString& name) override {
        QStringList out;
        for (const Material& m : materials)
            if (m.nazev != name && folded(m.nazev) == folded(name)) out << m.nazev;
        return out;
    }
    int save(const std::optional<Material>& loaded, const Material& edited) override {
        const QStringList refused = refusals(edited);
        if (!refused.isEmpty()) throw SaveRefused(refused.join('\r'));
        int id = 0;
        if (loaded && loaded->id) {
            id = *loaded->id;
            if (!materials.contains(id)) throw DeletedMeanwhile(msgDeletedMeanwhile(loaded->nazev));
            if (load(id) != loaded) throw SaveRefused(MsgChangedMeanwhile);
        }
        if (const std::optional<int> same = findByName(edited.nazev); same && *same != id)
            throw SaveRefused(QStringLiteral("Materiál „%1“ už v databázi je.").arg(edited.nazev));
        if (id == 0) id = materials.isEmpty() ? 1 : materials.lastKey() + 1;
        Material m = edited;
        m.id = id;
        materials.insert(id, m);
        ++saves;
        return id;
    }
    void remove(const Material& loaded) override { materials.remove(*loaded.id); }
    int duplicate(const Material& m) override {
        Material copy = m;
        copy.id.reset();
        copy.nazev = QStringLiteral("Kopie ") + m.nazev;
        return save(std::nullopt, copy);
    }
};

Material stored(const QString& name, const QList<int>& temperatures, double polA) {
    Material m;
    m.nazev = name;
    m.rm = 650;
    m.rp = 350;
    for (int t : temperatures) {
        Data d;
        d.teplo = static_cast<std::int16_t>(t);
        d.pol_a = polA;
        d.pol_b = 0.2;
        d.ppol_a = polA / 1200;
        d.ppol_b = 1.2;
        d.fimax = 1.4;
        m.temperatures.append(d);
    }
    return m;
}

// σ = a·φ^0.2 at 30 points up to φ = 1,35.
QList<fit::Point> hollomon(double a) {
    QList<fit::Point> points;
    for (int i = 1; i <= 30; ++i)
        points.append({0.045 * i, a * std::pow(0.045 * i, 0.2)});
    return points;
}

// The session as a line: each temperature with the size of its curve,
// whether it has fits, and its pol_a; then the chosen row and the state.
QString describe(const MaterialSession& s) {
    QStringList parts;
    MaterialSession& m = const_cast<MaterialSession&>(s);
    const int chosen = s.chosenRow();
    for (int row = 0; row < s.temperatureCount(); ++row) {
        m.choose(row);
        parts << QStringLiteral("%1:%2%3:%4")
                     .arg(s.chosen()->teplo)
                     .arg(s.curve().size())
                     .arg(s.fits() ? QStringLiteral("f") : QString())
                     .arg(std::round(s.chosen()->pol_a));
    }
    m.choose(chosen);
    return parts.join(' ') + QStringLiteral(" | chosen %1").arg(chosen) +
           (s.isModified() ? QStringLiteral(" modified") : QString());
}

// Runs the actions of a scenario, one per item: "open ID", "new", "add T",
// "copytemp T", "choose ROW", "curve A" (a Hollomon curve of a·φ^0,2 on the
// chosen temperature), "flatcurve" (six points at 500 MPa), "twopoints
// falling", "fit", "take", "deletetemp", "type FIELD TEXT",
// "save", "copy", "othersave ID", "otherdelete ID".
QString play(MemoryRepository& repo, MaterialSession& s, const QStringList& actions) {
    QStringList said;
    for (const QString& action : actions) {
        const QString verb = action.section(' ', 0, 0);
        const QString arg = action.section(' ', 1);
        if (verb == u"open") {
            s.open(arg.toInt());
        } else if (verb == u"new") {
            s.newMaterial();
        } else if (verb == u"add") {
            if (const QString r = s.addTemperature(arg.toInt(), false); !r.isEmpty()) said << r;
        } else if (verb == u"copytemp") {
            if (const QString r = s.addTemperature(arg.toInt(), true); !r.isEmpty()) said << r;
        } else if (verb == u"choose") {
            s.choose(arg.toInt());
        } else if (verb == u"curve") {
            s.setCurve(hollomon(arg.toDouble()));
        } else if (verb == u"flatcurve") {
            QList<fit::Point> flat;
            for (int i = 1; i <= 6; ++i)
                flat.append({0.2 * i, 500});
            s.setCurve(flat);
        } else if (verb == u"twopoints") {
            s.setCurve({{0.1, 700}, {0.5, 500}});
        } else if (verb == u"fit") {
            if (const QString r = s.fitCurve(); !r.isEmpty()) said << r;
        } else if (verb == u"take") {
            s.takeTickedFits();
        } else if (verb == u"deletetemp") {
            s.removeChosenTemperature();
        } else if (verb == u"type") {
            s.setField(arg.section(' ', 0, 0), arg.section(' ', 1));
        } else if (verb == u"save") {
            const QStringList refused = s.saveRefusals();
            if (!refused.isEmpty()) {
                said << refused;
                continue;
            }
            try {
                s.save();
                said << QStringLiteral("uloženo");
            } catch (const SaveRefused& e) {
                said << e.message();
            }
        } else if (verb == u"copy") {
            s.copyLoaded();
        } else if (verb == u"othersave") {
            Material m = *repo.load(arg.toInt());
            m.rm += 1;
            repo.save(repo.load(arg.toInt()), m);
        } else if (verb == u"otherdelete") {
            repo.materials.remove(arg.toInt());
        } else {
            qFatal("unknown action %s", qPrintable(action));
        }
    }
    return said.join('|');
}

} // namespace

class TestMaterialSession : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data();
    void scenarios();
    void invalidFieldsBlockSave_data();
    void invalidFieldsBlockSave();
    void physicalChecks_data();
    void physicalChecks();
    void names_data();
    void names();
    void takenFitsAreShortAndClose();
    void importDeclinedChangesNothing();
    void importedTemperatureBeyondTheRecord_data();
    void importedTemperatureBeyondTheRecord();
    void exportImportsBack();
    void manyRefusalsListedBriefly();
};

void TestMaterialSession::scenarios_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("said");
    // Material 1 "C45" at 20 and 300 °C with pol_a 800.
    QTest::newRow("opened") << QStringList{"open 1"} << "20:0:800 300:0:800 | chosen 0"
                            << "";
    QTest::newRow("curve stays on its temperature when another is added")
        << QStringList{"open 1", "curve 900", "add 200", "fit", "take"}
        << "20:30:800 200:0:0 300:0:800 | chosen 1 modified"
        << "Nejprve načtěte naměřenou křivku.";
    QTest::newRow("fit lands in the temperature of the curve")
        << QStringList{"open 1", "curve 900", "add 200", "choose 0", "fit", "take"}
        << "20:30f:900 200:0:0 300:0:800 | chosen 0 modified"
        << "";
    QTest::newRow("a temperature the record cannot hold is not added")
        << QStringList{"open 1", "copytemp 32800", "add -274", "add 32767"}
        << "20:0:800 300:0:800 32767:0:0 | chosen 2 modified"
        << "Teplotu 32800 °C nelze přidat: záznam materiálu drží teploty od −273 do 32767 °C.|"
           "Teplotu -274 °C nelze přidat: záznam materiálu drží teploty od −273 do 32767 °C.";
    QTest::newRow("a curve no law fits but the polynomials: the rest is kept")
        << QStringList{"open 1", "flatcurve", "fit", "take"} << "20:6f:800 300:0:800 | chosen 0 modified"
        << "";
    QTest::newRow("a curve of too few points for every fit")
        << QStringList{"open 1", "twopoints falling", "fit"} << "20:2f:800 300:0:800 | chosen 0"
        << "Polytropa: naměřené σp s rostoucím φ neroste (exponent b by byl nejvýše 0,0001), Polytropa a·φ^b "
           "+ c s "
           "a > 0 a b > 0 křivku nepopíše.\rPolynom 3 st.: potřebuje alespoň 4 body, křivka má jen 2.\r"
           "Polynom 5 st.: potřebuje alespoň 6 bodů, křivka má jen 2.\rRacionálně lomená fce: potřebuje "
           "alespoň "
           "6 bodů, křivka má jen 2.\rMěrná práce: Polynom: potřebuje alespoň 5 bodů, křivka má jen 2.";
    QTest::newRow("curve travels when its temperature is sorted")
        << QStringList{"open 1", "choose 1", "curve 700", "type teplo 10"}
        << "10:30:800 20:0:800 | chosen 0 modified"
        << "";
    QTest::newRow("copied temperature takes its own copy of the curve")
        << QStringList{"open 1", "curve 900", "copytemp 100", "curve 500", "choose 0", "fit", "take"}
        << "20:30f:900 100:30:800 300:0:800 | chosen 0 modified"
        << "";
    QTest::newRow("curve goes with a deleted temperature")
        << QStringList{"open 1", "curve 900", "deletetemp", "fit"} << "300:0:800 | chosen 0 modified"
        << "Nejprve načtěte naměřenou křivku.";
    QTest::newRow("new material has no curve")
        << QStringList{"open 1", "curve 900", "new", "add 20", "fit"} << "20:0:0 | chosen 0 modified"
        << "Nejprve načtěte naměřenou křivku.";
    QTest::newRow("another material has no curve of the first")
        << QStringList{"open 1", "curve 900", "open 2", "fit"} << "20:0:600 | chosen 0"
        << "Nejprve načtěte naměřenou křivku.";
    QTest::newRow("saved, the curve stays with its temperature")
        << QStringList{"open 1", "choose 1", "curve 900", "fit", "take", "save"}
        << "20:0:800 300:30f:900 | chosen 1"
        << "uloženo";
    QTest::newRow("changed meanwhile") << QStringList{"open 1", "type rm 700", "othersave 1", "save"}
                                       << "20:0:800 300:0:800 | chosen 0 modified"
                                       << "Materiál mezitím změnil jiný uživatel. Načtěte jej znovu.";
    QTest::newRow("deleted meanwhile, then saved as a new one")
        << QStringList{"open 1", "type rm 700", "otherdelete 1", "save", "save"}
        << "20:0:800 300:0:800 | chosen 0"
        << "Materiál „C45“ mezitím smazal jiný uživatel. Uložíte-li jej, vloží se jako nový.|uloženo";
    QTest::newRow("copy is of the database's version")
        << QStringList{"open 1", "type pol_a 5", "copy"} << "20:0:800 300:0:800 | chosen 0"
        << "";
}

void TestMaterialSession::scenarios() {
    QFETCH(QStringList, actions);
    QFETCH(QString, state);
    QFETCH(QString, said);
    MemoryRepository repo;
    repo.save(std::nullopt, stored("C45", {300, 20}, 800));
    repo.save(std::nullopt, stored("C15", {20}, 600));
    MaterialSession s(repo);
    QCOMPARE(play(repo, s, actions), said);
    QCOMPARE(describe(s), state);
}

void TestMaterialSession::invalidFieldsBlockSave_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("beyond the double range") << "pol_a"
                                             << "1e400"
                                             << "pol_a (teplota 20 °C): „1e400“";
    QTest::newRow("decimal point") << "pol_b"
                                   << "0.25"
                                   << "pol_b (teplota 20 °C): „0.25“";
    QTest::newRow("temperature beyond the record") << "teplo"
                                                   << "40000"
                                                   << "Teplota (teplota 20 °C): „40000“";
    QTest::newRow("temperature not whole") << "teplo"
                                           << "20,5"
                                           << "Teplota (teplota 20 °C): „20,5“";
    QTest::newRow("Rm with a blank inside") << "rm"
                                            << "1 204,5"
                                            << "Rm: „1 204,5“";
    QTest::newRow("letters") << "fimax"
                             << "abc"
                             << "φ(max) (teplota 20 °C): „abc“";
}

void TestMaterialSession::invalidFieldsBlockSave() {
    // The field keeps the text as typed (and shows it), the save is refused
    // naming it, nothing is written; mended, the save goes through.
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    MemoryRepository repo;
    repo.save(std::nullopt, stored("C45", {20}, 800));
    MaterialSession s(repo);
    s.open(1);
    const QString before = s.fieldText(field);
    s.setField(field, text);
    QVERIFY(!s.fieldValid(field));
    QCOMPARE(s.fieldText(field), text);
    QVERIFY(s.isModified());
    const QStringList refused = s.saveRefusals();
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused[0], QStringLiteral("Tato pole neobsahují platnou hodnotu: %1.").arg(named));
    // The typed text survives choosing another temperature and back.
    s.addTemperature(300, false);
    s.choose(0);
    QCOMPARE(s.fieldText(field), text);
    s.removeChosenTemperature();
    s.addTemperature(20, false);
    s.setField(field, before);
    QVERIFY(s.saveRefusals().isEmpty());
    s.setField(field, text);
    s.setField(field, before);
    QVERIFY(s.fieldValid(field));
}

void TestMaterialSession::physicalChecks_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("warned");
    QTest::newRow("negative Rm") << QStringList{"type rm -5"} << "Rm nesmí být záporné (-5)."
                                 << "Mez kluzu Rp je větší než mez pevnosti Rm.";
    QTest::newRow("Z over 100") << QStringList{"type z 120"} << "Kontrakce Z nemůže být větší než 100 %."
                                << "";
    QTest::newRow("below absolute zero")
        << QStringList{"type teplo -300"} << "Teplota -300 °C je pod absolutní nulou."
        << "";
    QTest::newRow("absolute zero itself is no refusal") << QStringList{"type teplo -273"} << ""
                                                        << "";
    QTest::newRow("negative strain") << QStringList{"type fimax -1"}
                                     << "φ(max) ani φ(str) nesmí být záporné (teplota 20 °C)."
                                     << "φ(str) je větší než φ(max) (teplota 20 °C).";
    QTest::newRow("a hot temperature") << QStringList{"type teplo 1500"} << ""
                                       << "Teplota 1500 °C je nad teplotami tváření oceli.";
    QTest::newRow("no temperature, nothing filled")
        << QStringList{"new", "type nazev Prázdný"} << ""
        << "Materiál nemá žádnou teplotu: Prolis jej k výpočtu nenabídne.|Rm, Rp, A5 ani Z nejsou zadány.";
    QTest::newRow("a temperature without any equation")
        << QStringList{"type pol_a 0"} << ""
        << "Chybí konstanty všech rovnic přetvárného odporu (teplota 20 °C).";
}

void TestMaterialSession::physicalChecks() {
    QFETCH(QStringList, actions);
    QFETCH(QString, refused);
    QFETCH(QString, warned);
    MemoryRepository repo;
    repo.save(std::nullopt, stored("C45", {20}, 800));
    MaterialSession s(repo);
    s.open(1);
    play(repo, s, actions);
    QCOMPARE(s.saveRefusals().join('|'), refused);
    QCOMPARE(s.saveWarnings().join('|'), warned);
}

void TestMaterialSession::names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("plain") << "C45 (12 050)"
                           << "";
    QTest::newRow("Czech and Greek") << "Ocel Č15 – σ"
                                     << "";
    QTest::newRow("a character beyond the BMP") << QString::fromUtf8("Ocel \xF0\x9D\x9B\xBC") << "";
    QTest::newRow("NUL") << QStringLiteral("C45") + QChar(0) + "x"
                         << "Název materiálu obsahuje nepovolený znak U+0000 (NUL) na 4. místě.";
    QTest::newRow("CR") << "C45\rx"
                        << "Název materiálu obsahuje nepovolený znak U+000D (CR) na 4. místě.";
    QTest::newRow("LF") << "C\n45"
                        << "Název materiálu obsahuje nepovolený znak U+000A (LF) na 2. místě.";
    QTest::newRow("ESC") << "\x1b[31mC45"
                         << "Název materiálu obsahuje nepovolený znak U+001B (ESC) na 1. místě.";
    QTest::newRow("line separator")
        << QStringLiteral("C45") + QChar(0x2028)
        << "Název materiálu obsahuje nepovolený znak U+2028 (oddělovač řádků) na 4. místě.";
    QTest::newRow("BOM") << QChar(0xFEFF) + QStringLiteral("C45")
                         << "Název materiálu obsahuje nepovolený znak U+FEFF (BOM) na 1. místě.";
    QTest::newRow("zero-width space") << QStringLiteral("C") + QChar(0x200B) + "45"
                                      << "Název materiálu obsahuje nepovolený znak U+200B na 2. místě.";
    QTest::newRow("lone surrogate")
        << QStringLiteral("C45") + QChar(0xD835)
        << "Název materiálu obsahuje nepovolený znak U+D835 (osamocená polovina znaku) na 4. místě.";
    QTest::newRow("trailing blank") << "C45 "
                                    << "Název materiálu nesmí začínat ani končit mezerou.";
    QTest::newRow("blank only") << "   "
                                << "Název materiálu nesmí být prázdný.";
    QTest::newRow("101 characters") << QString(101, 'x') << "Název materiálu je delší než 100 znaků.";
}

void TestMaterialSession::names() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QCOMPARE(nameProblem(name), refusal);
    // The same refusal on import: a file with such a name is not read in.
    if (name.back().isHighSurrogate()) return; // no UTF-8 file holds one
    // The name in the file as JSON escapes, so that it reaches the reader whole.
    QByteArray escaped;
    for (QChar c : name)
        escaped += c.unicode() < 0x20 || c.unicode() > 0x7E
                       ? QByteArray("\\u") + QByteArray::number(c.unicode(), 16).rightJustified(4, '0')
                       : QByteArray(1, char(c.unicode()));
    QByteArray json = materialJson(stored("JMENO", {20}, 800));
    json.replace("\"JMENO\"", "\"" + escaped + "\"");
    QTemporaryDir dir;
    const QString path = dir.filePath("m.json");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(json);
    f.close();
    const MaterialFile read = readMaterialFile(path);
    if (refusal.isEmpty()) {
        QVERIFY2(read.material, qPrintable(read.refusal));
        QCOMPARE(read.material->nazev, name);
    } else {
        QVERIFY2(!read.material, qPrintable(read.material->nazev.toUtf8().toHex()));
        QVERIFY2(read.refusal.contains(refusal), qPrintable(read.refusal));
    }
}

void TestMaterialSession::takenFitsAreShortAndClose() {
    // The fitted constants are taken as short texts: each is exactly what
    // its field shows, has fewer than 15 digits, and the curve it gives stays
    // within 0,01 MPa of the full-precision fit over the measured range.
    MemoryRepository repo;
    repo.save(std::nullopt, stored("C45", {20}, 800));
    MaterialSession s(repo);
    s.open(1);
    QList<fit::Point> points;
    for (int i = 1; i <= 40; ++i) {
        const double phi = 0.035 * i;
        points.append({phi, 812.345678 * std::pow(phi, 0.1873) + 3.3 * std::sin(7 * phi)});
    }
    s.setCurve(points);
    QCOMPARE(s.fitCurve(), QString());
    s.takeTickedFits();
    const Data& taken = *s.chosen();
    const Data full = s.fits()->constants();
    for (const auto& [group, columns] : constantGroups())
        for (const QString& c : columns) {
            const double v = constantOf(taken, c);
            QCOMPARE(textToFloat(s.fieldText(c)), v);
            QVERIFY2(s.fieldText(c).remove(',').remove('-').size() < 15 || v == 0,
                     qPrintable(c + s.fieldText(c)));
        }
    for (EquationKind k :
         {EquationKind::Polytropa, EquationKind::Polynom3, EquationKind::Polynom5, EquationKind::Racionalni})
        for (const fit::Point& p : points)
            QVERIFY(std::fabs(FlowStress(taken, k, p.phi) - FlowStress(full, k, p.phi)) <= 0.01 + 1e-9);
    for (const fit::Point& p : points)
        QVERIFY(std::fabs(SpecificWork(taken, p.phi) - SpecificWork(full, p.phi)) * 1000 <= 0.01 + 1e-9);
}

void TestMaterialSession::importDeclinedChangesNothing() {
    // Preparing an import (the window then asks about the replacement) does
    // not touch the form; only applying it does.
    MemoryRepository repo;
    repo.save(std::nullopt, stored("C45", {20}, 800));
    repo.save(std::nullopt, stored("C15", {20}, 600));
    MaterialSession s(repo);
    s.open(2);
    QTemporaryDir dir;
    const QString path = dir.filePath("c45.json");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(materialJson(stored("C45", {20}, 850)));
    f.close();
    const MaterialSession::Import import = s.prepareImport(path);
    QCOMPARE(import.replaces, std::optional<int>(1));
    QVERIFY(!s.isModified());
    QCOMPARE(s.currentId(), std::optional<int>(2));
    s.applyImport(import);
    QCOMPARE(s.currentId(), std::optional<int>(1));
    QCOMPARE(s.chosen()->pol_a, 850.0);
    QVERIFY(s.isModified());
    QVERIFY(s.saveRefusals().isEmpty());
    // A name that differs only in accents is another material, with a warning.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(materialJson(stored(QStringLiteral("Č45"), {20}, 850)));
    f.close();
    const MaterialSession::Import accented = s.prepareImport(path);
    QCOMPARE(accented.replaces, std::nullopt);
    QCOMPARE(accented.similar, QStringList{"C45"});
}

void TestMaterialSession::importedTemperatureBeyondTheRecord_data() {
    QTest::addColumn<QByteArray>("teplo");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("40000") << QByteArray("40000")
                           << "teplota (klíč \"teplo\") je mimo rozsah záznamu materiálu";
    QTest::newRow("-40000") << QByteArray("-40000")
                            << "teplota (klíč \"teplo\") je mimo rozsah záznamu materiálu";
    QTest::newRow("-300") << QByteArray("-300") << "Teplota -300 °C je pod absolutní nulou.";
    QTest::newRow("32767 is held") << QByteArray("32767") << "";
}

void TestMaterialSession::importedTemperatureBeyondTheRecord() {
    // A file's temperature the record cannot hold is refused by name, in
    // Czech and naming the file; it never wraps round to another one.
    QFETCH(QByteArray, teplo);
    QFETCH(QString, refusal);
    MemoryRepository repo;
    MaterialSession s(repo);
    QTemporaryDir dir;
    const QString path = dir.filePath("t.json");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"({"nazev": "Horká", "teplo": )" + teplo + R"(, "pol_a": 300, "fimax": 1})");
    f.close();
    const MaterialSession::Import import = s.prepareImport(path);
    if (refusal.isEmpty()) {
        QVERIFY(import.material);
        QCOMPARE(int(import.material->temperatures.first().teplo), teplo.toInt());
    } else {
        QVERIFY(!import.material);
        QVERIFY2(import.refusal.startsWith(path + ": ") && import.refusal.contains(refusal),
                 qPrintable(import.refusal));
    }
}

void TestMaterialSession::exportImportsBack() {
    // A material without temperatures cannot be written so that it reads
    // back: the export is refused with the reason.
    QVERIFY(!exportRefusal(stored("Bez teplot", {}, 0)).isEmpty());
    QVERIFY(exportRefusal(stored("C45", {20}, 800)).isEmpty());
}

void TestMaterialSession::manyRefusalsListedBriefly() {
    // 100,000 records of one material: every refusal counted, only the first
    // few listed.
    Material m = stored("C45", {}, 800);
    for (int i = 0; i < 100000; ++i) {
        Data d;
        d.teplo = static_cast<std::int16_t>(i % 1000);
        d.pol_a = 800;
        m.temperatures.append(d);
    }
    const QStringList refused = refusals(m);
    QCOMPARE(refused.size(), MaxListedRefusals + 1);
    QCOMPARE(refused.last(), QStringLiteral("… a %1 dalších.").arg(99000 - MaxListedRefusals));
}

QTEST_GUILESS_MAIN(TestMaterialSession)
#include "test_materialsession.moc"
