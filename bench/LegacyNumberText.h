#pragma once
// The number texts before the fast path, kept to compare the new ones with.
#include <QString>

namespace legacy {
QString formatGeneral(double v);
QString formatFixed(double v, int decimals, int precision = 15);
} // namespace legacy
