// One parameter of an event method for the duration of one call into the core: the value
// converted in, and on the way out written back through the caller's reference only when
// the core changed it (so "Nothing" events leave every argument exactly as passed).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <span>

#include "automation/runtime_error.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::platform::win32 {

// What an event gets for a value that the bridge refuses (an array of more than one
// dimension...): an object that answers every use with "Type mismatch". The refusal so
// happens inside the event's own frame, as it does for a value of the wrong kind, and the
// ERP still gets S_OK from the event.
class RefusedValue final : public automation::Object {
public:
    automation::Variant invoke(automation::TextView, automation::CallKind,
                               std::span<automation::Argument>) override {
        throw automation::RuntimeError(automation::errc::TypeMismatch);
    }
};

inline automation::Variant eventValue(const VARIANT* target) {
    if (!target) return automation::Variant();
    try {
        return fromVariant(*target);
    } catch (const automation::RuntimeError&) {
        return automation::Variant(automation::ObjectRef(std::make_shared<RefusedValue>()));
    }
}

class VariantParameter {
public:
    explicit VariantParameter(VARIANT* target)
        : target_(target), value_(eventValue(target)), before_(value_) {}
    VariantParameter(const VariantParameter&) = delete;
    VariantParameter& operator=(const VariantParameter&) = delete;
    ~VariantParameter() {
        if (target_ && !sameValue(value_, before_)) {
            try {
                // An event answers S_OK whatever happens in it: a typed reference that cannot
                // take the value keeps the caller's own, as does running out of memory.
                static_cast<void>(writeBack(target_, value_));
            } catch (...) {
            }
        }
    }
    operator automation::Variant&() { return value_; }

private:
    VARIANT* target_;
    automation::Variant value_;
    automation::Variant before_;
};

class ObjectParameter {
public:
    explicit ObjectParameter(IDispatch** target)
        : target_(target),
          value_(target ? objectFromDispatch(*target) : automation::ObjectRef()),
          before_(value_) {}
    ObjectParameter(const ObjectParameter&) = delete;
    ObjectParameter& operator=(const ObjectParameter&) = delete;
    ~ObjectParameter() {
        if (target_ && !(value_ == before_)) {
            try {
                IDispatch* fresh = dispatchFromObject(value_);
                if (*target_) (*target_)->Release();
                *target_ = fresh;
            } catch (...) {
            }
        }
    }
    operator automation::ObjectRef&() { return value_; }

private:
    IDispatch** target_;
    automation::ObjectRef value_;
    automation::ObjectRef before_;
};

inline VariantParameter param(VARIANT* v) {
    return VariantParameter(v);
}
inline ObjectParameter param(IDispatch** d) {
    return ObjectParameter(d);
}

}  // namespace vantrel::platform::win32
