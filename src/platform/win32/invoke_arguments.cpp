#include "platform/win32/invoke_arguments.h"

#include <map>
#include <mutex>
#include <new>

#include "platform/win32/com_error.h"
#include "platform/win32/com_object.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;

// ---- the mismatch object ---------------------------------------------------------------

namespace {
class MismatchObject final : public ComObject<MismatchObject, IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    // Every name is "known", so that the failure comes from the call, as "Type mismatch".
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                            DISPID* ids) override {
        if (!ids) return E_POINTER;
        for (UINT i = 0; i < count; ++i) ids[i] = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO* excep, UINT*) override {
        if (result) VariantInit(result);
        if (!excep) return DISP_E_TYPEMISMATCH;
        try {
            fillExcepInfo(RuntimeError(automation::errc::TypeMismatch), excep);
            return DISP_E_EXCEPTION;
        } catch (...) {
            return DISP_E_TYPEMISMATCH;
        }
    }
};
}  // namespace

IDispatch* newMismatchObject() {
    return new MismatchObject();
}

// ---- event arguments -------------------------------------------------------------------

namespace {
// The parameter kinds of every function of a type, found by walking its FUNCDESCs (the
// function's index is not asked of the type library: Wine numbers the dispatch view of a
// dual interface differently for GetFuncIndexOfMemId and GetFuncDesc).
using KindTable = std::map<DISPID, std::vector<EventArguments::Kind>>;

KindTable kindTableOf(ITypeInfo* info) {
    KindTable table;
    WORD count = 0;
    {
        UniqueTypeAttr attr(info);
        if (FAILED(info->GetTypeAttr(attr.put()))) return table;
        count = attr->cFuncs;
    }
    for (UINT index = 0; index < count; ++index) {
        UniqueFuncDesc fd(info);
        if (FAILED(info->GetFuncDesc(index, fd.put()))) continue;
        if (fd->invkind == INVOKE_FUNC) {
            std::vector<EventArguments::Kind> kinds;
            for (SHORT i = 0; i < fd->cParams; ++i) {
                const TYPEDESC& t = fd->lprgelemdescParam[i].tdesc;
                EventArguments::Kind k = EventArguments::Kind::Other;
                if (t.vt == VT_PTR && t.lptdesc) {
                    const TYPEDESC& inner = *t.lptdesc;
                    if (inner.vt == VT_VARIANT)
                        k = EventArguments::Kind::Variant;
                    else if (inner.vt == VT_DISPATCH)
                        k = EventArguments::Kind::Dispatch;
                    else if (inner.vt == VT_PTR && inner.lptdesc &&
                             inner.lptdesc->vt == VT_USERDEFINED)
                        k = EventArguments::Kind::Dispatch;
                }
                kinds.push_back(k);
            }
            table[fd->memid] = std::move(kinds);
        }
    }
    return table;
}
}  // namespace

bool EventArguments::kindsOf(ITypeInfo* info, DISPID id, std::vector<Kind>& kinds) {
    kinds.clear();
    static std::mutex mutex;
    static std::map<ITypeInfo*, KindTable> tables;  // the module's type infos live as long
    KindTable* table;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = tables.find(info);
        if (it == tables.end()) it = tables.emplace(info, kindTableOf(info)).first;
        table = &it->second;
    }
    auto f = table->find(id);
    if (f == table->end() || f->second.empty()) return false;
    for (Kind k : f->second)
        if (k == Kind::Other) return false;
    kinds = f->second;
    return true;
}

EventArguments::EventArguments(const std::vector<Kind>& kinds, const DISPPARAMS& caller) {
    const std::size_t n = kinds.size();
    if (caller.cArgs > n) {
        status_ = DISP_E_BADPARAMCOUNT;
        return;
    }
    // The caller's argument for each parameter position, or null when missing.
    std::vector<VARIANT*> given(n, nullptr);
    for (UINT i = 0; i < caller.cArgs; ++i) {
        std::size_t position;
        if (i < caller.cNamedArgs) {
            DISPID named = caller.rgdispidNamedArgs ? caller.rgdispidNamedArgs[i] : -1;
            if (named < 0 || static_cast<std::size_t>(named) >= n) {
                status_ = DISP_E_PARAMNOTFOUND;
                return;
            }
            position = static_cast<std::size_t>(named);
        } else {
            position = caller.cArgs - 1 - i;
        }
        given[position] = &caller.rgvarg[i];
    }
    slots_ = VariantVector(n);
    copies_ = VariantVector(n);
    objects_.assign(n, nullptr);
    for (std::size_t p = 0; p < n; ++p) {
        VARIANT& slot = slots_[n - 1 - p];
        VARIANT* arg = given[p];
        if (kinds[p] == Kind::Variant) {
            slot.vt = VT_BYREF | VT_VARIANT;
            if (arg && arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal) {
                slot.pvarVal = arg->pvarVal;
            } else if (arg && (arg->vt & VT_BYREF) && arg->byref) {
                slot.pvarVal = arg;  // the typed reference itself; written with coercion
            } else {
                if (arg && arg->vt != VT_ERROR) VariantCopy(&copies_[p], arg);
                slot.pvarVal = &copies_[p];
            }
            continue;
        }
        // IDispatch**
        slot.vt = VT_BYREF | VT_DISPATCH;
        if (arg && arg->vt == (VT_BYREF | VT_DISPATCH) && arg->ppdispVal) {
            slot.ppdispVal = arg->ppdispVal;
            continue;
        }
        if (arg && arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal &&
            arg->pvarVal->vt == VT_DISPATCH) {
            slot.ppdispVal = &arg->pvarVal->pdispVal;
            continue;
        }
        const VARIANT* value = arg;
        if (value && value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
        IDispatch* object = nullptr;
        VARTYPE vt = value ? value->vt : static_cast<VARTYPE>(VT_EMPTY);
        bool byref = (vt & VT_BYREF) != 0;
        switch (vt & ~VT_BYREF) {
            case VT_EMPTY:
            case VT_ERROR:
                break;
            case VT_DISPATCH: {
                IDispatch* d =
                    byref ? (value->ppdispVal ? *value->ppdispVal : nullptr) : value->pdispVal;
                if (d) {
                    d->AddRef();
                    object = d;
                }
                break;
            }
            case VT_UNKNOWN: {
                IUnknown* u =
                    byref ? (value->ppunkVal ? *value->ppunkVal : nullptr) : value->punkVal;
                if (u &&
                    FAILED(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object)))) {
                    object = newMismatchObject();
                }
                break;
            }
            default:
                object = newMismatchObject();
                break;
        }
        objects_[p] = object;
        slot.ppdispVal = &objects_[p];
    }
    params_ = DISPPARAMS{slots_.data(), nullptr, static_cast<UINT>(n), 0};
}

EventArguments::~EventArguments() {
    for (IDispatch* d : objects_)
        if (d) d->Release();
}

// ---- arguments of the other calls -----------------------------------------------------

ValueArguments::ValueArguments(const DISPPARAMS& caller) : values_(caller.cArgs) {
    for (UINT i = 0; i < caller.cArgs; ++i) {
        status_ = VariantCopyInd(&values_[i], &caller.rgvarg[i]);
        if (FAILED(status_)) {
            failed_ = i;
            return;
        }
    }
    params_ = DISPPARAMS{values_.data(), caller.rgdispidNamedArgs, caller.cArgs, caller.cNamedArgs};
}

}  // namespace vantrel::platform::win32
