#include "Project.h"

#include "core/Errors.h"
#include "core/FileIo.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"

#include <QSet>

namespace prolis::project {

bool Project::operator==(const Project& o) const {
    if (forward != o.forward || backward.size() != o.backward.size()) return false;
    for (qsizetype i = 0; i < backward.size(); ++i)
        if (!(backward[i].record == o.backward[i].record) || !(backward[i].row == o.backward[i].row))
            return false;
    return true;
}

namespace {

// A refusal of the file being read.
struct Refused {
    QString why;
};

template <size_t N>
std::array<QString, N> readTexts(const json::Document& doc, const json::Node& object,
                                 const std::array<const char*, N>& names, const QString& where) {
    if (object.kind != json::Node::Object) throw Refused{QStringLiteral("%1 musí být objekt.").arg(where)};
    std::array<QString, N> texts;
    std::array<bool, N> seen{};
    doc.forEach(object, [&](const json::Node& m) {
        const QString key = json::Document::keyOf(m);
        size_t i = 0;
        while (i < N && key != QLatin1String(names[i]))
            ++i;
        if (i == N) throw Refused{QStringLiteral("%1: neznámé pole „%2“.").arg(where, key.left(40))};
        if (seen[i]) throw Refused{QStringLiteral("%1: pole „%2“ je zadáno vícekrát.").arg(where, key)};
        if (m.kind != json::Node::String)
            throw Refused{QStringLiteral("%1: pole „%2“ musí být text.").arg(where, key)};
        seen[i] = true;
        texts[i] = json::Document::stringOf(m);
    });
    for (size_t i = 0; i < N; ++i)
        if (!seen[i])
            throw Refused{QStringLiteral("%1: chybí pole „%2“.").arg(where, QLatin1String(names[i]))};
    return texts;
}

} // namespace

QByteArray projectJson(const Project& p) {
    QByteArray out;
    appendProjectJson(p, out);
    return out;
}

void appendProjectJson(const Project& p, QByteArray& out) {
    {
        JsonWriter w(out, true);
        w.beginObject();
        w.key(QLatin1StringView("format"));
        w.string(u"prolis-project");
        w.key(QLatin1StringView("version"));
        w.integer(Version);
        w.key(QLatin1StringView("forward"));
        w.beginArray(false);
        for (const fwd::Souhrn& r : p.forward)
            writeTexts(w, fwd::fieldNames(), r.f);
        w.endArray();
        w.key(QLatin1StringView("backward"));
        w.beginArray(false);
        for (const bwd::Entry& e : p.backward) {
            w.beginObject();
            w.key(QLatin1StringView("record"));
            writeTexts(w, bwd::fieldNames(), e.record.f);
            w.key(QLatin1StringView("row"));
            writeTexts(w, bwd::summaryFieldNames(), e.row.f);
            w.endObject();
        }
        w.endArray();
        w.endObject();
    }
    out.append('\n');
}

ReadProject readProjectFile(const QString& path) {
    const FileRead file = readBoundedFile(path, MaxProjectFileSize);
    if (!file) return {std::nullopt, readFailure(path, file, MaxProjectFileSize), true};
    return readProject(file.bytes, path);
}

ReadProject readProject(const QByteArray& bytes, const QString& source) {
    const auto refuse = [&](const QString& why) {
        return ReadProject{std::nullopt,
                           QStringLiteral("Soubor výpočtů %1 nelze otevřít: %2").arg(source, why)};
    };
    if (bytes.size() > MaxProjectFileSize) return refuse(QStringLiteral("je větší než 64 MiB."));
    // A file saved again by an editor that marks UTF-8 with a byte-order mark.
    const qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    json::Document doc;
    QString error;
    if (!doc.parse(std::string_view(bytes.constData() + start, static_cast<size_t>(bytes.size() - start)),
                   &error))
        return refuse(QStringLiteral("není platný JSON (%1).").arg(error));
    const json::Node& root = doc.root();
    if (root.kind != json::Node::Object) return refuse(QStringLiteral("není soubor výpočtů Prolisu."));
    const json::Node* format = doc.member(root, "format");
    if (!format || format->kind != json::Node::String ||
        json::Document::stringOf(*format) != u"prolis-project")
        return refuse(QStringLiteral("není soubor výpočtů Prolisu (chybí \"format\": \"prolis-project\")."));
    const json::Node* version = doc.member(root, "version");
    if (!version || version->kind != json::Node::Number)
        return refuse(QStringLiteral("chybí číslo verze (\"version\")."));
    if (version->text != "1") {
        const bool later = version->text.find_first_not_of("0123456789") == std::string_view::npos &&
                           version->text.size() <= 9 && version->text != "0";
        return refuse(
            later ? QStringLiteral("je z novější verze Prolisu (verze %1); tato verze čte verzi 1.")
                        .arg(QString::fromLatin1(version->text.data(), qsizetype(version->text.size())))
                  : QStringLiteral("verze souboru není 1."));
    }
    Project p;
    try {
        QSet<QString> keys;
        doc.forEach(root, [&](const json::Node& m) {
            const QString key = json::Document::keyOf(m);
            if (keys.contains(key))
                throw Refused{QStringLiteral("klíč „%1“ je zadán vícekrát.").arg(key.left(40))};
            keys.insert(key);
            if (key == u"format" || key == u"version") return;
            if (key != u"forward" && key != u"backward")
                throw Refused{QStringLiteral("neznámý klíč „%1“.").arg(key.left(40))};
            if (m.kind != json::Node::Array) throw Refused{QStringLiteral("„%1“ musí být pole.").arg(key)};
            int n = 0;
            doc.forEach(m, [&](const json::Node& item) {
                if (++n > MaxEntries) throw Refused{QStringLiteral("více než 100 000 výpočtů.")};
                if (key == u"forward") {
                    fwd::Souhrn r;
                    r.f =
                        readTexts(doc, item, fwd::fieldNames(), QStringLiteral("dopředný výpočet %1").arg(n));
                    p.forward.append(r);
                    return;
                }
                const QString where = QStringLiteral("zpětný výpočet %1").arg(n);
                if (item.kind != json::Node::Object)
                    throw Refused{QStringLiteral("%1 musí být objekt.").arg(where)};
                const json::Node* record = nullptr;
                const json::Node* row = nullptr;
                int members = 0;
                doc.forEach(item, [&](const json::Node& part) {
                    ++members;
                    const QString k = json::Document::keyOf(part);
                    if (k == u"record" && !record)
                        record = &part;
                    else if (k == u"row" && !row)
                        row = &part;
                    else
                        throw Refused{
                            QStringLiteral("%1: neznámý nebo opakovaný klíč „%2“.").arg(where, k.left(40))};
                });
                if (!record || !row)
                    throw Refused{QStringLiteral("%1: chybí „record“ nebo „row“.").arg(where)};
                bwd::Entry e;
                e.record.f = readTexts(doc, *record, bwd::fieldNames(), where);
                e.row.f = readTexts(doc, *row, bwd::summaryFieldNames(), where + QStringLiteral(" (souhrn)"));
                p.backward.append(e);
            });
        });
    } catch (const Refused& r) {
        return refuse(r.why);
    }
    return {p, {}};
}

} // namespace prolis::project
