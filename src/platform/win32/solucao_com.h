// The COM class Solucao: the ERP's view of the core's vantrel::solution::Solucao. Each
// method is one guarded call into the core with its parameters bridged by reference; the
// core's event frame shows every error, so the ERP always gets S_OK from an event. The two
// API toggles return a failure HRESULT (with error info) when the core raises.
#pragma once

#include <memory>

#include "QuorilVantrel_h.h"
#include "platform/win32/com_error.h"
#include "platform/win32/com_object.h"
#include "platform/win32/event_parameters.h"
#include "platform/win32/type_info_dispatch.h"
#include "platform/win32/win32_components.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "solution/solucao.h"
#include "solution/solucao_events.h"

namespace vantrel::platform::win32 {

class SolucaoCom final
    : public ComObject<SolucaoCom, TypeInfoDispatch<_Solucao>, ErrorInfoFor<_Solucao>> {
    // The parameter kinds of the event list. Written V(name), a parameter is a declarator
    // in parentheses in a signature and a cast to its own type in a call, so one list
    // gives both the override and its forwarding.
    using V = VARIANT*;
    using O = IDispatch**;

public:
    // The class factory's creation: the core's own construction may fail (error 429 when
    // the database component cannot be created), which is returned as the HRESULT.
    static HRESULT create(REFIID iid, void** out) { return createInstance(iid, out); }

    // _Solucao: every method of the list overrides its slot (a slot left out would leave
    // the class abstract, and a changed signature would override nothing).
#define EVENT(name, parameters, body)                          \
    HRESULT STDMETHODCALLTYPE name parameters override {       \
        return forwardTo<&solution::Solucao::name> parameters; \
    }
    VANTREL_SOLUCAO_EVENTS(EVENT)
#undef EVENT

private:
    friend ComObject;
    SolucaoCom();
    ~SolucaoCom() override;

    template <auto Method, class... Parameters>
    HRESULT forwardTo(Parameters... parameters) {
        return guardedCall(IID__Solucao, [&] { (core_.get()->*Method)(param(parameters)...); });
    }

    Kernel32Profile profile_;
    Win32Dialogs dialogs_;
    Win32Platform platform_;
    ComObjectFactory factory_;
    RegistryCatalog catalog_;
    std::unique_ptr<solution::Solucao> core_;
};

}  // namespace vantrel::platform::win32
