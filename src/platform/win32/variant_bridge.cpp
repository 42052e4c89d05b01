#include "platform/win32/variant_bridge.h"

#include <cstring>
#include <new>

#include "automation/runtime_error.h"
#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

using automation::Array;
using automation::Currency;
using automation::DateValue;
using automation::ErrorCode;
using automation::NullTag;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;
using automation::VarType;

namespace {

// A value the automation layer cannot hold is refused where it comes in, as the runtime
// refuses a value of the wrong type; passed on as an Error value it would read as the text
// "Error -2147352568".
[[noreturn]] void refuse() {
    throw automation::RuntimeError(automation::errc::TypeMismatch);
}

VarType elementTypeOf(VARTYPE vt) {
    switch (vt) {
        case VT_I2:
        case VT_I1:
        case VT_UI1:
            return VarType::Integer;
        case VT_I4:
        case VT_INT:
        case VT_UI2:
            return VarType::Long;
        case VT_R4:
        case VT_R8:
        case VT_UI4:
        case VT_UINT:
        case VT_I8:
        case VT_UI8:
        case VT_DECIMAL:
            return VarType::Double;
        case VT_CY:
            return VarType::Currency;
        case VT_DATE:
            return VarType::Date;
        case VT_BSTR:
            return VarType::String;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return VarType::Object;
        case VT_ERROR:
            return VarType::Error;
        case VT_BOOL:
            return VarType::Boolean;
        default:
            return VarType::Variant;
    }
}

VARTYPE vtOf(VarType t) {
    switch (t) {
        case VarType::Integer:
            return VT_I2;
        case VarType::Long:
            return VT_I4;
        case VarType::Double:
            return VT_R8;
        case VarType::Currency:
            return VT_CY;
        case VarType::Date:
            return VT_DATE;
        case VarType::String:
            return VT_BSTR;
        case VarType::Object:
            return VT_DISPATCH;
        case VarType::Error:
            return VT_ERROR;
        case VarType::Boolean:
            return VT_BOOL;
        default:
            return VT_VARIANT;
    }
}

Variant fromSafeArray(SAFEARRAY* psa, VARTYPE elementVt) {
    // Elements of a kind the layer does not know (records...) have no room in a VARIANT.
    if (elementVt != VT_VARIANT && elementTypeOf(elementVt) == VarType::Variant) refuse();
    if (!psa) return Variant(Array(elementTypeOf(elementVt), 0, -1));
    // The layer's arrays have one dimension, as the system's are declared.
    if (SafeArrayGetDim(psa) != 1) refuse();
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(psa, 1, &lower)) || FAILED(SafeArrayGetUBound(psa, 1, &upper)))
        refuse();
    Array array(elementTypeOf(elementVt), lower, upper);
    for (LONG i = lower; i <= upper; ++i) {
        UniqueVariant element;
        HRESULT hr;
        if (elementVt == VT_VARIANT) {
            hr = SafeArrayGetElement(psa, &i, element.get());
        } else if (elementVt == VT_DECIMAL) {
            // A DECIMAL fills the whole VARIANT, its type field included.
            hr = SafeArrayGetElement(psa, &i, &element->decVal);
            if (SUCCEEDED(hr)) element->vt = VT_DECIMAL;
        } else {
            // The element lands in the VARIANT's value union, typed by elementVt.
            hr = SafeArrayGetElement(psa, &i, &element->lVal);
            if (SUCCEEDED(hr)) element->vt = elementVt;
        }
        if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
        if (FAILED(hr)) refuse();
        array.at(i) = fromVariant(*element.get());
    }
    return Variant(std::move(array));
}

SAFEARRAY* toSafeArray(const Array& array) {
    VARTYPE vt = vtOf(array.elementType);
    SAFEARRAYBOUND bound{static_cast<ULONG>(array.items.size()), array.lowerBound};
    UniqueSafeArray psa(SafeArrayCreate(vt, 1, &bound));
    if (!psa.get()) throw std::bad_alloc();
    for (std::size_t k = 0; k < array.items.size(); ++k) {
        LONG index = array.lowerBound + static_cast<LONG>(k);
        UniqueVariant element;
        toVariant(array.items[k], element.get());
        HRESULT hr;
        if (vt == VT_VARIANT) {
            hr = SafeArrayPutElement(psa.get(), &index, element.get());
        } else {
            UniqueVariant typed;
            hr = VariantChangeType(typed.get(), element.get(), 0, vt);
            if (SUCCEEDED(hr)) {
                // BSTR and interface elements are passed as the pointer itself.
                void* data = (vt == VT_BSTR || vt == VT_DISPATCH)
                                 ? static_cast<void*>(typed->byref)
                                 : static_cast<void*>(&typed->lVal);
                hr = SafeArrayPutElement(psa.get(), &index, data);
            }
        }
        if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
    }
    return psa.detach();
}

}  // namespace

