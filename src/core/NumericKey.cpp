#include "NumericKey.h"

namespace prolis {

KeyVerdict filterNumericKey(QChar ch, const QString& currentText) {
    const char16_t c = ch.unicode();
    if (c == KeyEnter) return KeyVerdict::Enter;
    if (c == KeyBackspace || (c >= u'0' && c <= u'9')) return KeyVerdict::Accept;
    if (c == u',') return currentText.contains(QLatin1Char(',')) ? KeyVerdict::Discard : KeyVerdict::Accept;
    return KeyVerdict::Discard;
}

} // namespace prolis
