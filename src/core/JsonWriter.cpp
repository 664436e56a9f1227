#include "JsonWriter.h"

#include "Errors.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace prolis {

namespace {
// Writes `s` quoted and escaped in UTF-8 from `p`, which has room for
// 6 * s.size() + 2 bytes (a control character takes six: \u00XX); returns
// the end.
char* writeQuoted(char* p, QStringView s) {
    static constexpr char Hex[] = "0123456789abcdef";
    const qsizetype n = s.size();
    *p++ = '"';
    const char16_t* u = s.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = u[i];
        if (c < 0x80) {
            if (c >= 0x20 && c != u'"' && c != u'\\') {
                *p++ = static_cast<char>(c);
                continue;
            }
            *p++ = '\\';
            switch (c) {
            case u'"':
                *p++ = '"';
                break;
            case u'\\':
                *p++ = '\\';
                break;
            case u'\n':
                *p++ = 'n';
                break;
            case u'\r':
                *p++ = 'r';
                break;
            case u'\t':
                *p++ = 't';
                break;
            default:
                *p++ = 'u';
                *p++ = '0';
                *p++ = '0';
                *p++ = Hex[c >> 4];
                *p++ = Hex[c & 15];
            }
            continue;
        }
        // UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), u[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    *p++ = '"';
    return p;
}
} // namespace

void JsonWriter::more(qsizetype n) {
    const qsizetype written = m_p ? m_p - m_out.constData() : m_out.size();
    // The whole capacity is room, handed out by room(); `out` keeps its
    // capacity between writers, so a buffer reused line by line stays put.
    const qsizetype wanted = written + std::max<qsizetype>(n, 4096);
    if (m_out.capacity() < wanted) {
        m_out.resize(written);
        m_out.reserve(std::max(2 * m_out.capacity(), wanted));
    }
    m_out.resize(m_out.capacity());
    m_p = m_out.data() + written;
    m_end = m_out.data() + m_out.size();
}

void JsonWriter::finish() {
    if (!m_p) return;
    m_out.resize(m_p - m_out.constData());
    m_p = m_end = nullptr;
}

void JsonWriter::put(const char* s, qsizetype n) {
    std::memcpy(room(n), s, static_cast<size_t>(n));
}

void JsonWriter::quoted(QStringView s) {
    const qsizetype most = 6 * s.size() + 2;
    char* p = room(most);
    m_p = writeQuoted(p, s); // gives back the room not used
}

void JsonWriter::pad(int depth) {
    char* p = room(1 + 2 * depth);
    *p++ = '\n';
    std::memset(p, ' ', static_cast<size_t>(2 * depth));
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty()) return;
    Level& l = m_levels.back();
    if (l.count > 0) put(',');
    if (m_indented) {
        if (l.scalars) {
            if (l.count > 0) put(' ');
        } else {
            pad(static_cast<int>(m_levels.size()));
        }
    }
    ++l.count;
}

void JsonWriter::key(QLatin1StringView name) {
    Level& l = m_levels.back();
    if (l.count > 0) put(',');
    if (m_indented) pad(static_cast<int>(m_levels.size()));
    ++l.count;
    const qsizetype n = name.size();
    char* p = room(n + (m_indented ? 4 : 3));
    *p++ = '"';
    std::memcpy(p, name.data(), static_cast<size_t>(n));
    p += n;
    *p++ = '"';
    *p++ = ':';
    if (m_indented) *p = ' ';
    m_afterKey = true;
}

void JsonWriter::key(QStringView name) {
    Level& l = m_levels.back();
    if (l.count > 0) put(',');
    if (m_indented) pad(static_cast<int>(m_levels.size()));
    ++l.count;
    quoted(name);
    put(": ", m_indented ? 2 : 1);
    m_afterKey = true;
}

void JsonWriter::beginObject() {
    beforeValue();
    put('{');
    m_levels.push_back({true, false, 0});
}

void JsonWriter::endObject() {
    const Level l = m_levels.back();
    m_levels.pop_back();
    if (m_indented && l.count > 0) pad(static_cast<int>(m_levels.size()));
    put('}');
}

void JsonWriter::beginArray(bool scalars) {
    beforeValue();
    put('[');
    m_levels.push_back({false, scalars, 0});
}

void JsonWriter::endArray() {
    const Level l = m_levels.back();
    m_levels.pop_back();
    if (m_indented && !l.scalars && l.count > 0) pad(static_cast<int>(m_levels.size()));
    put(']');
}

void JsonWriter::string(QStringView s) {
    beforeValue();
    quoted(s);
}

void JsonWriter::number(double d) {
    // JSON has no infinity and no NaN: writing one would make a text no
    // reader takes, so the caller hears of it instead.
    if (!std::isfinite(d))
        throw MathError(QStringLiteral("Výsledek obsahuje nekonečné nebo neurčité číslo; nebyl zapsán."));
    beforeValue();
    const QByteArray text = QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    put(text.constData(), text.size());
}

void JsonWriter::integer(qint64 i) {
    beforeValue();
    const QByteArray text = QByteArray::number(i);
    put(text.constData(), text.size());
}

void JsonWriter::boolean(bool b) {
    beforeValue();
    put(b ? "true" : "false", b ? 4 : 5);
}

void JsonWriter::null() {
    beforeValue();
    put("null", 4);
}

void JsonWriter::raw(QByteArrayView json) {
    beforeValue();
    put(json.data(), json.size());
}

} // namespace prolis
