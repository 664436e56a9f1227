#include "Batch.h"

#include "core/FileIo.h"
#include "domain/DataJson.h"
#include "domain/UnitsProject.h"

#include <QFileDevice>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace prolis::cli {

namespace {

// A line that is not a request: exit 64 with the reason.
struct Malformed {
    QString message;
};

QString keyText(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

[[noreturn]] void malformed(const QString& message) {
    throw Malformed{message};
}

// The members of an object by name: each at most once, none unknown.
template <size_t N> struct Members {
    std::array<const json::Node*, N> found{};

    Members(const json::Document& doc, const json::Node& object, const std::array<std::string_view, N>& names,
            const QString& unknown) {
        doc.forEach(object, [&](const json::Node& m) {
            std::string decoded;
            if (m.keyEscaped) decoded = json::Document::keyOf(m).toStdString();
            const std::string_view key = m.keyEscaped ? std::string_view(decoded) : m.key;
            for (size_t i = 0; i < N; ++i) {
                if (key == names[i] && !key.empty()) {
                    if (found[i])
                        malformed(QStringLiteral("Klíč \"%1\" je zadán vícekrát.").arg(keyText(key)));
                    found[i] = &m;
                    return;
                }
            }
            malformed(unknown.arg(json::Document::keyOf(m)));
        });
    }
};

// A JSON integer written without fraction or exponent, within int.
bool integerOf(const json::Node& n, int& value) {
    if (n.kind != json::Node::Number) return false;
    const std::string_view t = n.text;
    const bool negative = t.front() == '-';
    long long v = 0;
    for (size_t i = negative ? 1 : 0; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9' || v > INT_MAX) return false;
        v = 10 * v + (t[i] - '0');
    }
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

// The value echoed as "id": the input's JSON on one line.
void writeCompact(const json::Document& doc, const json::Node& n, QByteArray& out) {
    switch (n.kind) {
    case json::Node::String:
        out += '"';
        out.append(n.text.data(), static_cast<qsizetype>(n.text.size()));
        out += '"';
        break;
    case json::Node::Array:
    case json::Node::Object: {
        const bool object = n.kind == json::Node::Object;
        out += object ? '{' : '[';
        bool first = true;
        doc.forEach(n, [&](const json::Node& c) {
            if (!first) out += ',';
            first = false;
            if (object) {
                out += '"';
                out.append(c.key.data(), static_cast<qsizetype>(c.key.size()));
                out += "\":";
            }
            writeCompact(doc, c, out);
        });
        out += object ? '}' : ']';
        break;
    }
    default:
        out.append(n.text.data(), static_cast<qsizetype>(n.text.size()));
    }
}

// Whether the echo of an id is JSON that a strict reader takes: the line's
// reader keeps a number's text as written, and 1e999 is no double; a string
// must decode to whole characters (no lone half of a surrogate pair).
bool strictJson(const json::Document& doc, const json::Node& n) {
    switch (n.kind) {
    case json::Node::String:
        return n.text.find('\\') == std::string_view::npos || json::Document::stringOf(n).isValidUtf16();
    case json::Node::Number: {
        double v = 0;
        const auto r = std::from_chars(n.text.data(), n.text.data() + n.text.size(), v);
        return r.ec == std::errc() && r.ptr == n.text.data() + n.text.size() && std::isfinite(v);
    }
    case json::Node::Object:
    case json::Node::Array: {
        bool ok = true;
        doc.forEach(n, [&](const json::Node& child) {
            ok = ok && strictJson(doc, child) &&
                 (n.kind != json::Node::Object || child.key.find('\\') == std::string_view::npos ||
                  json::Document::keyOf(child).isValidUtf16());
        });
        return ok;
    }
    default:
        return true;
    }
}

constexpr std::array<std::string_view, 7> RequestKeys{"id",  "command", "material", "equation",
                                                      "die", "fields",  "yes"};
enum RequestKey { Id, CommandKey, MaterialKey, EquationKey, DieKey, FieldsKey, YesKey };

constexpr std::array<std::string_view, 11> ForwardFields{"D0", "h0",     "D1", "D2", "D3", "L1",
                                                         "L3", "alpha2", "f1", "f2", "f3"};
constexpr std::array<std::string_view, 6> BackwardFields{"D0", "h0", "d", "H", "f1", "f2"};

// Which of a command's field texts stand in the line's "fields".
template <size_t N>
std::array<QString, N> fieldTexts(const json::Document& doc, const json::Node* fields,
                                  const std::array<std::string_view, N>& names, const char* command) {
    std::array<QString, N> texts;
    if (!fields) return texts;
    if (fields->kind != json::Node::Object) malformed(QStringLiteral("Klíč \"fields\" musí být objekt."));
    const Members<N> m(doc, *fields, names,
                       QStringLiteral("Pole \"%1\" příkaz \"%2\" nezná.")
                           .replace(QLatin1String("%2"), QLatin1String(command)));
    for (size_t i = 0; i < N; ++i) {
        if (!m.found[i]) continue;
        if (m.found[i]->kind != json::Node::String)
            malformed(QStringLiteral("Pole \"%1\" musí být text.").arg(keyText(names[i])));
        texts[i] = json::Document::stringOf(*m.found[i]);
    }
    return texts;
}

} // namespace

struct BatchRunner::Material {
    std::optional<Data> data;
    std::optional<Failure> failure;
};

BatchRunner::BatchRunner(MaterialDatabase& db) : m_db(db) {
    // A line that repeats the text of a recent material is not read again.
    m_doc.knownValues("material", [this](std::string_view rest) -> size_t {
        for (size_t i = 0; i < m_recent.size(); ++i) {
            const std::string_view text = m_recent[i].first;
            if (rest.substr(0, text.size()) != text) continue;
            m_knownMaterial = m_recent[i].second;
            std::rotate(m_recent.begin(), m_recent.begin() + static_cast<std::ptrdiff_t>(i),
                        m_recent.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return text.size();
        }
        return 0;
    });
}
BatchRunner::~BatchRunner() = default;

// The material of a line: inline (the material-file object) or from the
// database; a failure to get it ends that line's calculation.
const BatchRunner::Material& BatchRunner::material(const json::Node* node) {
    if (!node) {
        // No material counts as none chosen: the first check refuses.
        if (!m_noMaterial) m_noMaterial = std::make_unique<Material>(Material{Data{}, {}});
        return *m_noMaterial;
    }
    if (node->known) return *m_knownMaterial; // its text was read before
    if (node->kind != json::Node::Object) malformed(QStringLiteral("Klíč \"material\" musí být objekt."));
    const json::Node* name = m_doc.member(*node, "name");
    const json::Node* id = m_doc.member(*node, "id");
    std::optional<MaterialBy> by;
    int temperature = 0;
    QString key;
    if (name || id) {
        const Members<3> m(m_doc, *node, {"name", "id", "temperature"},
                           QStringLiteral("Materiál z databáze se zadává klíči \"name\" nebo \"id\" a "
                                          "\"temperature\", klíč \"%1\" k nim nepatří."));
        if (name && id) malformed(QStringLiteral("Materiál se zadává buď klíčem \"name\", nebo \"id\"."));
        if (name && name->kind != json::Node::String)
            malformed(QStringLiteral("Klíč \"name\" musí být text."));
        int number = 0;
        if (id && !integerOf(*id, number)) malformed(QStringLiteral("Klíč \"id\" musí být celé číslo."));
        if (!m.found[2] || !integerOf(*m.found[2], temperature))
            malformed(QStringLiteral("Klíč \"temperature\" musí být celé číslo."));
        by = name ? MaterialBy::Name : MaterialBy::Id;
        key = name ? json::Document::stringOf(*name) : QString::number(number);
    }
    // Materials are kept by their text (a line with the same text does not
    // read it again), those of the database also by what names them; a run
    // of very many distinct materials starts afresh.
    if (m_byText.size() >= 4096) {
        m_recent.clear();
        m_byText.clear();
        m_byName.clear();
    }
    const std::string_view text = node->text;
    const auto remember = [this](const auto& it) -> const Material& {
        if (m_recent.size() == 16) m_recent.pop_back();
        m_recent.insert(m_recent.begin(), {std::string_view(it->first), it->second.get()});
        return *it->second;
    };
    if (const auto it = m_byText.find(text); it != m_byText.end()) return remember(it);
    std::shared_ptr<const Material> entry;
    std::string nameKey;
    if (by) {
        nameKey =
            (*by == MaterialBy::Name ? "n" : "i") + std::to_string(temperature) + ':' + key.toStdString();
        if (const auto it = m_byName.find(nameKey); it != m_byName.end()) entry = it->second;
    }
    if (!entry) {
        auto loaded = std::make_shared<Material>();
        try {
            if (by)
                loaded->data = m_db.load(key, temperature, *by);
            else
                loaded->data =
                    dataFromJson(m_doc, *node, QStringLiteral("material")); // read once, with the line
        } catch (const Failure& f) {
            // The settings or the server: not kept, a later line asks again
            // (and connects again when the server went away).
            if (f.code == DatabaseOrSettings) throw;
            loaded->failure = f;
        } catch (const std::exception& e) {
            loaded->failure = failureOf(e);
        }
        entry = std::move(loaded);
        if (by) m_byName.emplace(nameKey, entry);
    }
    return remember(m_byText.emplace(std::string(text), entry).first);
}

namespace {
// An answer line: {"id":…,"exit":…,"result":…,"message":…} and its line break;
// `result` writes the result object (or nothing: null).
void writeAnswer(QByteArray& out, QByteArrayView id, int code, const std::function<void(JsonWriter&)>& result,
                 const QString& message) {
    {
        JsonWriter w(out, false);
        w.beginObject();
        w.key(QLatin1StringView("id"));
        w.raw(id);
        w.key(QLatin1StringView("exit"));
        w.integer(code);
        w.key(QLatin1StringView("result"));
        if (result)
            result(w);
        else
            w.null();
        w.key(QLatin1StringView("message"));
        if (result)
            w.null();
        else
            w.string(message);
        w.endObject();
    }
    out += '\n';
}
} // namespace

void BatchRunner::answerTooLong(QByteArray& out) {
    writeAnswer(out, "null", Usage, {}, QStringLiteral("Řádek je delší než 2 MiB."));
}

void BatchRunner::answer(std::string_view line, QByteArray& out) {
    QByteArray id = "null";
    const auto fail = [&](int code, const QString& message) { writeAnswer(out, id, code, {}, message); };
    try {
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            malformed(QStringLiteral("Řádek je prázdný."));
        QString error;
        if (!m_doc.parse(line, &error)) malformed(QStringLiteral("Řádek není platný JSON: %1.").arg(error));
        const json::Node& root = m_doc.root();
        if (root.kind != json::Node::Object) malformed(QStringLiteral("Řádek musí být objekt JSON."));
        // The id is echoed even when the rest is wrong, when it can be.
        if (const json::Node* idNode = m_doc.member(root, "id")) {
            QByteArray text;
            writeCompact(m_doc, *idNode, text);
            if (!strictJson(m_doc, *idNode))
                malformed(QStringLiteral("Klíč \"id\" nelze vrátit jako platný JSON (číslo mimo rozsah nebo "
                                         "osamocená polovina znaku?)."));
            id = std::move(text);
        }
        const Members<7> m(m_doc, root, RequestKeys, QStringLiteral("Neznámý klíč \"%1\"."));

        const json::Node* command = m.found[CommandKey];
        const bool forward = command && command->kind == json::Node::String && command->text == "forward";
        const bool backward = command && command->kind == json::Node::String && command->text == "backward";
        if (!forward && !backward)
            malformed(QStringLiteral("Klíč \"command\" musí být \"forward\" nebo \"backward\"."));

        EquationKind eq = EquationKind::None;
        if (const json::Node* e = m.found[EquationKey]) {
            int k = -1;
            if (!integerOf(*e, k) || k < 0 || k > 3)
                malformed(QStringLiteral("Klíč \"equation\" musí být 0, 1, 2 nebo 3."));
            eq = static_cast<EquationKind>(k);
        }
        fwd::DieType die = fwd::DieType::None;
        if (const json::Node* d = m.found[DieKey]) {
            if (backward) malformed(QStringLiteral("Klíč \"die\" patří jen k příkazu \"forward\"."));
            int k = -1;
            if (!integerOf(*d, k) || k < 0 || k > 1)
                malformed(QStringLiteral("Klíč \"die\" musí být 0 nebo 1."));
            die = static_cast<fwd::DieType>(k);
        }
        bool yes = false;
        if (const json::Node* y = m.found[YesKey]) {
            if (y->kind != json::Node::True && y->kind != json::Node::False)
                malformed(QStringLiteral("Klíč \"yes\" musí být true nebo false."));
            yes = y->kind == json::Node::True;
        }

        if (forward) {
            const auto t = fieldTexts(m_doc, m.found[FieldsKey], ForwardFields, "forward");
            const Material& mat = material(m.found[MaterialKey]);
            if (mat.failure) throw *mat.failure;
            const ForwardOutcome o = forwardCalculation(
                *mat.data, eq, die,
                fwd::Inputs{t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10]}, yes);
            writeAnswer(out, id, Ok, [&](JsonWriter& w) { writeForward(w, o); }, {});
            m_forward.addCalculation(o.record);
        } else {
            const auto t = fieldTexts(m_doc, m.found[FieldsKey], BackwardFields, "backward");
            const Material& mat = material(m.found[MaterialKey]);
            if (mat.failure) throw *mat.failure;
            const BackwardOutcome o =
                backwardCalculation(*mat.data, eq, bwd::Inputs{t[0], t[1], t[2], t[3], t[4], t[5]}, yes);
            writeAnswer(out, id, Ok, [&](JsonWriter& w) { writeBackward(w, o); }, {});
            m_backward.addCalculation(o.entry);
        }
    } catch (const Malformed& e) {
        fail(Usage, e.message);
    } catch (const Failure& f) {
        fail(f.code, f.message);
    } catch (const std::exception& e) {
        const Failure f = failureOf(e);
        fail(f.code, f.message);
    }
}

project::Project BatchRunner::project() const {
    return project::projectOf(m_forward, m_backward);
}

bool isInteractive(const QIODevice& device) {
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    const int fd = file ? file->handle() : -1;
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || ::isatty(fd);
}

BatchEnd runBatch(const ReadSome& read, QIODevice& out, bool lineByLine, BatchRunner& runner) {
    constexpr qsizetype Block = 64 * 1024;
    QByteArray input;
    qsizetype scanned = 0; // bytes of `input` known to hold no line break
    bool skipping = false; // inside a line too long to keep
    QByteArray answers;
    answers.reserve(2 * Block);
    const auto flush = [&](bool always) {
        if (answers.isEmpty() || (!always && answers.size() < Block)) return true;
        if (!writeAll(out, answers)) return false;
        answers.resize(0); // keeps its capacity
        return true;
    };
    const auto lineDone = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > static_cast<size_t>(MaxBatchLine))
            BatchRunner::answerTooLong(answers);
        else
            runner.answer(line, answers);
        return flush(lineByLine);
    };
    for (bool end = false; !end;) {
        const qsizetype size = input.size();
        input.resize(size + Block);
        const qint64 got = read(input.data() + size, Block);
        if (got < 0) return flush(true) ? BatchEnd::InputFailed : BatchEnd::OutputFailed;
        input.resize(size + got);
        end = got == 0;
        qsizetype from = 0;
        for (;;) {
            const char* nl = static_cast<const char*>(
                std::memchr(input.constData() + scanned, '\n', static_cast<size_t>(input.size() - scanned)));
            if (!nl) break;
            const qsizetype at = nl - input.constData();
            if (skipping) {
                skipping = false;
            } else if (!lineDone(
                           std::string_view(input.constData() + from, static_cast<size_t>(at - from)))) {
                return BatchEnd::OutputFailed;
            }
            from = scanned = at + 1;
        }
        input.remove(0, from);
        scanned = input.size();
        // A line is too long by its bytes, however the reads fell: one of
        // MaxBatchLine bytes may still end in CR LF.
        const bool tooLong =
            input.size() > MaxBatchLine + 1 || (input.size() == MaxBatchLine + 1 && input.back() != '\r');
        if (!skipping && tooLong) {
            BatchRunner::answerTooLong(answers);
            if (!flush(lineByLine)) return BatchEnd::OutputFailed;
            skipping = true;
        }
        if (skipping) input.clear(), scanned = 0;
        if (end && !input.isEmpty() && !skipping &&
            !lineDone(std::string_view(input.constData(), static_cast<size_t>(input.size()))))
            return BatchEnd::OutputFailed;
    }
    return flush(true) ? BatchEnd::Done : BatchEnd::OutputFailed;
}

} // namespace prolis::cli
