// Counting checks for the Wine driver: each check prints its failures at once and the
// totals at the end ("N passed, M failed").
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace vantrel::wine {

struct Tally {
    int passed = 0;
    int failed = 0;
};
Tally& tally();

std::string narrow(const std::wstring& s);

inline bool check(bool ok, const std::string& what) {
    if (ok) {
        ++tally().passed;
    } else {
        ++tally().failed;
        std::printf("FAIL: %s\n", what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

inline bool checkEq(const std::wstring& got, const std::wstring& want, const std::string& what) {
    return check(got == want,
                 what + ": got \"" + narrow(got) + "\", want \"" + narrow(want) + "\"");
}

template <class A, class B>
bool checkEqN(A got, B want, const std::string& what) {
    return check(got == static_cast<A>(want),
                 what + ": got " + std::to_string(static_cast<long long>(got)) + ", want " +
                     std::to_string(static_cast<long long>(want)));
}

inline std::string hex(long v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08lX", static_cast<unsigned long>(v));
    return b;
}

}  // namespace vantrel::wine
