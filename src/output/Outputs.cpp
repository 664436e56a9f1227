#include "Outputs.h"

#include "core/UiServices.h"

namespace prolis {

OutputResult pendingOutput(const QString& what) {
    information(what + QStringLiteral(" zatím není k dispozici."));
    return OutputResult::Unavailable;
}

} // namespace prolis
