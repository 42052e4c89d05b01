// The number of the runtime error a call raises, for tests that compare it by table.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/runtime_error.h"

namespace vantrel::testing {

// The error number `f` raises, or 0 when it returns.
inline std::int32_t errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const automation::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace vantrel::testing
