#include "Errors.h"

namespace prolis {

QString errorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

} // namespace prolis
