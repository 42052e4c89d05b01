// A small Windows Script Host for VBScript files:  vantrel_wine_driver.exe --script FILE
// Wine's wscript refuses WScript.CreateObject with an event prefix (and ConnectObject), so
// the scripts that receive events run here. The host does what WSH does with the prefix: it
// reads the object's class info (IProvideClassInfo), takes the default source interface,
// advises a sink on that connection point, and turns each event into a call of the script's
// procedure PREFIX + event name, with the event's arguments. Offers WScript.Echo and
// WScript.CreateObject; a run-time error prints "script error: line N: text" and the exit
// code is 1.
#include <windows.h>

#include <activscp.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checks.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/com_object.h"
#include "script_host.h"

namespace vantrel::wine {

using platform::win32::ComObject;
using platform::win32::ComPtr;

namespace {

// Calls PREFIX + name in the script for each event of one connection point.
class EventSink final : public ComObject<EventSink, IDispatch> {
public:
    EventSink(IActiveScript* script, std::wstring prefix, ComPtr<ITypeInfo> events, IID iid)
        : script_(script), prefix_(std::move(prefix)), events_(std::move(events)), iid_(iid) {}
    void* queryOther(REFIID iid) { return iid == iid_ ? static_cast<IDispatch*>(this) : nullptr; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        BSTR name = nullptr;
        UINT got = 0;
        if (FAILED(events_->GetNames(id, &name, 1, &got)) || got == 0) return S_OK;
        std::wstring procedure = prefix_ + name;
        SysFreeString(name);
        ComPtr<IDispatch> global;
        if (FAILED(script_->GetScriptDispatch(nullptr, global.put()))) return S_OK;
        LPOLESTR names[] = {procedure.data()};
        DISPID target = DISPID_UNKNOWN;
        // A script without a handler for this event simply does not hear it.
        if (FAILED(global->GetIDsOfNames(IID_NULL, names, 1, lcid, &target))) return S_OK;
        return global->Invoke(target, IID_NULL, lcid, DISPATCH_METHOD, params, result, excep,
                              argErr);
    }

private:
    IActiveScript* script_;
    std::wstring prefix_;
    ComPtr<ITypeInfo> events_;
    IID iid_;
};

struct Connection {
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
};

class WScriptObject final : public ComObject<WScriptObject, IDispatch> {
public:
    enum : DISPID { kEcho = 1, kCreateObject = 2 };
    IActiveScript* script = nullptr;
    std::vector<Connection> connections;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        if (_wcsicmp(names[0], L"Echo") == 0)
            ids[0] = kEcho;
        else if (_wcsicmp(names[0], L"CreateObject") == 0)
            ids[0] = kCreateObject;
        else
            return DISP_E_UNKNOWNNAME;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (result) VariantInit(result);
        // Arguments come last-first.
        std::vector<VARIANT*> args;
        for (UINT i = params->cArgs; i-- > 0;) args.push_back(&params->rgvarg[i]);
        if (id == kEcho) {
            std::wstring line;
            for (VARIANT* a : args) {
                platform::win32::UniqueVariant text;
                if (FAILED(VariantChangeType(text.get(), a, VARIANT_ALPHABOOL, VT_BSTR)))
                    return DISP_E_TYPEMISMATCH;
                if (!line.empty()) line += L' ';
                line += text->bstrVal ? text->bstrVal : L"";
            }
            std::printf("%s\n", narrow(line).c_str());
            std::fflush(stdout);
            return S_OK;
        }
        if (id != kCreateObject) return DISP_E_MEMBERNOTFOUND;
        if (args.empty()) return DISP_E_BADPARAMCOUNT;
        platform::win32::UniqueVariant progId, prefix;
        if (FAILED(VariantChangeType(progId.get(), args[0], 0, VT_BSTR)))
            return DISP_E_TYPEMISMATCH;
        if (args.size() > 1 && FAILED(VariantChangeType(prefix.get(), args[1], 0, VT_BSTR)))
            return DISP_E_TYPEMISMATCH;
        CLSID clsid;
        HRESULT hr = CLSIDFromProgID(progId->bstrVal, &clsid);
        if (FAILED(hr)) return hr;
        ComPtr<IDispatch> object;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(object.put()));
        if (FAILED(hr)) return hr;
        if (args.size() > 1 && prefix->bstrVal && *prefix->bstrVal) {
            hr = connect(object.get(), prefix->bstrVal);
            if (FAILED(hr)) return hr;
        }
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = object.detach();
        }
        return S_OK;
    }

    void disconnect() {
        for (auto& c : connections) c.point->Unadvise(c.cookie);
        connections.clear();
    }

