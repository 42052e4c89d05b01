// The cost of the COM boundary, run under Wine (bench/com/run.sh BUILD_DIR):
//  1. one event call through IDispatch::Invoke (App_OnAntesSair, 100,000 calls), against the
//     same event called on the core directly;
//  2. the surcharge save (Vendas_OnGravar) of a document of 10, 100 and 1,000 lines through
//     COM (the add-in DLL calling the stand-in ERP in the stand-ins' DLL, both through
//     IDispatch), against the same save called in this process on the core with the
//     stand-ins as plain objects. The two kinds take turns and are compared by their medians.
// Both saves show their real result box. A CBT hook on this thread presses it as soon as it
// is activated, so the figure is the save's and not a watcher's polling latency.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "QuorilVantrel_h.h"
#include "automation/text.h"
#include "late_binding.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "registry.h"
#include "setup_object.h"
#include "solution/solucao.h"

using namespace vantrel;
using vantrel::platform::win32::ComPtr;
using vantrel::platform::win32::UniqueVariant;
using Clock = std::chrono::steady_clock;

namespace {

std::string narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

struct StandInCatalog final : interfaces::ComponentCatalog {
    automation::Text progIdOf(automation::TextView c) override {
        return u"QuorilVantrel.StandIns." + automation::Text(c);
    }
};

// Answers every message box of this thread as soon as its dialog has set its texts, before
// it is first shown, keeping its text. Wine's X11 driver takes about two seconds to map and
// unmap a window on a display without a window manager, which would otherwise hide the save
// behind it; both kinds meet the same hook.
struct BoxAnswerer {
    BoxAnswerer() {
        hook_ =
            SetWindowsHookExW(WH_CALLWNDPROCRET, &BoxAnswerer::proc, nullptr, GetCurrentThreadId());
    }
    ~BoxAnswerer() { UnhookWindowsHookEx(hook_); }
    static LRESULT CALLBACK proc(int code, WPARAM w, LPARAM l) {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(l);
        if (code == HC_ACTION && m->message == WM_INITDIALOG) {
            wchar_t cls[16] = {};
            GetClassNameW(m->hwnd, cls, 16);
            if (std::wstring(cls) == L"#32770") {
                wchar_t text[512] = {};
                GetDlgItemTextW(m->hwnd, 0xFFFF, text, 512);
                texts.emplace_back(text);
                EndDialog(m->hwnd, IDOK);
            }
        }
        return CallNextHookEx(nullptr, code, w, l);
    }
    static inline std::vector<std::wstring> texts;
    HHOOK hook_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain() {
    using namespace vantrel::wine;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BoxAnswerer answerer;
    const int calls = 100000, rounds = 7;
    // The DEMO company of the Wine suite's driver must exist (run.sh prepares it).
    ComPtr<IDispatch> api = create(L"QuorilVantrel.StandIns.NextApiConnection");
    ComPtr<IDispatch> setup = create(L"QuorilVantrel.StandIns.Setup");
    if (!api || !setup) {
        std::puts("the stand-ins' COM server is not registered");
        return 2;
    }
    Outcome file = call(setup.get(), L"SettingsFile", {vStr(L"DEMO")});
    std::wstring settings = textOf(*file.result.get());
    call(api.get(), L"SetProduct", {vStr(L"1GCO2022_40")});
    call(api.get(), L"Connect", {vStr(settings)});

    // 1. Event calls.
    ComPtr<IDispatch> sol = create(L"QuorilVantrel.Solucao");
    if (!sol) return 2;
    DISPID id = 0;
    LPOLESTR name[1] = {const_cast<LPOLESTR>(L"App_OnAntesSair")};
    sol->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &id);
    UniqueVariant bError;
    bError->vt = VT_BOOL;
    bError->boolVal = VARIANT_FALSE;
    VARIANT arg;
    arg.vt = VT_BYREF | VT_VARIANT;
    arg.pvarVal = bError.get();
    DISPPARAMS params{&arg, nullptr, 1, 0};
    auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        sol->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                    nullptr);
    auto t1 = Clock::now();
    platform::win32::Kernel32Profile profile;
    platform::win32::Win32Dialogs dialogs;
    platform::win32::Win32Platform platform;
    substitutes::StandInRegistry registry({&profile, &dialogs, &platform});
    StandInCatalog catalog;
    interfaces::Services services{&registry, &catalog, &dialogs, &profile, &platform};
    solution::Solucao native(services);
    automation::Variant nativeError(false);
    auto t2 = Clock::now();
    for (int i = 0; i < calls; ++i) native.App_OnAntesSair(nativeError);
    auto t3 = Clock::now();
    double comCall = seconds(t0, t1) / calls * 1e9, nativeCall = seconds(t2, t3) / calls * 1e9;
    std::printf("event App_OnAntesSair: COM %.0f ns/call, native %.1f ns/call\n", comCall,
                nativeCall);

