#pragma once
// The material record as JSON: the output of "prolis-calc material" and the
// material-file format of the calculations.
#include "Data.h"
#include "core/Json.h"

#include <QByteArray>

namespace prolis {

Json dataToJson(const Data& d);

// Reads a material file's text. Omitted keys read as 0 or empty text; a
// temperature outside -32768..32767 raises RangeError; malformed JSON raises
// ConvertError naming `source` and the position.
Data dataFromJson(const QByteArray& text, const QString& source);

} // namespace prolis
