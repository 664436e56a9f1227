#pragma once
// A small JSON value that keeps the order of object members, for the
// machine-readable output of prolis-calc (Qt's JSON objects sort their keys).
#include <QList>
#include <QPair>
#include <QString>

namespace prolis {

class JsonWriter;

class Json {
public:
    enum class Type { Null, Bool, Number, Integer, String, Array, Object };
    Json() = default;
    static Json boolean(bool b);
    static Json number(double d); // shortest text that reads back as the same double
    static Json integer(qint64 i);
    static Json string(const QString& s);
    static Json array();
    static Json object();

    Json& add(const QString& key, Json value); // object member, in order
    Json& append(Json value);                  // array item

    QByteArray toText() const; // indented by two blanks, ending without a newline
    void write(JsonWriter& w) const;

private:
    Type m_type = Type::Null;
    bool m_bool = false;
    double m_number = 0;
    qint64 m_integer = 0;
    QString m_string;
    QList<QPair<QString, Json>> m_members;
    QList<Json> m_items;
};

} // namespace prolis
