#pragma once
// The material record as JSON: the output of "prolis-calc material" and the
// material-file format of the calculations.
#include "Data.h"

#include <QByteArray>

namespace prolis {

class JsonWriter;
namespace json {
class Document;
struct Node;
} // namespace json

// The record as one JSON object, members in the record's order.
void writeData(JsonWriter& w, const Data& d);
// The same members into an object the caller opened (and closes).
void writeDataMembers(JsonWriter& w, const Data& d);

// Reads a material file's text. Omitted keys read as 0 or empty text; a
// temperature outside -32768..32767 raises RangeError; malformed JSON, a key
// given twice or a value of the wrong kind raise ConvertError naming
// `source` (and for malformed JSON the byte).
Data dataFromJson(const QByteArray& text, const QString& source);
// The same for an object already read (a batch line's "material").
Data dataFromJson(const json::Document& doc, const json::Node& object, const QString& source);

} // namespace prolis
