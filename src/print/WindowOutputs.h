#pragma once
// The outputs the calculation windows use: text protocols, Word documents,
// printed reports and the chart, each through the UI services. One object per
// window: it keeps what the window's save dialog remembers.
#include "output/Outputs.h"

#include <memory>

namespace prolis {

std::unique_ptr<ForwardOutputs> makeForwardOutputs();
std::unique_ptr<BackwardOutputs> makeBackwardOutputs();

} // namespace prolis
