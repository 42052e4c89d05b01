// Helpers shared by the libFuzzer targets: a broken invariant aborts with its reason (libFuzzer
// then keeps the input), and only the runtime errors a function may raise are let through.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "automation/runtime_error.h"
#include "automation/text.h"

namespace vantrel::fuzzing {

[[noreturn]] inline void fail(const char* what, automation::TextView detail = {}) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (!detail.empty()) std::fprintf(stderr, "  with: %s\n", automation::toUtf8(detail).c_str());
    std::abort();
}

inline void check(bool ok, const char* what, automation::TextView detail = {}) {
    if (!ok) fail(what, detail);
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The outcome of one call: its value, or the number of the RuntimeError it raised.
template <class T>
struct Outcome {
    std::optional<T> value;
    std::int32_t error = 0;
    bool ok() const { return value.has_value(); }
};

// Runs `f`. A RuntimeError whose number is in `allowed` is an answer; any other error, or
// any other exception, is a fault of the code under test.
template <class F>
auto attempt(F&& f, std::initializer_list<std::int32_t> allowed, automation::TextView input = {})
    -> Outcome<decltype(f())> {
    Outcome<decltype(f())> out;
    try {
        out.value = f();
    } catch (const automation::RuntimeError& e) {
        for (std::int32_t n : allowed) {
            if (n == e.number()) {
                out.error = n;
                return out;
            }
        }
        std::fprintf(stderr, "unexpected RuntimeError %d: %s\n", static_cast<int>(e.number()),
                     e.what());
        fail("an error number the function does not raise", input);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unexpected exception: %s\n", e.what());
        fail("an exception other than RuntimeError", input);
    }
    return out;
}

}  // namespace vantrel::fuzzing
