#pragma once
// The message of the error an action raises, or an empty text.
#include "core/Errors.h"

#include <QString>
#include <functional>

namespace prolis::test {

inline QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return {};
}

} // namespace prolis::test
