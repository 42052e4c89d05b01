// Type information built in memory for a class of ours that raises events: the coclass and
// its [default, source] dispinterface, as a type library compiler would describe
//   dispinterface Events { [id(n)] void Name([in] BSTR a, [in, out] VARIANT_BOOL* b); ... }
//   coclass Class { [default, source] dispinterface Events; }
// so that script hosts and control containers find the events and their dispatch
// identifiers through IProvideClassInfo. The library holding them is never registered nor
// written to disk.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <vector>

namespace vantrel::platform::win32 {

struct EventParameter {
    const wchar_t* name;
    VARTYPE type;
    bool byRef = false;  // [in, out] type*
};

struct EventMethod {
    const wchar_t* name;
    DISPID id;
    std::vector<EventParameter> parameters;
};

struct EventClass {
    GUID library;  // the in-memory library's own identity
    const wchar_t* libraryName;
    CLSID clsid;
    const wchar_t* className;
    IID events;
    const wchar_t* eventsName;
    std::vector<EventMethod> methods;
};

// The coclass's type information, built on the first call for `c.clsid` and kept for the
// life of the process (it outlives every object that hands it out).
HRESULT eventClassInfo(const EventClass& c, ITypeInfo** out);

}  // namespace vantrel::platform::win32
