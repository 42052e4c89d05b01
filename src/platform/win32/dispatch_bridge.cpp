#include "platform/win32/dispatch_bridge.h"

#include <mutex>
#include <new>
#include <vector>

#include "automation/members.h"
#include "platform/win32/com_error.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::platform::win32 {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

const char kToken = 0;

// Members of a class with a member table are numbered by their index from 1, below the
// numbers handed out by name for the others.
constexpr DISPID kFirstTableId = 1;
constexpr DISPID kTableIds = 999;

// Member names of our own objects and the DISPIDs handed out for them, for the module.
class NameTable {
public:
    DISPID idOf(TextView name) {
        std::lock_guard<std::mutex> lock(mutex_);
        Text key = automation::ucase(name);
        auto it = ids_.find(key);
        if (it != ids_.end()) return it->second;
        DISPID id = kFirst + static_cast<DISPID>(names_.size());
        names_.emplace_back(name);
        ids_.emplace(std::move(key), id);
        return id;
    }
    bool nameOf(DISPID id, Text& name) {
        if (id == DISPID_VALUE) {
            name.clear();
            return true;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (id < kFirst || id >= kFirst + static_cast<DISPID>(names_.size())) return false;
        name = names_[static_cast<std::size_t>(id - kFirst)];
        return true;
    }

private:
    static constexpr DISPID kFirst = 1000;
    std::mutex mutex_;
    std::map<Text, DISPID> ids_;
    std::vector<Text> names_;
};

NameTable& names() {
    static NameTable table;
    return table;
}

WORD flagsOf(CallKind kind) {
    switch (kind) {
        case CallKind::Put:
            return DISPATCH_PROPERTYPUT;
        case CallKind::PutRef:
            return DISPATCH_PROPERTYPUTREF;
        default:
            return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    }
}

}  // namespace

const void* moduleToken() {
    return &kToken;
}

// ---- DispatchObject -------------------------------------------------------------------

DISPID DispatchObject::idOf(TextView member) {
    if (member.empty()) return DISPID_VALUE;
    Text key = automation::ucase(member);
    auto it = ids_.find(key);
    if (it != ids_.end()) return it->second;
    Text name(member);
    LPOLESTR names[1] = {const_cast<LPOLESTR>(wide(name))};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw RuntimeError(automation::errc::NotSupported);
    ids_.emplace(std::move(key), id);
    return id;
}

Variant DispatchObject::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    DISPID id = idOf(member);
    const std::size_t n = args.size();
    // The VARIANTs of the call, owned until it has returned: rgvarg, in reverse order of the
    // arguments, and the values that its by-reference slots point at.
    VariantVector slots(n), cells(n);
    for (std::size_t i = 0; i < n; ++i) {
        VARIANT& slot = slots[n - 1 - i];
        if (args[i].byRef) {
            toVariant(args[i].value, &cells[i]);
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = &cells[i];
        } else {
            toVariant(args[i].value, &slot);
        }
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{slots.data(), nullptr, static_cast<UINT>(n), 0};
    bool isPut = automation::isPut(kind);
    if (isPut) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    UniqueVariant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flagsOf(kind), &params,
                                   isPut ? nullptr : result.get(), &excep, &argErr);
    if (hr == DISP_E_MEMBERNOTFOUND && kind == CallKind::PutRef) {
        excep = EXCEPINFO{};
        hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                               nullptr, &excep, &argErr);
    }
    if (hr == DISP_E_EXCEPTION) throw errorFromExcepInfo(excep);
    if (FAILED(hr)) throw errorFromHresult(hr);
    for (std::size_t i = 0; i < n; ++i)
        if (args[i].byRef) args[i].value = fromVariant(cells[i]);
    return fromVariant(*result.get());
}

// ---- ObjectDispatch -------------------------------------------------------------------

ObjectDispatch::ObjectDispatch(std::shared_ptr<automation::Object> object)
    : object_(std::move(object)), token_(moduleToken()) {}

HRESULT ObjectDispatch::ObjectOf(const void* token, const void** object) {
    if (!object) return E_POINTER;
    const bool ours = token == token_;
    *object = ours ? &object_ : nullptr;
    return ours ? S_OK : S_FALSE;
}

