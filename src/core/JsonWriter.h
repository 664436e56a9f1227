#pragma once
// Writing JSON straight into bytes, member by member: indented by two blanks
// (what prolis-calc prints) or on one line (a JSON Lines record). Arrays say
// whether they hold only scalars: those stay on one line when indented.
// The writer appends to `out` through its own pointer; `out` holds exactly
// what was written after finish() (or when the writer ends).
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>
#include <vector>

namespace prolis {

class JsonWriter {
public:
    JsonWriter(QByteArray& out, bool indented) : m_out(out), m_indented(indented) {}
    ~JsonWriter() { finish(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void beginObject();
    void endObject();
    void beginArray(bool scalars);
    void endArray();
    // The key of the next member of the open object.
    void key(QLatin1StringView name);
    void key(QStringView name);

    void string(QStringView s);
    // The shortest text that reads back as the same double; infinity or NaN
    // raise MathError (JSON has no text for them).
    void number(double d);
    void integer(qint64 i);
    void boolean(bool b);
    void null();
    // A value given as JSON text already (well-formed, on one line).
    void raw(QByteArrayView json);

    // Leaves `out` holding what was written; writing may go on afterwards.
    void finish();

private:
    struct Level {
        bool object;
        bool scalars;
        int count = 0;
    };
    void beforeValue();
    void pad(int depth);
    // Room for `n` bytes at the write position; the position moves past them.
    char* room(qsizetype n) {
        if (m_end - m_p < n) more(n);
        char* p = m_p;
        m_p += n;
        return p;
    }
    void more(qsizetype n);
    void put(char c) { *room(1) = c; }
    void put(const char* s, qsizetype n);
    void quoted(QStringView s);

    QByteArray& m_out;
    bool m_indented;
    bool m_afterKey = false;
    char* m_p = nullptr; // inside m_out while writing, else null
    char* m_end = nullptr;
    std::vector<Level> m_levels;
};

// A record or summary row as an object of its field names.
template <size_t N>
void writeTexts(JsonWriter& w, const std::array<const char*, N>& names, const std::array<QString, N>& texts) {
    w.beginObject();
    for (size_t i = 0; i < N; ++i) {
        w.key(QLatin1StringView(names[i]));
        w.string(texts[i]);
    }
    w.endObject();
}

} // namespace prolis
