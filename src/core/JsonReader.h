#pragma once
// Reading one JSON text (a JSON Lines record) without copying it: the values
// stay slices of the text, strings are decoded only when asked for. Strict
// RFC 8259 syntax in UTF-8; nesting deeper than 64 is refused. Errors are told
// in Czech.
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

namespace prolis::json {

// The offset of the first byte that is not well-formed UTF-8, or npos.
size_t invalidUtf8At(std::string_view text);

struct Node {
    enum Kind : unsigned char { Null, False, True, Number, String, Array, Object };
    Kind kind = Null;
    bool escaped = false;  // a string holding backslash escapes
    std::string_view text; // the value's JSON text; for a string, what stands between the quotes
    std::string_view key;  // an object member's key, between its quotes (escapes as written)
    bool keyEscaped = false;
    bool known = false;  // a container taken as it stands (see knownValues): no children
    int firstChild = -1; // arrays and objects: the first item or member
    int next = -1;       // the next item or member of the same parent
};

class Document {
public:
    // False with a reason (and the byte offset) when the text is no JSON.
    bool parse(std::string_view text, QString* error = nullptr);

    // A member of the root object whose object value is not read again when
    // it repeats a text read (and kept) before: `known` gets the text from the
    // value on and gives the length of the known value it starts with, or 0.
    // The node then has no children.
    void knownValues(std::string_view key, std::function<size_t(std::string_view)> known) {
        m_knownKey = key;
        m_known = std::move(known);
    }
    const Node& root() const { return m_nodes.front(); }

    // The member `name` of an object (the last of that name), or nullptr.
    const Node* member(const Node& object, std::string_view name) const;
    // The members or items of a container, in order.
    template <class F> void forEach(const Node& container, F&& f) const {
        for (int i = container.firstChild; i >= 0; i = m_nodes[static_cast<size_t>(i)].next)
            f(m_nodes[static_cast<size_t>(i)]);
    }

    // A string value (or key) decoded: escapes resolved, UTF-8 to UTF-16.
    static QString decode(std::string_view raw, bool escaped);
    static QString stringOf(const Node& n) { return decode(n.text, n.escaped); }
    static QString keyOf(const Node& n) { return decode(n.key, n.keyEscaped); }

private:
    int value(int depth);
    bool fail(const char* what);
    void skipBlanks();

    std::string_view m_knownKey;
    std::string_view m_parentKey; // the key of the member being read
    std::function<size_t(std::string_view)> m_known;
    std::string_view m_text;
    size_t m_pos = 0;
    std::vector<Node> m_nodes;
    const char* m_error = nullptr;
};

} // namespace prolis::json
