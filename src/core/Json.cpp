#include "Json.h"

#include <QLocale>

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

QByteArray jsonQuote(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (u < 0x20)
                out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out.toUtf8();
}

QByteArray Json::toText() const {
    QByteArray out;
    write(out, 0);
    return out;
}

void Json::write(QByteArray& out, int depth) const {
    const QByteArray pad((depth + 1) * 2, ' ');
    const QByteArray closePad(depth * 2, ' ');
    switch (m_type) {
    case Type::Null:
        out += "null";
        break;
    case Type::Bool:
        out += m_bool ? "true" : "false";
        break;
    case Type::Number:
        out += QByteArray::number(m_number, 'g', QLocale::FloatingPointShortest);
        break;
    case Type::Integer:
        out += QByteArray::number(m_integer);
        break;
    case Type::String:
        out += jsonQuote(m_string);
        break;
    case Type::Array: {
        bool scalars = true;
        for (const Json& j : m_items)
            scalars = scalars && j.m_type != Type::Array && j.m_type != Type::Object;
        out += '[';
        for (int i = 0; i < m_items.size(); ++i) {
            if (i) out += scalars ? ", " : ",";
            if (!scalars) out += '\n' + pad;
            m_items[i].write(out, depth + 1);
        }
        if (!scalars && !m_items.isEmpty()) out += '\n' + closePad;
        out += ']';
        break;
    }
    case Type::Object:
        out += '{';
        for (int i = 0; i < m_members.size(); ++i) {
            out += i ? ",\n" : "\n";
            out += pad + jsonQuote(m_members[i].first) + ": ";
            m_members[i].second.write(out, depth + 1);
        }
        if (!m_members.isEmpty()) out += '\n' + closePad;
        out += '}';
        break;
    }
}

} // namespace prolis
