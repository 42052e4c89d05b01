// VARIANT <-> automation::Variant. By-reference VARIANTs (VT_BYREF|...) are read through
// their reference; writeBack stores a value through the reference a caller gave, coercing
// it to the referenced type when that is not VT_VARIANT.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::platform::win32 {

// The value a VARIANT holds. A value the automation layer cannot hold (VT_UNKNOWN without
// IDispatch, VT_RECORD, arrays of more than one dimension or of such elements) raises
// RuntimeError 13, "Type mismatch", here, before any call goes on with it.
automation::Variant fromVariant(const VARIANT& v);

// Fills `out` (empty or cleared by the caller) with a VARIANT the caller then owns.
void toVariant(const automation::Variant& value, VARIANT* out);

// Stores `value` where `target` points: through the reference for VT_BYREF targets (coerced
// to the referenced type; left as it was when the value cannot be coerced), into the
// VARIANT itself otherwise. A failure says why the value could not be stored: the
// coercion's DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, DISP_E_BADVARTYPE for a referenced
// type it does not write, E_POINTER for no reference.
[[nodiscard]] HRESULT writeBack(VARIANT* target, const automation::Variant& value);

// Whether two values are the same value of the same kind (objects by identity, arrays
// element by element). Used to write back only what a call really changed.
bool sameValue(const automation::Variant& a, const automation::Variant& b);

// IDispatch -> Object for every host object; an object of this module that went out as an
// IDispatch comes back as itself. A null pointer is Nothing.
automation::ObjectRef objectFromDispatch(IDispatch* dispatch);
// Object -> IDispatch (new reference, or null for Nothing). A host object that came in
// goes back out as the host's own pointer.
IDispatch* dispatchFromObject(const automation::ObjectRef& object);

// Text <-> BSTR.
BSTR makeBstr(automation::TextView text);
automation::Text textOf(BSTR b);
inline const wchar_t* wide(const automation::Text& t) {
    return reinterpret_cast<const wchar_t*>(t.c_str());
}
inline automation::Text fromWide(const wchar_t* s) {
    return s ? automation::Text(reinterpret_cast<const char16_t*>(s)) : automation::Text();
}

}  // namespace vantrel::platform::win32