    // 2. Saves: each document stored in its round, saved once.
    auto store = [&](int lines) -> long {
        ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
        ComPtr<IDispatch> cab = getObject(doc.get(), L"Cab");
        put(cab.get(), L"TipoDocumento", vStr(L"FT"));
        put(cab.get(), L"serie", vStr(L"0"));
        SYSTEMTIME st;
        GetLocalTime(&st);
        put(cab.get(), L"ano", vI2(static_cast<short>(st.wYear)));
        put(cab.get(), L"Entidade", vStr(L"C1"));
        for (int i = 0; i < lines; ++i) {
            const wchar_t* a = i % 2 ? L"B1" : L"A1";
            ComPtr<IDispatch> line = getObject(api.get(), L"NewDocumentLine");
            put(line.get(), L"TipoDeLinha", vI2(1));
            put(line.get(), L"Artigo", vStr(a));
            IDispatch* l = line.get();
            call(doc.get(), L"SugereValoresLin",
                 {vDispRef(&l), vBool(true), vBool(true), vBool(true), vBool(true), vBool(true),
                  vBool(true), vBool(true)});
            put(line.get(), L"Quantidade", vR8(1));
            call(doc.get(), L"AdicionaLinha", {vDispRef(&l)});
        }
        call(doc.get(), L"Inserir", {});
        return static_cast<long>(numberOf(*call(cab.get(), L"NossoNoDocumento", {}).result.get()));
    };
    auto load = [&](long n) {
        ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
        SYSTEMTIME st;
        GetLocalTime(&st);
        call(doc.get(), L"Ler",
             {vStr(L"FT"), vI4(n), vStr(L"0"), vI2(static_cast<short>(st.wYear))});
        return doc;
    };
    UniqueVariant e, u, h, b;
    e->vt = VT_BSTR;
    e->bstrVal = SysAllocString(L"DEMO");
    call(sol.get(), L"App_OnEntrar", {vRef(e.get()), vRef(u.get()), vRef(h.get()), vRef(b.get())});
    automation::Variant ne(u"DEMO"), nu(u"u"), nh(std::int32_t{0}), nb;
    native.App_OnEntrar(ne, nu, nh, nb);
    // The native save works on native stand-in objects: its own API connection.
    automation::ObjectRef nativeApi = registry.create(substitutes::progid::NextApiConnection);
    automation::Variant product(u"1GCO2022_40");
    nativeApi.call(u"SetProduct", automation::byRef(product));
    nativeApi.call(u"Connect",
                   automation::Text(reinterpret_cast<const char16_t*>(settings.c_str())));
    SYSTEMTIME st;
    GetLocalTime(&st);
    auto comSave = [&](long n) {
        ComPtr<IDispatch> doc = load(n);
        IDispatch* d = doc.get();
        auto s0 = Clock::now();
        call(sol.get(), L"Vendas_OnGravar", {vDispRef(&d)});
        return seconds(s0, Clock::now()) * 1e3;
    };
    auto nativeSave = [&](long n) {
        automation::ObjectRef doc = nativeApi.object(u"NewSalesDocument");
        doc.call(u"Ler", automation::Text(u"FT"), static_cast<std::int32_t>(n),
                 automation::Text(u"0"), static_cast<std::int16_t>(st.wYear));
        auto s0 = Clock::now();
        native.Vendas_OnGravar(doc);
        return seconds(s0, Clock::now()) * 1e3;
    };
    std::printf("%8s %16s %16s %8s\n", "lines", "COM (ms/save)", "native (ms/save)", "ratio");
    for (int lines : {10, 100, 1000}) {
        std::vector<double> com, nat;
        answerer.texts.clear();
        for (int round = 0; round < rounds; ++round) {
            const long forCom = store(lines), forNative = store(lines);
            if (round % 2 == 0) {
                com.push_back(comSave(forCom));
                nat.push_back(nativeSave(forNative));
            } else {
                nat.push_back(nativeSave(forNative));
                com.push_back(comSave(forCom));
            }
        }
        std::size_t rewritten = 0;
        for (const auto& text : answerer.texts)
            rewritten += text.rfind(L"Foi alterado e finalizado", 0) == 0;
        if (rewritten != 2u * rounds || answerer.texts.size() != 2u * rounds) {
            std::printf("at %d lines %zu of %zu saves rewrote their document, with %zu boxes:\n",
                        lines, rewritten, 2u * rounds, answerer.texts.size());
            for (const auto& text : answerer.texts) std::printf("  %s\n", narrow(text).c_str());
            return 1;
        }
        const double c = median(com), n = median(nat);
        std::printf("%8d %16.2f %16.2f %7.2fx\n", lines, c, n, c / n);
    }
    call(sol.get(), L"App_OnSair", {vRef(b.get())});
    sol.reset();
    api.reset();
    setup.reset();
    CoUninitialize();
    return 0;
}
