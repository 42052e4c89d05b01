// The cost of the COM boundary, run under Wine (bench/com/run.sh BUILD_DIR):
//  1. one event call through IDispatch::Invoke (App_OnAntesSair, 100,000 calls), against the
//     same event called on the core directly;
//  2. one full save (Vendas_OnGravar with the surcharge) through COM, against the same save
//     called natively in this process on the core with the stand-ins as plain objects.
// Both saves show their real result box, pressed by a watcher thread, so they differ only
// by the COM path (registration lookups, IDispatch bridges both ways).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "QuorilVantrel_h.h"
#include "automation/text.h"
#include "dialog_watcher.h"
#include "late_binding.h"
#include "platform/win32/win32_ports.h"
#include "registry.h"
#include "setup_object.h"
#include "solution/solucao.h"

using namespace vantrel;
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

}  // namespace

int wmain() {
    using namespace vantrel::wine;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DialogWatcher watcher;
    const int calls = 100000, saves = 20;
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
    double comCall = seconds(t0, t1) / calls * 1e6, nativeCall = seconds(t2, t3) / calls * 1e6;
    std::printf("event App_OnAntesSair: COM %.3f us/call, native %.3f us/call, ratio %.1f\n",
                comCall, nativeCall, comCall / nativeCall);

    // 2. Saves: documents stored first, each saved once.
    auto store = [&]() -> long {
        ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
        ComPtr<IDispatch> cab = getObject(doc.get(), L"Cab");
        put(cab.get(), L"TipoDocumento", vStr(L"FT"));
        put(cab.get(), L"serie", vStr(L"0"));
        SYSTEMTIME st;
        GetLocalTime(&st);
        put(cab.get(), L"ano", vI2(static_cast<short>(st.wYear)));
        put(cab.get(), L"Entidade", vStr(L"C1"));
        for (const wchar_t* a : {L"A1", L"B1"}) {
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
    std::vector<long> forCom, forNative;
    for (int i = 0; i < saves; ++i) forCom.push_back(store());
    for (int i = 0; i < saves; ++i) forNative.push_back(store());

    UniqueVariant e, u, h, b;
    e->vt = VT_BSTR;
    e->bstrVal = SysAllocString(L"DEMO");
    call(sol.get(), L"App_OnEntrar", {vRef(e.get()), vRef(u.get()), vRef(h.get()), vRef(b.get())});
    double comSave = 0;
    for (long n : forCom) {
        ComPtr<IDispatch> doc = load(n);
        IDispatch* d = doc.get();
        auto s0 = Clock::now();
        call(sol.get(), L"Vendas_OnGravar", {vDispRef(&d)});
        comSave += seconds(s0, Clock::now());
    }
    automation::Variant ne(u"DEMO"), nu(u"u"), nh(std::int32_t{0}), nb;
    native.App_OnEntrar(ne, nu, nh, nb);
    // The native save works on native stand-in objects: its own API connection.
    automation::ObjectRef nativeApi = registry.create(substitutes::progid::NextApiConnection);
    automation::Variant product(u"1GCO2022_40");
    nativeApi.call(u"SetProduct", automation::byRef(product));
    nativeApi.call(u"Connect",
                   automation::Text(reinterpret_cast<const char16_t*>(settings.c_str())));
    double nativeSave = 0;
    SYSTEMTIME st;
    GetLocalTime(&st);
    for (long n : forNative) {
        automation::ObjectRef doc = nativeApi.object(u"NewSalesDocument");
        doc.call(u"Ler", automation::Text(u"FT"), static_cast<std::int32_t>(n),
                 automation::Text(u"0"), static_cast<std::int16_t>(st.wYear));
        auto s0 = Clock::now();
        native.Vendas_OnGravar(doc);
        nativeSave += seconds(s0, Clock::now());
    }
    auto boxes = watcher.take(100);
    if (boxes.size() != static_cast<std::size_t>(2 * saves)) {
        std::printf("expected %d result boxes, saw %zu: the saves did not all run\n", 2 * saves,
                    boxes.size());
        for (const auto& box : boxes) std::printf("  %s\n", narrow(box.text).c_str());
        return 1;
    }
    std::printf(
        "save Vendas_OnGravar: COM %.2f ms/save, native %.2f ms/save, ratio %.2f (%zu result "
        "boxes)\n",
        comSave / saves * 1e3, nativeSave / saves * 1e3, comSave / nativeSave, boxes.size());
    call(sol.get(), L"App_OnSair", {vRef(b.get())});
    sol.reset();
    api.reset();
    setup.reset();
    CoUninitialize();
    return 0;
}
