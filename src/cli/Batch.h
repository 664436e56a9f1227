#pragma once
// prolis-calc batch: a stream of forward and backward calculations in one
// process. Each input line is a JSON object naming the command, the material,
// the equation, the die, the field texts and whether every question is
// answered Yes; each output line carries the input's id, the exit code the
// single command would give, the object it would print and the message it
// would write on standard error.
#include "Calculations.h"
#include "core/JsonReader.h"
#include "domain/BackwardUnit.h"
#include "domain/ForwardUnit.h"
#include "domain/Project.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QIODevice;

namespace prolis::cli {

// The longest line read; a longer one is answered as malformed.
constexpr qsizetype MaxBatchLine = 2 * 1024 * 1024;

// Answers lines one by one. Materials given inline are read once per distinct
// text; materials of the database once per name or id and temperature.
class BatchRunner {
public:
    explicit BatchRunner(MaterialDatabase& db);
    ~BatchRunner();

    // Appends the answer to one line (without its line break) and a line break.
    void answer(std::string_view line, QByteArray& out);
    // The answer to a line longer than MaxBatchLine.
    static void answerTooLong(QByteArray& out);
    // The successful calculations so far, each unit's in the order its
    // history keeps them.
    project::Project project() const;

private:
    struct Request;
    struct Material;
    const Material& material(const json::Node* node);

    MaterialDatabase& m_db;
    json::Document m_doc;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    template <class V> using Map = std::unordered_map<std::string, V, Hash, std::equal_to<>>;
    Map<std::shared_ptr<const Material>> m_byText; // by the text of "material"
    Map<std::shared_ptr<const Material>> m_byName; // of the database: by name or id and temperature
    // The latest materials first, by their text (a key of m_byText).
    std::vector<std::pair<std::string_view, const Material*>> m_recent;
    const Material* m_knownMaterial = nullptr; // the one whose text the line repeats
    std::unique_ptr<Material> m_noMaterial;
    fwd::ForwardUnit m_forward;
    bwd::BackwardUnit m_backward;
};

// Reads some bytes of the input: the count, 0 at its end, -1 on an error.
using ReadSome = std::function<qint64(char*, qint64)>;

enum class BatchEnd { Done, InputFailed, OutputFailed };

// Runs the whole input through a runner, writing the answers to `out`: after
// every line when `lineByLine` (a pipe or a terminal waits for them), else in
// large blocks. Stops when the input cannot be read or the output written.
BatchEnd runBatch(const ReadSome& read, QIODevice& out, bool lineByLine, BatchRunner& runner);

// Whether a device is a pipe, a socket or a terminal.
bool isInteractive(const QIODevice& device);

} // namespace prolis::cli
