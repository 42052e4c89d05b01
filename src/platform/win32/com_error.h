// Runtime errors across COM: a RuntimeError leaves as DISP_E_EXCEPTION with an EXCEPINFO
// (through IDispatch) or as a failure HRESULT with an IErrorInfo (through the vtable), and
// comes back in the same way. Error numbers travel as FACILITY_CONTROL HRESULTs
// (0x800A0000 + number), as the automation runtime sends them.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include "automation/runtime_error.h"

namespace vantrel::platform::win32 {

[[nodiscard]] HRESULT hresultOfError(std::int32_t number);
// The runtime error number for an HRESULT: the low word of FACILITY_CONTROL codes, the
// runtime's numbers for the standard DISP_E codes, the HRESULT itself otherwise.
[[nodiscard]] std::int32_t errorNumberOf(HRESULT hr);

// Fills an EXCEPINFO (when given) for the error.
void fillExcepInfo(const automation::RuntimeError& error, EXCEPINFO* info);
// The error an EXCEPINFO describes (calls its deferred fill-in first).
automation::RuntimeError errorFromExcepInfo(EXCEPINFO& info);
// The error of a failed call: the thread's IErrorInfo when there is one.
automation::RuntimeError errorFromHresult(HRESULT hr);

// Sets the thread's IErrorInfo and returns the HRESULT for the error.
[[nodiscard]] HRESULT reportError(const automation::RuntimeError& error, REFIID iid);

// A failed HRESULT on its way out of a run of calls that answers with its first failure.
struct HresultFailure {
    HRESULT hr;
};

// Throws HresultFailure for a failed HRESULT (hresultOf gives it back).
inline void throwIfFailed(HRESULT hr) {
    if (FAILED(hr)) throw HresultFailure{hr};
}
// Throws, for a failed HRESULT, the error a user reads: `what` with the HRESULT's number in
// parentheses, an application-defined error of `source`.
void throwIfFailed(HRESULT hr, const automation::Text& source, const automation::Text& what);

// Runs `body`: S_OK, or the HRESULT of the throwIfFailed in it that failed. Other
// exceptions pass.
template <class F>
[[nodiscard]] HRESULT hresultOf(F&& body) {
    try {
        body();
        return S_OK;
    } catch (const HresultFailure& failure) {
        return failure.hr;
    }
}

// Runs `body`, turning any exception into an HRESULT (with error info). No exception leaves.
template <class F>
[[nodiscard]] HRESULT guardedCall(REFIID iid, F&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        try {
            return reportError(automation::currentError(), iid);
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
}

}  // namespace vantrel::platform::win32