BSTR makeBstr(TextView text) {
    BSTR b = SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()),
                               static_cast<UINT>(text.size()));
    if (!b) throw std::bad_alloc();
    return b;
}

Text textOf(BSTR b) {
    if (!b) return Text();
    return Text(reinterpret_cast<const char16_t*>(b), SysStringLen(b));
}

Variant fromVariant(const VARIANT& v) {
    VARTYPE vt = v.vt;
    if (vt == (VT_BYREF | VT_VARIANT)) return v.pvarVal ? fromVariant(*v.pvarVal) : Variant();
    bool byref = (vt & VT_BYREF) != 0;
    if ((vt & VT_ARRAY) != 0) {
        SAFEARRAY* psa = byref ? (v.pparray ? *v.pparray : nullptr) : v.parray;
        return fromSafeArray(psa, vt & VT_TYPEMASK);
    }
    if (byref && v.byref == nullptr) refuse();
    switch (vt & ~VT_BYREF) {
        case VT_EMPTY:
            return Variant();
        case VT_NULL:
            return Variant::null();
        case VT_I2:
            return Variant(byref ? *v.piVal : v.iVal);
        case VT_I4:
            return Variant(static_cast<std::int32_t>(byref ? *v.plVal : v.lVal));
        case VT_INT:
            return Variant(static_cast<std::int32_t>(byref ? *v.pintVal : v.intVal));
        case VT_R8:
            return Variant(byref ? *v.pdblVal : v.dblVal);
        case VT_R4:
            return Variant(static_cast<double>(byref ? *v.pfltVal : v.fltVal));
        case VT_CY:
            return Variant(Currency{byref ? v.pcyVal->int64 : v.cyVal.int64});
        case VT_DATE:
            return Variant::date(byref ? *v.pdate : v.date);
        case VT_BSTR:
            return Variant(textOf(byref ? *v.pbstrVal : v.bstrVal));
        case VT_BOOL:
            return Variant((byref ? *v.pboolVal : v.boolVal) != VARIANT_FALSE);
        case VT_ERROR:
            return Variant(ErrorCode{static_cast<std::int32_t>(byref ? *v.pscode : v.scode)});
        case VT_UI1:
            return Variant(static_cast<std::int16_t>(byref ? *v.pbVal : v.bVal));
        case VT_I1:
            return Variant(static_cast<std::int16_t>(byref ? *v.pcVal : v.cVal));
        case VT_UI2:
            return Variant(static_cast<std::int32_t>(byref ? *v.puiVal : v.uiVal));
        case VT_UI4:
            return Variant(static_cast<double>(byref ? *v.pulVal : v.ulVal));
        case VT_UINT:
            return Variant(static_cast<double>(byref ? *v.puintVal : v.uintVal));
        case VT_I8:
            return Variant(static_cast<double>(byref ? *v.pllVal : v.llVal));
        case VT_UI8:
            return Variant(static_cast<double>(byref ? *v.pullVal : v.ullVal));
        case VT_DECIMAL: {
            double d = 0;
            DECIMAL dec = byref ? *v.pdecVal : v.decVal;
            if (FAILED(VarR8FromDec(&dec, &d))) refuse();
            return Variant(d);
        }
        case VT_DISPATCH:
            return Variant(objectFromDispatch(byref ? *v.ppdispVal : v.pdispVal));
        case VT_UNKNOWN: {
            IUnknown* unknown = byref ? *v.ppunkVal : v.punkVal;
            if (!unknown) return Variant(ObjectRef());
            ComPtr<IDispatch> dispatch;
            if (FAILED(unknown->QueryInterface(IID_IDispatch,
                                               reinterpret_cast<void**>(dispatch.put()))))
                refuse();
            return Variant(objectFromDispatch(dispatch.get()));
        }
        default:
            refuse();
    }
}

