// The sinks advised on one connection point: Advise takes a sink that answers the event
// interface, or at least IDispatch; cookies count from 1. Raising an event goes over a
// snapshot, since a handler may unadvise while the event goes round.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <vector>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

class EventSinks {
public:
    explicit EventSinks(const IID& events) : events_(events) {}

    HRESULT advise(IUnknown* sink, DWORD* cookie) {
        if (!cookie) return E_POINTER;
        *cookie = 0;
        if (!sink) return E_POINTER;
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.put()))) &&
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = next_++;
        sinks_.emplace(*cookie, std::move(dispatch));
        return S_OK;
    }
    HRESULT unadvise(DWORD cookie) { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }
    bool empty() const { return sinks_.empty(); }
    void clear() { sinks_.clear(); }
    std::vector<ComPtr<IDispatch>> snapshot() const {
        std::vector<ComPtr<IDispatch>> out;
        for (const auto& [cookie, sink] : sinks_)
            out.push_back(ComPtr<IDispatch>::share(sink.get()));
        return out;
    }

private:
    IID events_;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    DWORD next_ = 1;
};

}  // namespace vantrel::platform::win32
