// The project-file reader on any bytes: a project that writes back and reads
// again as the same, or a refusal that names the file.
#include "Invariants.h"
#include "domain/Project.h"

using namespace prolis;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const project::ReadProject r = project::readProject(bytes, QStringLiteral("fuzz.prolis"));
    if (!r.project) {
        if (!r.refusal.startsWith(QStringLiteral("Soubor výpočtů fuzz.prolis nelze otevřít: ")))
            fuzz::violated("a refusal without the file", r.refusal);
        return 0;
    }
    const project::ReadProject again =
        project::readProject(project::projectJson(*r.project), QStringLiteral("x"));
    if (!again.project || !(*again.project == *r.project))
        fuzz::violated("a project that does not read back", again.refusal);
    return 0;
}
