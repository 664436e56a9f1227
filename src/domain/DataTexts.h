#pragma once
// The material fields of a result record: name, Rm, Rp, A5, Z (general),
// the temperature (whole number), fimax and fistr (general), in this order.
#include "Data.h"

#include <array>

namespace prolis {

std::array<QString, 8> materialFieldTexts(const Data& m);

} // namespace prolis
