// Runtime errors across COM: a RuntimeError leaves as DISP_E_EXCEPTION with an EXCEPINFO
// (through IDispatch) or as a failure HRESULT with an IErrorInfo (through the vtable), and
// comes back in the same way. Error numbers travel as FACILITY_CONTROL HRESULTs
// (0x800A0000 + number), as the automation runtime sends them.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include "automation/runtime_error.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;

HRESULT hresultOfError(std::int32_t number);
// The runtime error number for an HRESULT: the low word of FACILITY_CONTROL codes, the
// runtime's numbers for the standard DISP_E codes, the HRESULT itself otherwise.
std::int32_t errorNumberOf(HRESULT hr);

// Fills an EXCEPINFO (when given) for the error.
void fillExcepInfo(const RuntimeError& error, EXCEPINFO* info);
// The error an EXCEPINFO describes (calls its deferred fill-in first).
RuntimeError errorFromExcepInfo(EXCEPINFO& info);
// The error of a failed call: the thread's IErrorInfo when there is one.
RuntimeError errorFromHresult(HRESULT hr);

// Sets the thread's IErrorInfo and returns the HRESULT for the error.
HRESULT reportError(const RuntimeError& error, REFIID iid);

// Runs `body`, turning any exception into an HRESULT (with error info). No exception leaves.
template <class F>
HRESULT guardedCall(REFIID iid, F&& body) noexcept {
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
