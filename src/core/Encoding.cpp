#include "Encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace prolis {

QByteArray toCp1250(const QString& text) {
    QStringEncoder enc("windows-1250");
    QByteArray out;
    out.reserve(text.size());
    // Encode character by character so that one outside the code page becomes
    // "?" instead of the encoder's substitute byte.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView ch(text.constData() + i, len);
        i += len - 1;
        if (ch.size() == 1 && ch[0].unicode() < 0x80) {
            out.append(static_cast<char>(ch[0].unicode()));
            continue;
        }
        QByteArray b = enc.encode(ch);
        if (enc.hasError() || b.size() != 1 || b[0] == '\x1a') {
            enc.resetState();
            out.append('?');
        } else {
            out.append(b);
        }
    }
    return out;
}

QString fromCp1250(const QByteArray& bytes) {
    QStringDecoder dec("windows-1250");
    return dec.decode(bytes);
}

} // namespace prolis
