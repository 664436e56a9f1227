#include "Encoding.h"

#include <QHash>
#include <QStringDecoder>

namespace prolis {

namespace {

// The code page's upper half, read once from the decoder: character -> byte.
// A table keeps no state between characters, so one character outside the
// code page cannot spoil the ones after it.
const QHash<char16_t, char>& upperHalf() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        QStringDecoder dec("windows-1250");
        for (int b = 0x80; b <= 0xff; ++b) {
            const char byte = static_cast<char>(b);
            const QString ch = dec.decode(QByteArrayView(&byte, 1));
            // Undefined bytes decode to U+FFFD; they map from nothing.
            if (ch.size() == 1 && ch[0] != QChar::ReplacementCharacter) t.insert(ch[0].unicode(), byte);
        }
        return t;
    }();
    return table;
}

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7f;
}

} // namespace

QByteArray toCp1250(const QString& text, Controls controls) {
    const QHash<char16_t, char>& table = upperHalf();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(controls == Controls::Replace && isControl(c) ? '?' : static_cast<char>(c));
            continue;
        }
        // A surrogate pair is one character and one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        const auto it = table.constFind(c);
        out.append(it == table.cend() ? '?' : *it);
    }
    return out;
}

QString fromCp1250(const QByteArray& bytes) {
    QStringDecoder dec("windows-1250");
    return dec.decode(bytes);
}

QString xmlSafe(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() && out[i + 1].isLowSurrogate()) {
            ++i; // a pair: one character of the upper planes
            continue;
        }
        const bool allowed = c >= 0x20 ? !QChar::isSurrogate(c) && c != 0xfffe && c != 0xffff
                                       : c == 0x09 || c == 0x0a || c == 0x0d;
        if (!allowed) out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

} // namespace prolis
