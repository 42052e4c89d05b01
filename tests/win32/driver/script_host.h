// The driver's own script host for VBScript files that receive events (script_host.cpp).
#pragma once

namespace vantrel::wine {

// Runs the file in the VBScript engine with WScript.Echo and WScript.CreateObject (with an
// event prefix); 0 when the script ran without a run-time error.
int runScript(const wchar_t* file);

}  // namespace vantrel::wine
