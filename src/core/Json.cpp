#include "Json.h"

#include "JsonWriter.h"

namespace prolis {

Json Json::boolean(bool b) {
    Json j;
    j.m_type = Type::Bool;
    j.m_bool = b;
    return j;
}

Json Json::number(double d) {
    Json j;
    j.m_type = Type::Number;
    j.m_number = d;
    return j;
}

Json Json::integer(qint64 i) {
    Json j;
    j.m_type = Type::Integer;
    j.m_integer = i;
    return j;
}

Json Json::string(const QString& s) {
    Json j;
    j.m_type = Type::String;
    j.m_string = s;
    return j;
}

Json Json::array() {
    Json j;
    j.m_type = Type::Array;
    return j;
}

Json Json::object() {
    Json j;
    j.m_type = Type::Object;
    return j;
}

Json& Json::add(const QString& key, Json value) {
    m_members.append({key, std::move(value)});
    return *this;
}

Json& Json::append(Json value) {
    m_items.append(std::move(value));
    return *this;
}

QByteArray Json::toText() const {
    QByteArray out;
    JsonWriter w(out, true);
    write(w);
    w.finish();
    return out;
}

void Json::write(JsonWriter& w) const {
    switch (m_type) {
    case Type::Null:
        w.null();
        break;
    case Type::Bool:
        w.boolean(m_bool);
        break;
    case Type::Number:
        w.number(m_number);
        break;
    case Type::Integer:
        w.integer(m_integer);
        break;
    case Type::String:
        w.string(m_string);
        break;
    case Type::Array: {
        bool scalars = true;
        for (const Json& j : m_items)
            scalars = scalars && j.m_type != Type::Array && j.m_type != Type::Object;
        w.beginArray(scalars);
        for (const Json& j : m_items)
            j.write(w);
        w.endArray();
        break;
    }
    case Type::Object:
        w.beginObject();
        for (const auto& [k, v] : m_members) {
            w.key(QStringView(k));
            v.write(w);
        }
        w.endObject();
        break;
    }
}

} // namespace prolis