private:
    // The object's default source interface, from its class info, as WSH finds it.
    HRESULT connect(IDispatch* object, const std::wstring& prefix) {
        ComPtr<IProvideClassInfo> provider;
        HRESULT hr =
            object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(provider.put()));
        if (FAILED(hr)) return hr;
        ComPtr<ITypeInfo> coclass;
        if (FAILED(hr = provider->GetClassInfo(coclass.put()))) return hr;
        TYPEATTR* attr = nullptr;
        if (FAILED(hr = coclass->GetTypeAttr(&attr))) return hr;
        const UINT count = attr->cImplTypes;
        coclass->ReleaseTypeAttr(attr);
        for (UINT i = 0; i < count; ++i) {
            INT flags = 0;
            if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
                (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                    (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
                continue;
            HREFTYPE ref = 0;
            ComPtr<ITypeInfo> events;
            if (FAILED(hr = coclass->GetRefTypeOfImplType(i, &ref)) ||
                FAILED(hr = coclass->GetRefTypeInfo(ref, events.put())))
                return hr;
            TYPEATTR* eventsAttr = nullptr;
            if (FAILED(hr = events->GetTypeAttr(&eventsAttr))) return hr;
            const IID iid = eventsAttr->guid;
            events->ReleaseTypeAttr(eventsAttr);
            ComPtr<IConnectionPointContainer> container;
            if (FAILED(hr = object->QueryInterface(IID_IConnectionPointContainer,
                                                   reinterpret_cast<void**>(container.put()))))
                return hr;
            Connection c;
            if (FAILED(hr = container->FindConnectionPoint(iid, c.point.put()))) return hr;
            ComPtr<IDispatch> sink =
                ComPtr<IDispatch>::adopt(new EventSink(script, prefix, std::move(events), iid));
            if (FAILED(hr = c.point->Advise(sink.get(), &c.cookie))) return hr;
            connections.push_back(std::move(c));
            return S_OK;
        }
        return CONNECT_E_NOCONNECTION;
    }
};

class Site final : public ComObject<Site, IActiveScriptSite> {
public:
    explicit Site(IDispatch* wscript) : wscript_(wscript) {}
    bool failed = false;

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** unknown,
                                          ITypeInfo** info) override {
        if (info) *info = nullptr;
        if (unknown) *unknown = nullptr;
        if (_wcsicmp(name, L"WScript") != 0) return TYPE_E_ELEMENTNOTFOUND;
        if ((mask & SCRIPTINFO_IUNKNOWN) && unknown) {
            *unknown = wscript_;
            wscript_->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
        failed = true;
        EXCEPINFO info{};
        error->GetExceptionInfo(&info);
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        DWORD context = 0;
        ULONG line = 0;
        LONG column = 0;
        error->GetSourcePosition(&context, &line, &column);
        std::printf("script error: line %lu: %s (0x%08lX)\n", line + 1,
                    narrow(info.bstrDescription ? info.bstrDescription : L"").c_str(),
                    static_cast<unsigned long>(info.scode ? info.scode : info.wCode));
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

private:
    IDispatch* wscript_;
};

}  // namespace

int runScript(const wchar_t* file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::printf("script error: cannot read the file\n");
        return 2;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Script files are in the ANSI code page, as WSH reads them.
    std::wstring code(bytes.size(), L'\0');
    code.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), code.data(),
                            static_cast<int>(code.size()))));
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    int exitCode = 2;
    {
        auto wscript = ComPtr<WScriptObject>::adopt(new WScriptObject());
        auto site = ComPtr<Site>::adopt(new Site(wscript.get()));
        CLSID vbscript;
        ComPtr<IActiveScript> script;
        ComPtr<IActiveScriptParse> parse;
        if (SUCCEEDED(CLSIDFromProgID(L"VBScript", &vbscript)) &&
            SUCCEEDED(CoCreateInstance(vbscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                       reinterpret_cast<void**>(script.put()))) &&
            SUCCEEDED(script->QueryInterface(__uuidof(IActiveScriptParse),
                                             reinterpret_cast<void**>(parse.put())))) {
            wscript->script = script.get();
            script->SetScriptSite(site.get());
            parse->InitNew();
            script->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE);
            EXCEPINFO excep{};
            HRESULT hr = parse->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0,
                                                nullptr, &excep);
            if (SUCCEEDED(hr)) script->SetScriptState(SCRIPTSTATE_CONNECTED);
            wscript->disconnect();
            script->Close();
            exitCode = SUCCEEDED(hr) && !site->failed ? 0 : 1;
        } else {
            std::printf("script error: no VBScript engine\n");
        }
    }
    CoUninitialize();
    return exitCode;
}

}  // namespace vantrel::wine
