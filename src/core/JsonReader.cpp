#include "JsonReader.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

namespace prolis::json {

namespace {
constexpr int MaxDepth = 64;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

size_t invalidUtf8At(std::string_view t) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    const size_t n = t.size();
    size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return i;
        }
        if (i + len > n) return i;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF.
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += len;
    }
    return std::string_view::npos;
}

bool Document::fail(const char* what) {
    if (!m_error) m_error = what;
    return false;
}

void Document::skipBlanks() {
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
        ++m_pos;
    }
}

// Scans a string starting at the opening quote; sets raw and escaped.
static bool scanString(std::string_view t, size_t& pos, std::string_view& raw, bool& escaped) {
    const size_t start = ++pos;
    escaped = false;
    while (pos < t.size()) {
        const auto c = static_cast<unsigned char>(t[pos]);
        if (c == '"') {
            raw = t.substr(start, pos - start);
            ++pos;
            return true;
        }
        if (c < 0x20) return false; // a control character must be escaped
        if (c == '\\') {
            escaped = true;
            if (++pos >= t.size()) return false;
            const char e = t[pos];
            if (e == 'u') {
                if (pos + 4 >= t.size()) return false;
                for (int i = 1; i <= 4; ++i)
                    if (!std::isxdigit(static_cast<unsigned char>(t[pos + i]))) return false;
                pos += 4;
            } else if (e != '"' && e != '\\' && e != '/' && e != 'b' && e != 'f' && e != 'n' && e != 'r' &&
                       e != 't') {
                return false;
            }
        }
        ++pos;
    }
    return false;
}

int Document::value(int depth) {
    if (depth > MaxDepth) return fail("vnoření je hlubší než 64 úrovní"), -1;
    skipBlanks();
    if (m_pos >= m_text.size()) return fail("chybí hodnota"), -1;
    const int index = static_cast<int>(m_nodes.size());
    m_nodes.emplace_back();
    const size_t start = m_pos;
    const char c = m_text[m_pos];
    Node n;
    if (depth == 1 && c == '{' && m_known && m_parentKey == m_knownKey) {
        // A value seen before is taken as it stands: a whole object ends
        // where its text ends.
        if (const size_t length = m_known(m_text.substr(m_pos))) {
            n.kind = Node::Object;
            n.known = true;
            n.text = m_text.substr(m_pos, length);
            m_pos += length;
            m_nodes[static_cast<size_t>(index)] = n;
            return index;
        }
    }
    if (c == '{' || c == '[') {
        const bool object = c == '{';
        n.kind = object ? Node::Object : Node::Array;
        ++m_pos;
        skipBlanks();
        int previous = -1;
        const char close = object ? '}' : ']';
        if (m_pos < m_text.size() && m_text[m_pos] == close) {
            ++m_pos;
        } else {
            for (;;) {
                std::string_view key;
                bool keyEscaped = false;
                if (object) {
                    skipBlanks();
                    if (m_pos >= m_text.size() || m_text[m_pos] != '"') return fail("chybí klíč"), -1;
                    if (!scanString(m_text, m_pos, key, keyEscaped))
                        return fail("klíč není platný řetězec"), -1;
                    m_parentKey = keyEscaped ? std::string_view() : key;
                    skipBlanks();
                    if (m_pos >= m_text.size() || m_text[m_pos] != ':') return fail("chybí dvojtečka"), -1;
                    ++m_pos;
                } else {
                    m_parentKey = {};
                }
                const int child = value(depth + 1);
                if (child < 0) return -1;
                m_nodes[static_cast<size_t>(child)].key = key;
                m_nodes[static_cast<size_t>(child)].keyEscaped = keyEscaped;
                if (previous < 0)
                    n.firstChild = child;
                else
                    m_nodes[static_cast<size_t>(previous)].next = child;
                previous = child;
                skipBlanks();
                if (m_pos >= m_text.size()) return fail("text končí uvnitř objektu nebo pole"), -1;
                if (m_text[m_pos] == ',') {
                    ++m_pos;
                    continue;
                }
                if (m_text[m_pos] == close) {
                    ++m_pos;
                    break;
                }
                return fail(object ? "chybí čárka nebo }" : "chybí čárka nebo ]"), -1;
            }
        }
        n.text = m_text.substr(start, m_pos - start);
    } else if (c == '"') {
        n.kind = Node::String;
        if (!scanString(m_text, m_pos, n.text, n.escaped)) return fail("neplatný řetězec"), -1;
    } else if (c == '-' || isDigit(c)) {
        n.kind = Node::Number;
        size_t p = m_pos;
        if (m_text[p] == '-') ++p;
        if (p >= m_text.size() || !isDigit(m_text[p])) return fail("neplatné číslo"), -1;
        if (m_text[p] == '0' && p + 1 < m_text.size() && isDigit(m_text[p + 1]))
            return fail("číslo začíná nulou"), -1;
        while (p < m_text.size() && isDigit(m_text[p]))
            ++p;
        if (p < m_text.size() && m_text[p] == '.') {
            ++p;
            if (p >= m_text.size() || !isDigit(m_text[p])) return fail("neplatné číslo"), -1;
            while (p < m_text.size() && isDigit(m_text[p]))
                ++p;
        }
        if (p < m_text.size() && (m_text[p] == 'e' || m_text[p] == 'E')) {
            ++p;
            if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-')) ++p;
            if (p >= m_text.size() || !isDigit(m_text[p])) return fail("neplatné číslo"), -1;
            while (p < m_text.size() && isDigit(m_text[p]))
                ++p;
        }
        n.text = m_text.substr(m_pos, p - m_pos);
        m_pos = p;
    } else if (m_text.substr(m_pos, 4) == "true") {
        n.kind = Node::True;
        n.text = m_text.substr(m_pos, 4);
        m_pos += 4;
    } else if (m_text.substr(m_pos, 5) == "false") {
        n.kind = Node::False;
        n.text = m_text.substr(m_pos, 5);
        m_pos += 5;
    } else if (m_text.substr(m_pos, 4) == "null") {
        n.kind = Node::Null;
        n.text = m_text.substr(m_pos, 4);
        m_pos += 4;
    } else {
        return fail("nečekaný znak"), -1;
    }
    m_nodes[static_cast<size_t>(index)] = n;
    return index;
}