void toVariant(const Variant& value, VARIANT* out) {
    VariantInit(out);
    const auto& s = value.storage();
    if (std::holds_alternative<std::monostate>(s)) {
        out->vt = VT_EMPTY;
    } else if (std::holds_alternative<NullTag>(s)) {
        out->vt = VT_NULL;
    } else if (auto* b = std::get_if<bool>(&s)) {
        out->vt = VT_BOOL;
        out->boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (auto* i = std::get_if<std::int16_t>(&s)) {
        out->vt = VT_I2;
        out->iVal = *i;
    } else if (auto* l = std::get_if<std::int32_t>(&s)) {
        out->vt = VT_I4;
        out->lVal = *l;
    } else if (auto* d = std::get_if<double>(&s)) {
        out->vt = VT_R8;
        out->dblVal = *d;
    } else if (auto* c = std::get_if<Currency>(&s)) {
        out->vt = VT_CY;
        out->cyVal.int64 = c->scaled;
    } else if (auto* dt = std::get_if<DateValue>(&s)) {
        out->vt = VT_DATE;
        out->date = dt->value;
    } else if (auto* t = std::get_if<Text>(&s)) {
        out->bstrVal = makeBstr(*t);
        out->vt = VT_BSTR;
    } else if (auto* o = std::get_if<std::shared_ptr<automation::Object>>(&s)) {
        out->pdispVal = dispatchFromObject(ObjectRef(*o));
        out->vt = VT_DISPATCH;
    } else if (auto* e = std::get_if<ErrorCode>(&s)) {
        out->vt = VT_ERROR;
        out->scode = e->code;
    } else if (auto* a = std::get_if<std::shared_ptr<Array>>(&s)) {
        out->parray = toSafeArray(**a);
        out->vt = VT_ARRAY | vtOf((*a)->elementType);
    }
}

HRESULT writeBack(VARIANT* target, const Variant& value) {
    if (!target) return E_POINTER;
    if (target->vt == (VT_BYREF | VT_VARIANT)) {
        if (!target->pvarVal) return E_POINTER;
        UniqueVariant fresh;
        toVariant(value, fresh.get());
        VariantClear(target->pvarVal);
        fresh.detachTo(target->pvarVal);
        return S_OK;
    }
    if ((target->vt & VT_BYREF) == 0) {
        UniqueVariant fresh;
        toVariant(value, fresh.get());
        VariantClear(target);
        fresh.detachTo(target);
        return S_OK;
    }
    if (!target->byref) return E_POINTER;
    VARTYPE wanted = target->vt & ~VT_BYREF;
    UniqueVariant fresh, typed;
    toVariant(value, fresh.get());
    if (const HRESULT hr = VariantChangeType(typed.get(), fresh.get(), 0, wanted); FAILED(hr))
        return hr;
    // Replace the referenced value: free what it held, then move the new value in.
    switch (wanted) {
        case VT_BSTR:
            SysFreeString(*target->pbstrVal);
            *target->pbstrVal = typed->bstrVal;
            typed->vt = VT_EMPTY;
            return S_OK;
        case VT_DISPATCH:
            if (*target->ppdispVal) (*target->ppdispVal)->Release();
            *target->ppdispVal = typed->pdispVal;
            typed->vt = VT_EMPTY;
            return S_OK;
        case VT_I2:
            *target->piVal = typed->iVal;
            return S_OK;
        case VT_I4:
            *target->plVal = typed->lVal;
            return S_OK;
        case VT_INT:
            *target->pintVal = typed->intVal;
            return S_OK;
        case VT_R8:
            *target->pdblVal = typed->dblVal;
            return S_OK;
        case VT_R4:
            *target->pfltVal = typed->fltVal;
            return S_OK;
        case VT_CY:
            *target->pcyVal = typed->cyVal;
            return S_OK;
        case VT_DATE:
            *target->pdate = typed->date;
            return S_OK;
        case VT_BOOL:
            *target->pboolVal = typed->boolVal;
            return S_OK;
        case VT_ERROR:
            *target->pscode = typed->scode;
            return S_OK;
        case VT_UI1:
            *target->pbVal = typed->bVal;
            return S_OK;
        default:
            return DISP_E_BADVARTYPE;
    }
}

bool sameValue(const Variant& a, const Variant& b) {
    const auto& x = a.storage();
    const auto& y = b.storage();
    if (x.index() != y.index()) return false;
    return std::visit(
        [&](const auto& left) -> bool {
            using T = std::decay_t<decltype(left)>;
            const T& right = std::get<T>(y);
            if constexpr (std::is_same_v<T, std::monostate> || std::is_same_v<T, NullTag>) {
                return true;
            } else if constexpr (std::is_same_v<T, DateValue>) {
                return std::memcmp(&left.value, &right.value, sizeof(double)) == 0;
            } else if constexpr (std::is_same_v<T, double>) {
                return std::memcmp(&left, &right, sizeof(double)) == 0;
            } else if constexpr (std::is_same_v<T, std::shared_ptr<Array>>) {
                if (left == right) return true;
                if (!left || !right) return false;
                if (left->elementType != right->elementType ||
                    left->lowerBound != right->lowerBound ||
                    left->items.size() != right->items.size())
                    return false;
                for (std::size_t i = 0; i < left->items.size(); ++i)
                    if (!sameValue(left->items[i], right->items[i])) return false;
                return true;
            } else {
                return left == right;
            }
        },
        x);
}

}  // namespace vantrel::platform::win32
