#pragma once
// The rule of the number fields: digits, one comma, Backspace and Enter pass;
// every other character, and a second comma, is discarded with the beep.
#include <QChar>
#include <QString>

namespace prolis {

enum class KeyVerdict { Accept, Discard, Enter };

constexpr char16_t KeyBackspace = 8;
constexpr char16_t KeyEnter = 13;

KeyVerdict filterNumericKey(QChar ch, const QString& currentText);

// A number field counts as missing when its text is empty or exactly "0".
inline bool isMissing(const QString& text) {
    return text.isEmpty() || text == QLatin1String("0");
}

} // namespace prolis