bool Document::parse(std::string_view text, QString* error) {
    m_text = text;
    m_pos = 0;
    m_nodes.clear();
    m_error = nullptr;
    if (const size_t bad = invalidUtf8At(text); bad != std::string_view::npos) {
        m_pos = bad;
        fail("text není v kódování UTF-8");
        if (error) *error = QStringLiteral("%1 (bajt %2)").arg(QString::fromUtf8(m_error)).arg(m_pos + 1);
        return false;
    }
    const int root = value(0);
    if (root >= 0) {
        skipBlanks();
        if (m_pos != m_text.size()) fail("text za hodnotou");
    }
    if (m_error) {
        if (error) *error = QStringLiteral("%1 (bajt %2)").arg(QString::fromUtf8(m_error)).arg(m_pos + 1);
        return false;
    }
    return true;
}

const Node* Document::member(const Node& object, std::string_view name) const {
    const Node* found = nullptr;
    for (int i = object.firstChild; i >= 0; i = m_nodes[static_cast<size_t>(i)].next) {
        const Node& n = m_nodes[static_cast<size_t>(i)];
        if (n.keyEscaped
                ? decode(n.key, true) == QLatin1String(name.data(), static_cast<qsizetype>(name.size()))
                : n.key == name)
            found = &n;
    }
    return found;
}

QString Document::decode(std::string_view raw, bool escaped) {
    if (!escaped) {
        // Field texts are mostly ASCII, which reads faster as Latin-1.
        bool ascii = true;
        for (const char c : raw)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        return ascii ? QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()))
                     : QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    }
    QString out;
    out.reserve(static_cast<qsizetype>(raw.size()));
    size_t i = 0;
    while (i < raw.size()) {
        const size_t slash = raw.find('\\', i);
        const size_t plainEnd = slash == std::string_view::npos ? raw.size() : slash;
        out += QString::fromUtf8(raw.data() + i, static_cast<qsizetype>(plainEnd - i));
        if (slash == std::string_view::npos) break;
        const char e = raw[slash + 1];
        i = slash + 2;
        switch (e) {
        case 'b':
            out += QChar(u'\b');
            break;
        case 'f':
            out += QChar(u'\f');
            break;
        case 'n':
            out += QChar(u'\n');
            break;
        case 'r':
            out += QChar(u'\r');
            break;
        case 't':
            out += QChar(u'\t');
            break;
        case 'u': {
            const char16_t unit =
                static_cast<char16_t>(std::stoi(std::string(raw.substr(i, 4)), nullptr, 16));
            out += QChar(unit);
            i += 4;
            break;
        }
        default:
            out += QLatin1Char(e);
        }
    }
    return out;
}

} // namespace prolis::json