HRESULT ObjectDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ObjectDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT ObjectDispatch::GetIDsOfNames(REFIID, LPOLESTR* nameList, UINT count, LCID, DISPID* ids) {
    if (!nameList || !ids) return E_POINTER;
    try {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        if (count == 0) return S_OK;
        const Text name = fromWide(nameList[0]);
        // A class with a member table numbers its members once for all its objects.
        const automation::MemberTable* table = object_->memberTable();
        const std::size_t index = table ? table->find(name) : automation::MemberTable::npos;
        ids[0] =
            index < kTableIds ? kFirstTableId + static_cast<DISPID>(index) : names().idOf(name);
        // Parameter names are not known in advance.
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ObjectDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
    if (result) VariantInit(result);
    const automation::MemberTable* table = object_->memberTable();
    const bool byIndex = id >= kFirstTableId && id < kFirstTableId + kTableIds;
    const auto index = static_cast<std::size_t>(id - kFirstTableId);
    Text member;
    if (byIndex ? !table || index >= table->size() : !names().nameOf(id, member))
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    CallKind kind = (flags & DISPATCH_PROPERTYPUTREF) ? CallKind::PutRef
                    : (flags & DISPATCH_PROPERTYPUT)  ? CallKind::Put
                    : (flags & DISPATCH_METHOD)       ? CallKind::Method
                                                      : CallKind::Get;
    bool isPut = automation::isPut(kind);
    // Only the assigned value may be named.
    if (params->cNamedArgs > 1 ||
        (params->cNamedArgs == 1 && (!isPut || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
        return DISP_E_NONAMEDARGS;
    if (isPut && params->cArgs == 0) return DISP_E_BADPARAMCOUNT;
    try {
        const UINT n = params->cArgs;
        // Positional arguments come last-first; a named put value sits at rgvarg[0].
        std::vector<VARIANT*> order;
        order.reserve(n);
        for (UINT i = n; i-- > params->cNamedArgs;) order.push_back(&params->rgvarg[i]);
        if (params->cNamedArgs == 1) order.push_back(&params->rgvarg[0]);
        std::vector<Argument> args;
        args.reserve(n);
        for (VARIANT* v : order) args.push_back(Argument{fromVariant(*v), (v->vt & VT_BYREF) != 0});
        std::vector<Variant> before;
        before.reserve(n);
        for (auto& a : args) before.push_back(a.value);
        Variant value =
            byIndex ? object_->invokeAt(index, kind, args) : object_->invoke(member, kind, args);
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (!args[i].byRef || sameValue(args[i].value, before[i])) continue;
            // A typed reference that cannot take the value: the call's result would be lost.
            if (const HRESULT hr = writeBack(order[i], args[i].value); FAILED(hr))
                throw RuntimeError(errorNumberOf(hr));
        }
        if (result) toVariant(value, result);
        return S_OK;
    } catch (...) {
        if (result) VariantClear(result);
        if (argErr) *argErr = 0;
        try {
            RuntimeError error = automation::currentError();
            if (!excep) return hresultOfError(error.number());
            fillExcepInfo(error, excep);
            return DISP_E_EXCEPTION;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
}

// ---- conversions ----------------------------------------------------------------------

ObjectRef objectFromDispatch(IDispatch* dispatch) {
    if (!dispatch) return ObjectRef();
    if (auto bridge = ComPtr<IDispatch>::share(dispatch).query<IVantrelObjectBridge>()) {
        const void* ours = nullptr;
        if (bridge->ObjectOf(moduleToken(), &ours) == S_OK && ours)
            return ObjectRef(*static_cast<const std::shared_ptr<automation::Object>*>(ours));
    }
    return ObjectRef(std::make_shared<DispatchObject>(ComPtr<IDispatch>::share(dispatch)));
}

IDispatch* dispatchFromObject(const ObjectRef& object) {
    if (object.isNothing()) return nullptr;
    if (auto* host = dynamic_cast<DispatchObject*>(object.get())) {
        host->dispatch()->AddRef();
        return host->dispatch();
    }
    return new ObjectDispatch(object.shared());
}

}  // namespace vantrel::platform::win32
