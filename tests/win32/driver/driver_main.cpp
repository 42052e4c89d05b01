// The Wine test driver: plays the ERP against QuorilVantrel.dll through real COM (late
// binding, as the ERP does), with the stand-ins' COM server as the maker's components and
// real message boxes that a watcher thread reads and answers.
//   vantrel_wine_driver.exe [suite...]      (suites: typelib registration events frames
//                                            entry toggle save badinput lifetime result)
// Needs: both DLLs registered, HKCU\Software\QuorilVantrel\Components mapped to the
// stand-ins, QUORILVANTREL_DATA naming a writable folder. Prints "N passed, M failed".
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "QuorilVantrel_h.h"
#include "checks.h"
#include "dialog_watcher.h"
#include "late_binding.h"

namespace vantrel::wine {

Tally& tally() {
    static Tally t;
    return t;
}

std::string narrow(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

namespace {

DialogWatcher* gWatcher = nullptr;

struct ExpectedParam {
    const wchar_t* name;
    bool object;
};
struct ExpectedMethod {
    const wchar_t* name;
    DISPID id;
    std::vector<ExpectedParam> params;
};

// The event contract of _Solucao, in interface order.
const std::vector<ExpectedMethod> kMethods = {
    {L"App_OnAntesEntrar",
     0x6003002F,
     {{L"sEmpresa", false}, {L"sUtilizador", false}, {L"HandleJanela", false}, {L"bError", false}}},
    {L"App_OnEntrar",
     0x60030030,
     {{L"sEmpresa", false}, {L"sUtilizador", false}, {L"HandleJanela", false}, {L"bError", false}}},
    {L"App_OnAntesSair", 0x60030031, {{L"bError", false}}},
    {L"App_OnSair", 0x60030032, {{L"bError", false}}},
    {L"App_OnOperacao", 0x60030033, {{L"Api", true}, {L"Operacao", false}}},
    {L"App_OnConnectionValidate",
     0x60030034,
     {{L"sEmpresa", false}, {L"sUtilizador", false}, {L"HandleJanela", false}, {L"bError", false}}},
    {L"Compras_OnAbrir", 0x60030035, {{L"objContexto", true}}},
    {L"Compras_OnAntesAbrir", 0x60030036, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Compras_OnAntesAnular", 0x60030037, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Compras_OnAntesFechar", 0x60030038, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Compras_OnAntesGravar", 0x60030039, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Compras_OnAnular", 0x6003003A, {{L"objContexto", true}}},
    {L"Compras_OnFechar", 0x6003003B, {{L"objContexto", true}}},
    {L"Compras_OnGravar", 0x6003003C, {{L"objContexto", true}}},
    {L"Compras_OnLer", 0x6003003D, {{L"objContexto", true}}},
    {L"Compras_OnLimpar", 0x6003003E, {{L"objContexto", true}}},
    {L"Compras_OnOperacao", 0x6003003F, {{L"objContexto", true}, {L"lngOperacao", false}}},
    {L"Compras_OnValidarLinha", 0x60030040, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Compras_OnCampoValidar",
     0x60030041,
     {{L"objContexto", true}, {L"objCampo", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnAbrir", 0x60030042, {{L"objContexto", true}}},
    {L"Vendas_OnAntesAbrir", 0x60030043, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnAntesAnular", 0x60030044, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnAntesFechar", 0x60030045, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnAntesGravar", 0x60030046, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnAnular", 0x60030047, {{L"objContexto", true}}},
    {L"Vendas_OnFechar", 0x60030048, {{L"objContexto", true}}},
    {L"Vendas_OnGravar", 0x60030049, {{L"oApi", true}}},
    {L"Vendas_OnLer", 0x6003004A, {{L"objContexto", true}}},
    {L"Vendas_OnLimpar", 0x6003004B, {{L"objContexto", true}}},
    {L"Vendas_OnOperacao", 0x6003004C, {{L"Api", true}, {L"lngOperacao", false}}},
    {L"Vendas_OnOperacaoEx",
     0x6003004D,
     {{L"Api", true}, {L"lngOperacao", false}, {L"Campos", false}}},
    {L"Vendas_OnValidarLinha", 0x6003004E, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Vendas_OnCampoValidar",
     0x6003004F,
     {{L"Api", true}, {L"CampoNome", false}, {L"CampoValor", false}, {L"blnCancelar", false}}},
    {L"Vendas_OnCampoValidarEx",
     0x60030050,
     {{L"Api", true},
      {L"CampoNome", false},
      {L"CampoValor", false},
      {L"Campos", false},
      {L"blnCancelar", false}}},
    {L"Stocks_OnAbrir", 0x60030051, {{L"objContexto", true}}},
    {L"Stocks_OnAntesAbrir", 0x60030052, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Stocks_OnAntesAnular", 0x60030053, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Stocks_OnAntesFechar", 0x60030054, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Stocks_OnAntesGravar", 0x60030055, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Stocks_OnAnular", 0x60030056, {{L"objContexto", true}}},
    {L"Stocks_OnFechar", 0x60030057, {{L"objContexto", true}}},
    {L"Stocks_OnGravar", 0x60030058, {{L"oApi", true}}},
    {L"Stocks_OnLer", 0x60030059, {{L"objContexto", true}}},
    {L"Stocks_OnLimpar", 0x6003005A, {{L"objContexto", true}}},
    {L"Stocks_OnOperacao", 0x6003005B, {{L"objContexto", true}, {L"lngOperacao", false}}},
    {L"Stocks_OnValidarLinha", 0x6003005C, {{L"objContexto", true}, {L"blnCancelar", false}}},
    {L"Stocks_OnCampoValidar",
     0x6003005D,
     {{L"objContexto", true}, {L"objCampo", true}, {L"blnCancelar", false}}},
    {L"pNextApiConnectDisconnect", 0x60030066, {}},
    {L"Esp_ConnectDisconnectApiNext", 0x60030074, {}},
};

// Methods that only install the error frame (or not even that) and return.
const std::vector<std::wstring> kNothing = {
    L"App_OnAntesEntrar",      L"App_OnAntesSair",
    L"Compras_OnAbrir",        L"Compras_OnAntesAbrir",
    L"Compras_OnAntesAnular",  L"Compras_OnAntesFechar",
    L"Compras_OnAntesGravar",  L"Compras_OnAnular",
    L"Compras_OnFechar",       L"Compras_OnGravar",
    L"Compras_OnLer",          L"Compras_OnLimpar",
    L"Compras_OnOperacao",     L"Compras_OnValidarLinha",
    L"Compras_OnCampoValidar", L"Vendas_OnAbrir",
    L"Vendas_OnAntesAbrir",    L"Vendas_OnAntesAnular",
    L"Vendas_OnAntesFechar",   L"Vendas_OnAntesGravar",
    L"Vendas_OnAnular",        L"Vendas_OnFechar",
    L"Vendas_OnLer",           L"Vendas_OnLimpar",
    L"Vendas_OnValidarLinha",  L"Vendas_OnCampoValidarEx",
    L"Stocks_OnAbrir",         L"Stocks_OnAntesAbrir",
    L"Stocks_OnAntesAnular",   L"Stocks_OnAntesFechar",
    L"Stocks_OnAntesGravar",   L"Stocks_OnAnular",
    L"Stocks_OnFechar",        L"Stocks_OnLer",
    L"Stocks_OnLimpar",        L"Stocks_OnOperacao",
    L"Stocks_OnValidarLinha",  L"Stocks_OnCampoValidar",
};

const ExpectedMethod& method(const std::wstring& name) {
    for (const auto& m : kMethods)
        if (name == m.name) return m;
    std::printf("no method %s\n", narrow(name).c_str());
    std::exit(3);
}

std::wstring guidText(const GUID& g) {
    wchar_t b[64] = {};
    StringFromGUID2(g, b, 64);
    return b;
}

std::wstring dataFolder() {
    wchar_t buffer[1024] = {};
    GetEnvironmentVariableW(L"QUORILVANTREL_DATA", buffer, 1024);
    std::wstring f = buffer;
    if (!f.empty() && f[0] == L'/') f = L"Z:" + f;
    for (auto& c : f)
        if (c == L'/') c = L'\\';
    return f;
}

long long standInsAlive() {
    HMODULE m = GetModuleHandleW(L"QuorilVantrelStandIns.dll");
    if (!m) return 0;
    using Fn = long long(WINAPI*)();
    auto fn =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, "StandInsLiveObjects")));
    return fn ? fn() : -1;
}

// One box expected: its title, text, icon and buttons.
void expectBox(const std::vector<SeenBox>& boxes, std::size_t index, const std::wstring& title,
               const std::wstring& text, Icon icon, std::vector<int> buttons,
               const std::string& what) {
    if (!check(boxes.size() > index, what + ": box " + std::to_string(index + 1) + " shown"))
        return;
    const SeenBox& b = boxes[index];
    checkEq(b.title, title, what + ": title");
    checkEq(b.text, text, what + ": text");
    check(b.icon == icon, what + ": icon " + std::to_string(static_cast<int>(b.icon)) + " want " +
                              std::to_string(static_cast<int>(icon)));
    check(b.buttons == buttons, what + ": buttons");
}

void expectNoBox(const std::string& what) {
    auto boxes = gWatcher->take(50);
    check(boxes.empty(),
          what + ": no message box" +
              (boxes.empty() ? std::string() : " (saw \"" + narrow(boxes[0].text) + "\")"));
}

int year() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wYear;
}

// ---- type library ------------------------------------------------------------------------

void suiteTypeLib() {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadRegTypeLib(LIBID_QuorilVantrel, 2, 0, 0x0409, lib.put());
    if (!check(SUCCEEDED(hr), "typelib: registered library loads " + hex(hr))) return;
    TLIBATTR* la = nullptr;
    lib->GetLibAttr(&la);
    check(la->guid == LIBID_QuorilVantrel, "typelib: LIBID");
    checkEqN(la->wMajorVerNum, 2, "typelib: major version");
    checkEqN(la->wMinorVerNum, 0, "typelib: minor version");
    checkEqN(la->lcid, 0x0409, "typelib: lcid");
    checkEqN(la->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, "typelib: syskind");
    lib->ReleaseTLibAttr(la);
    BSTR name = nullptr;
    lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
    checkEq(name ? name : L"", L"QuorilVantrel", "typelib: name");
    SysFreeString(name);

    // _Solucao: the dispatch view and its vtable interface.
    ComPtr<ITypeInfo> disp;
    if (!check(SUCCEEDED(lib->GetTypeInfoOfGuid(IID__Solucao, disp.put())), "typelib: _Solucao"))
        return;
    TYPEATTR* ta = nullptr;
    disp->GetTypeAttr(&ta);
    const WORD wantFlags = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE;
    check((ta->wTypeFlags & wantFlags) == wantFlags,
          "typelib: _Solucao dual hidden nonextensible, flags " + hex(ta->wTypeFlags));
    check(ta->typekind == TKIND_DISPATCH, "typelib: _Solucao is a dispatch interface");
    disp->ReleaseTypeAttr(ta);
    HREFTYPE vtRef = 0;
    ComPtr<ITypeInfo> vt;
    check(SUCCEEDED(disp->GetRefTypeOfImplType(-1, &vtRef)) &&
              SUCCEEDED(disp->GetRefTypeInfo(vtRef, vt.put())),
          "typelib: _Solucao vtable view");
    if (!vt) return;
    vt->GetTypeAttr(&ta);
    checkEqN(ta->cFuncs, 49, "typelib: _Solucao method count");
    check(ta->typekind == TKIND_INTERFACE &&
              (ta->wTypeFlags & (wantFlags | TYPEFLAG_FOLEAUTOMATION)) ==
                  (wantFlags | TYPEFLAG_FOLEAUTOMATION),
          "typelib: _Solucao vtable view oleautomation, flags " + hex(ta->wTypeFlags));
    {
        HREFTYPE base = 0;
        ComPtr<ITypeInfo> parent;
        TYPEATTR* pa = nullptr;
        bool isDispatch = SUCCEEDED(vt->GetRefTypeOfImplType(0, &base)) &&
                          SUCCEEDED(vt->GetRefTypeInfo(base, parent.put())) &&
                          SUCCEEDED(parent->GetTypeAttr(&pa)) && pa->guid == IID_IDispatch;
        if (pa) parent->ReleaseTypeAttr(pa);
        check(isDispatch, "typelib: _Solucao derives from IDispatch");
    }
    WORD funcs = ta->cFuncs;
    vt->ReleaseTypeAttr(ta);
    for (WORD i = 0; i < funcs && i < kMethods.size(); ++i) {
        const ExpectedMethod& want = kMethods[i];
        std::string where = "typelib: _Solucao[" + std::to_string(i) + "] " + narrow(want.name);
        FUNCDESC* fd = nullptr;
        if (!check(SUCCEEDED(vt->GetFuncDesc(i, &fd)), where)) continue;
        checkEqN(fd->memid, want.id, where + " DISPID");
        checkEqN(fd->oVft, (7 + i) * static_cast<int>(sizeof(void*)), where + " vtable offset");
        checkEqN(fd->invkind, INVOKE_FUNC, where + " is a method");
        checkEqN(fd->cParams, want.params.size(), where + " parameter count");
        BSTR names[8] = {};
        UINT got = 0;
        vt->GetNames(fd->memid, names, 8, &got);
        checkEq(names[0] ? names[0] : L"", want.name, where + " name");
        for (SHORT p = 0; p < fd->cParams && static_cast<std::size_t>(p) < want.params.size();
             ++p) {
            std::string pw = where + " parameter " + std::to_string(p + 1);
            checkEq(static_cast<UINT>(p + 1) < got && names[p + 1] ? names[p + 1] : L"",
                    want.params[p].name, pw + " name");
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            check((e.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT)) ==
                      (PARAMFLAG_FIN | PARAMFLAG_FOUT),
                  pw + " is [in, out]");
            bool byRef = e.tdesc.vt == VT_PTR && e.tdesc.lptdesc;
            check(byRef, pw + " by reference");
            if (byRef) {
                const TYPEDESC& inner = *e.tdesc.lptdesc;
                bool isObject = inner.vt == VT_DISPATCH || (inner.vt == VT_PTR && inner.lptdesc &&
                                                            inner.lptdesc->vt == VT_USERDEFINED);
                if (want.params[p].object)
                    check(isObject, pw + " is IDispatch**");
                else
                    check(inner.vt == VT_VARIANT, pw + " is VARIANT*");
            }
        }
        for (UINT k = 0; k < got; ++k) SysFreeString(names[k]);
        vt->ReleaseFuncDesc(fd);
    }

    // _Result and EnumResult.
    ComPtr<ITypeInfo> rdisp, rvt;
    if (!check(SUCCEEDED(lib->GetTypeInfoOfGuid(IID__Result, rdisp.put())), "typelib: _Result"))
        return;
    rdisp->GetTypeAttr(&ta);
    const WORD rFlags = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE;
    check((ta->wTypeFlags & rFlags) == rFlags, "typelib: _Result dual hidden nonextensible");
    rdisp->ReleaseTypeAttr(ta);
    if (SUCCEEDED(rdisp->GetRefTypeOfImplType(-1, &vtRef))) rdisp->GetRefTypeInfo(vtRef, rvt.put());
    if (check(static_cast<bool>(rvt), "typelib: _Result vtable view")) {
        struct R {
            const wchar_t* name;
            DISPID id;
            INVOKEKIND kind;
            VARTYPE inner;
        };
        const R want[] = {{L"Mensagem", 0x68030002, INVOKE_PROPERTYPUT, VT_BSTR},
                          {L"Mensagem", 0x68030002, INVOKE_PROPERTYGET, VT_BSTR},
                          {L"tipo", 0x68030001, INVOKE_PROPERTYPUT, VT_USERDEFINED},
                          {L"tipo", 0x68030001, INVOKE_PROPERTYGET, VT_USERDEFINED},
                          {L"ErroNum", 0x68030000, INVOKE_PROPERTYPUT, VT_I4},
                          {L"ErroNum", 0x68030000, INVOKE_PROPERTYGET, VT_I4}};
        rvt->GetTypeAttr(&ta);
        checkEqN(ta->cFuncs, 6, "typelib: _Result member count");
        rvt->ReleaseTypeAttr(ta);
        for (WORD i = 0; i < 6; ++i) {
            std::string where = "typelib: _Result[" + std::to_string(i) + "]";
            FUNCDESC* fd = nullptr;
            if (!check(SUCCEEDED(rvt->GetFuncDesc(i, &fd)), where)) continue;
            checkEqN(fd->memid, want[i].id, where + " DISPID");
            checkEqN(fd->invkind, want[i].kind, where + " property kind");
            checkEqN(fd->oVft, (7 + i) * static_cast<int>(sizeof(void*)), where + " vtable offset");
            BSTR n = nullptr;
            UINT got = 0;
            rvt->GetNames(fd->memid, &n, 1, &got);
            checkEq(n ? n : L"", want[i].name, where + " name");
            SysFreeString(n);
            bool byRef = fd->cParams == 1 && fd->lprgelemdescParam[0].tdesc.vt == VT_PTR;
            check(byRef && fd->lprgelemdescParam[0].tdesc.lptdesc->vt == want[i].inner,
                  where + " value by reference");
            rvt->ReleaseFuncDesc(fd);
        }
    }
    const GUID enumGuid = {
        0x056ba8cb, 0x308c, 0x4b1c, {0xa2, 0xa7, 0xcb, 0x01, 0x06, 0xe0, 0x1d, 0x48}};
    ComPtr<ITypeInfo> en;
    if (check(SUCCEEDED(lib->GetTypeInfoOfGuid(enumGuid, en.put())), "typelib: EnumResult GUID")) {
        en->GetTypeAttr(&ta);
        check(ta->typekind == TKIND_ENUM, "typelib: EnumResult is an enumeration");
        checkEqN(ta->cVars, 3, "typelib: EnumResult values");
        WORD vars = ta->cVars;
        en->ReleaseTypeAttr(ta);
        const std::pair<const wchar_t*, long> values[] = {
            {L"Sucesso", 0}, {L"Erro", 1}, {L"Aviso", 2}};
        for (WORD i = 0; i < vars && i < 3; ++i) {
            VARDESC* vd = nullptr;
            en->GetVarDesc(i, &vd);
            BSTR n = nullptr;
            UINT got = 0;
            en->GetNames(vd->memid, &n, 1, &got);
            checkEq(n ? n : L"", values[i].first, "typelib: EnumResult name " + std::to_string(i));
            checkEqN(numberOf(*vd->lpvarValue), values[i].second,
                     "typelib: EnumResult value " + std::to_string(i));
            SysFreeString(n);
            en->ReleaseVarDesc(vd);
        }
    }
    for (auto [clsid, iid, label] : {std::tuple{CLSID_Solucao, IID__Solucao, "Solucao"},
                                     std::tuple{CLSID_Result, IID__Result, "Result"}}) {
        ComPtr<ITypeInfo> co;
        if (!check(SUCCEEDED(lib->GetTypeInfoOfGuid(clsid, co.put())),
                   std::string("typelib: coclass ") + label))
            continue;
        co->GetTypeAttr(&ta);
        check(ta->typekind == TKIND_COCLASS && (ta->wTypeFlags & TYPEFLAG_FCANCREATE),
              std::string("typelib: ") + label + " creatable");
        co->ReleaseTypeAttr(ta);
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> def;
        co->GetRefTypeOfImplType(0, &ref);
        co->GetRefTypeInfo(ref, def.put());
        TYPEATTR* da = nullptr;
        if (def && SUCCEEDED(def->GetTypeAttr(&da))) {
            check(da->guid == iid, std::string("typelib: ") + label + " default interface");
            def->ReleaseTypeAttr(da);
        }
    }
}

// ---- registration ------------------------------------------------------------------------

bool keyExists(const std::wstring& path) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

std::wstring keyValue(const std::wstring& path, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

std::vector<std::wstring> registrationKeys() {
    return {L"CLSID\\" + guidText(CLSID_Solucao),
            L"CLSID\\" + guidText(CLSID_Result),
            L"QuorilVantrel.Solucao",
            L"QuorilVantrel.Solucao.1",
            L"QuorilVantrel.Result",
            L"QuorilVantrel.Result.1",
            L"TypeLib\\" + guidText(LIBID_QuorilVantrel),
            L"Interface\\" + guidText(IID__Solucao),
            L"Interface\\" + guidText(IID__Result)};
}

void checkRegistered(const std::string& when) {
    for (const auto& k : registrationKeys()) check(keyExists(k), when + ": key " + narrow(k));
    std::wstring solucao = L"CLSID\\" + guidText(CLSID_Solucao);
    std::wstring server = keyValue(solucao + L"\\InprocServer32", nullptr);
    check(server.size() > 17 &&
              _wcsicmp(server.c_str() + server.size() - 17, L"QuorilVantrel.dll") == 0,
          when + ": InprocServer32 is QuorilVantrel.dll (" + narrow(server) + ")");
    checkEq(keyValue(solucao + L"\\InprocServer32", L"ThreadingModel"), L"Apartment",
            when + ": ThreadingModel");
    checkEq(keyValue(L"QuorilVantrel.Solucao\\CLSID", nullptr), guidText(CLSID_Solucao),
            when + ": ProgID CLSID");
    checkEq(keyValue(L"QuorilVantrel.Result\\CLSID", nullptr), guidText(CLSID_Result),
            when + ": Result ProgID");
}

void suiteRegistration() {
    checkRegistered("registration");
    // Unregister and register again in this process, as regsvr32 does.
    HMODULE dll = LoadLibraryW(L"QuorilVantrel.dll");
    std::wstring path =
        keyValue(L"CLSID\\" + guidText(CLSID_Solucao) + L"\\InprocServer32", nullptr);
    if (!dll) dll = LoadLibraryW(path.c_str());
    if (!check(dll != nullptr, "registration: DLL loads")) return;
    using Fn = HRESULT(WINAPI*)();
    auto unreg =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    auto reg =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    check(unreg && reg,
          "registration: exports undecorated DllRegisterServer and DllUnregisterServer");
    check(GetProcAddress(dll, "DllGetClassObject") && GetProcAddress(dll, "DllCanUnloadNow"),
          "registration: exports DllGetClassObject and DllCanUnloadNow");
    if (unreg && reg) {
        check(SUCCEEDED(unreg()), "registration: DllUnregisterServer succeeds");
        for (const auto& k : registrationKeys())
            check(!keyExists(k), "unregistration removes " + narrow(k));
        HRESULT hr;
        create(L"QuorilVantrel.Solucao", &hr);
        check(FAILED(hr), "unregistration: QuorilVantrel.Solucao no longer creatable");
        check(SUCCEEDED(unreg()), "registration: unregistering twice is harmless");
        check(SUCCEEDED(reg()), "registration: DllRegisterServer succeeds");
        checkRegistered("registered again");
    }
    FreeLibrary(dll);
}

// ---- helpers for the events --------------------------------------------------------------

// A variable of the ERP, passed by reference.
struct Cell {
    UniqueVariant v;
    explicit Cell(VARIANT init = vEmpty()) { *v.get() = init; }
    Cell(Cell&& o) noexcept { o.v.detachTo(v.get()); }
    VARIANT* p() { return v.get(); }
    VARIANT ref() { return vRef(v.get()); }
    bool isBool(bool b) {
        return v->vt == VT_BOOL && v->boolVal == (b ? VARIANT_TRUE : VARIANT_FALSE);
    }
};

const std::wstring kMismatch = L"Erro Type mismatch";

void setting(IDispatch* setup, const std::wstring& company, const std::wstring& section,
             const std::wstring& key, const std::wstring& value) {
    Outcome o =
        call(setup, L"WriteSetting", {vStr(company), vStr(section), vStr(key), vStr(value)});
    check(SUCCEEDED(o.hr),
          "setup: " + narrow(company) + " " + narrow(key) + " " + narrow(o.description));
}

void companySettings(IDispatch* setup, const std::wstring& company, const std::wstring& apiCompany,
                     const std::wstring& catalog, const std::wstring& password,
                     const std::wstring& ask) {
    setting(setup, company, L"Api Next", L"Login", L"demo");
    setting(setup, company, L"Api Next", L"password", password);
    setting(setup, company, L"Api Next", L"Empresa", apiCompany);
    setting(setup, company, L"Api Next", L"perclog", L"C:\\Logs");
    setting(setup, company, L"Ligação", L"Servidor", L"(local)");
    setting(setup, company, L"Ligação", L"Empresa", catalog);
    setting(setup, company, L"Documentos com taxa", L"Documentos", L"FT,0;FR,0");
    setting(setup, company, L"Documentos com taxa", L"Taxa", L"1,5");
    setting(setup, company, L"Documentos com taxa", L"Pergunta", ask);
    setting(setup, company, L"Documentos com taxa", L"Artigo", L"TXE");
}

// The demo company and its variations: DEMO enters, ASK asks before the surcharge, OUTRA is
// refused by the company check, SEMBD names no database file, LOGIN has a wrong password.
void prepareCompanies() {
    ComPtr<IDispatch> setup = create(L"QuorilVantrel.StandIns.Setup");
    if (!check(static_cast<bool>(setup), "setup: stand-ins' Setup object")) std::exit(2);
    check(SUCCEEDED(call(setup.get(), L"CreateCompany", {vStr(L"VANTREL_DEMO")}).hr),
          "setup: company database");
    call(setup.get(), L"AddErpUser", {vStr(L"VANTREL_DEMO"), vStr(L"demo"), vStr(L"segredo")});
    call(setup.get(), L"AddArticle",
         {vStr(L"VANTREL_DEMO"), vStr(L"A1"), vStr(L"Artigo um"), vR8(100), vR8(23)});
    call(setup.get(), L"AddArticle",
         {vStr(L"VANTREL_DEMO"), vStr(L"B1"), vStr(L"Artigo dois"), vR8(50), vR8(13)});
    call(setup.get(), L"AddArticle",
         {vStr(L"VANTREL_DEMO"), vStr(L"TXE"), vStr(L"Taxa Energética"), vR8(0), vR8(23)});
    companySettings(setup.get(), L"DEMO", L"DEMO", L"VANTREL_DEMO", L"segredo", L"N");
    companySettings(setup.get(), L"ASK", L"ASK", L"VANTREL_DEMO", L"segredo", L"Sim");
    companySettings(setup.get(), L"OUTRA", L"XPTO", L"VANTREL_DEMO", L"segredo", L"N");
    companySettings(setup.get(), L"SEMBD", L"SEMBD", L"NAOEXISTE", L"segredo", L"N");
    companySettings(setup.get(), L"LOGIN", L"LOGIN", L"VANTREL_DEMO", L"errada", L"N");
}

ComPtr<IDispatch> newSolucao() {
    HRESULT hr;
    ComPtr<IDispatch> s = create(L"QuorilVantrel.Solucao", &hr);
    check(SUCCEEDED(hr) && s, "QuorilVantrel.Solucao created " + hex(hr));
    return s;
}

// App_OnEntrar by reference; returns the bError written back.
Cell enter(IDispatch* s, const std::wstring& company, long handle = 0) {
    Cell e(vStr(company)), u(vStr(L"utilizador")), h(vI4(handle)), b(vStr(L"sentinel"));
    Outcome o = call(s, L"App_OnEntrar", {e.ref(), u.ref(), h.ref(), b.ref()});
    check(o.hr == S_OK, "App_OnEntrar " + narrow(company) + " returns S_OK " + hex(o.hr));
    Cell out;
    VariantCopy(out.p(), b.p());
    return out;
}

Cell leave(IDispatch* s) {
    Cell b(vStr(L"sentinel"));
    Outcome o = call(s, L"App_OnSair", {b.ref()});
    check(o.hr == S_OK, "App_OnSair returns S_OK");
    Cell out;
    VariantCopy(out.p(), b.p());
    return out;
}

// ---- the events that do nothing ----------------------------------------------------------

void suiteEvents() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    ComPtr<IDispatch> context = create(L"QuorilVantrel.Result");
    for (const auto& m : kMethods) {
        DISPID id = 0;
        LPOLESTR names[1] = {const_cast<LPOLESTR>(m.name)};
        HRESULT hr = s->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        check(hr == S_OK && id == m.id, "GetIDsOfNames " + narrow(m.name) + " gives " + hex(id));
    }
    for (const auto& name : kNothing) {
        const ExpectedMethod& m = method(name);
        std::vector<std::unique_ptr<Cell>> cells;
        std::vector<IDispatch*> objects(m.params.size(), nullptr);
        std::vector<VARIANT> args;
        for (std::size_t i = 0; i < m.params.size(); ++i) {
            if (m.params[i].object) {
                objects[i] = context.get();
                args.push_back(vDispRef(&objects[i]));
            } else {
                // A Boolean True (bError, blnCancelar) and texts elsewhere, all by reference.
                bool flag = m.params[i].name[0] == L'b';
                cells.push_back(std::make_unique<Cell>(flag ? vBool(true) : vStr(L"valor")));
                args.push_back(cells.back()->ref());
            }
        }
        Outcome o = call(s.get(), m.name, args);
        std::string w = narrow(name);
        check(o.hr == S_OK, w + " returns S_OK " + hex(o.hr));
        std::size_t c = 0;
        for (std::size_t i = 0; i < m.params.size(); ++i) {
            if (m.params[i].object) {
                check(objects[i] == context.get(), w + ": object argument left as passed");
                continue;
            }
            Cell& cell = *cells[c++];
            bool flag = m.params[i].name[0] == L'b';
            if (flag)
                check(cell.isBool(true), w + ": " + narrow(m.params[i].name) + " left True");
            else
                check(cell.v->vt == VT_BSTR && textOf(*cell.p()) == L"valor",
                      w + ": text argument left as passed");
        }
    }
    expectNoBox("the Nothing events");
    // The two toggles have no frame: without a company they ask first; "No" changes nothing.
    gWatcher->answer({IDNO});
    Outcome t = call(s.get(), L"pNextApiConnectDisconnect", {});
    check(t.hr == S_OK, "pNextApiConnectDisconnect answered No returns S_OK");
    auto boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API SageNext encontra-se desligada. Pretende ligar?", Icon::Question,
              {IDYES, IDNO}, "pNextApiConnectDisconnect");
    check(boxes.size() == 1, "pNextApiConnectDisconnect: nothing after No");
}

// ---- error frames ------------------------------------------------------------------------

void suiteFrames() {
    ComPtr<IDispatch> s = newSolucao();
    ComPtr<IDispatch> some = create(L"QuorilVantrel.Result");
    if (!s) return;
    IDispatch* nothing = nullptr;
    Cell op(vStr(L"abc"));
    Outcome o = call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
    check(o.hr == S_OK, "App_OnOperacao with a text returns S_OK");
    auto boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"App_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "App_OnOperacao \"abc\"");
    check(textOf(*op.p()) == L"abc", "App_OnOperacao leaves Operacao as passed");

    Cell other(vI4(2011));
    call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), other.ref()});
    expectNoBox("App_OnOperacao 2011");

    IDispatch* api = some.get();
    Cell lng(vStr(L"x")), campos;
    o = call(s.get(), L"Vendas_OnOperacaoEx", {vDispRef(&api), lng.ref(), campos.ref()});
    boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Vendas_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnOperacaoEx");
    o = call(s.get(), L"Vendas_OnOperacao", {vDispRef(&api), lng.ref()});
    boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Vendas_OnOperacao", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnOperacao");

    Cell campo(vStr(L"artigo")), valor(vI4(1)), cancel(vBool(true));
    call(s.get(), L"Vendas_OnCampoValidar",
         {vDispRef(&api), campo.ref(), valor.ref(), cancel.ref()});
    expectNoBox("Vendas_OnCampoValidar artigo");
    check(cancel.isBool(true), "Vendas_OnCampoValidar leaves blnCancelar True");
    Cell array(vArray({1, 2}));
    call(s.get(), L"Vendas_OnCampoValidar",
         {vDispRef(&api), array.ref(), valor.ref(), cancel.ref()});
    boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Vendas_OnCampoValidar", kMismatch, Icon::Exclamation, {IDOK},
              "Vendas_OnCampoValidar with an array");

    call(s.get(), L"Stocks_OnGravar", {vDispRef(&nothing)});
    call(s.get(), L"Vendas_OnOperacao", {vDispRef(&nothing), lng.ref()});
    expectNoBox("handlers with an empty object");
}

// ---- entering and leaving ----------------------------------------------------------------

void suiteEntry() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    Cell b = enter(s.get(), L"DEMO");
    check(b.isBool(false), "App_OnEntrar DEMO writes bError False as VT_BOOL");
    expectNoBox("App_OnEntrar DEMO");
    check(leave(s.get()).isBool(false), "App_OnSair writes bError False");
    check(leave(s.get()).isBool(false), "App_OnSair twice writes bError False again");
    expectNoBox("App_OnSair");

    check(enter(s.get(), L"OUTRA").isBool(true), "refused company: bError True");
    expectNoBox("refused company");
    check(enter(s.get(), L"SEMBD").isBool(true), "database not opened: bError True");
    expectNoBox("database not opened");
    check(enter(s.get(), L"LOGIN").isBool(true), "login refused: bError True");
    auto boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Ligação ao Servidor/Sage Next",
              L"Erro. Não foi possivel ligar ao Sage Next", Icon::Exclamation, {IDOK},
              "login refused");
    check(boxes.size() == 1, "login refused: one box");

    // A live host window owns the boxes.
    HWND host = CreateWindowExW(0, L"STATIC", L"ERP", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    check(enter(s.get(), L"LOGIN", static_cast<long>(reinterpret_cast<INT_PTR>(host))).isBool(true),
          "login refused with a host window");
    boxes = gWatcher->take(50);
    check(boxes.size() == 1, "login refused with a host window: box shown");
    DestroyWindow(host);
    // A handle that names no window must not keep the box from showing.
    check(enter(s.get(), L"LOGIN", 0x7777).isBool(true), "login refused with a dead window handle");
    boxes = gWatcher->take(50);
    check(boxes.size() == 1, "dead window handle: box still shown");

    // App_OnConnectionValidate adopts the company and writes bError False.
    Cell e(vStr(L"OUTRA")), u(vStr(L"outro")), h(vI4(0)), v(vBool(true));
    call(s.get(), L"App_OnConnectionValidate", {e.ref(), u.ref(), h.ref(), v.ref()});
    check(v.isBool(false), "App_OnConnectionValidate writes bError False");
    expectNoBox("App_OnConnectionValidate");
}

// ---- operation 2010 ----------------------------------------------------------------------

void suiteToggle() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s || !enter(s.get(), L"DEMO").isBool(false)) return;
    IDispatch* nothing = nullptr;
    auto op2010 = [&] {
        Cell op(vI4(2010));
        Outcome o = call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
        check(o.hr == S_OK, "App_OnOperacao 2010 returns S_OK");
        return gWatcher->take(50);
    };
    gWatcher->answer({IDNO});
    auto boxes = op2010();
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API Sage100C encontra-se ligada. Pretende desligar?", Icon::Question,
              {IDYES, IDNO}, "2010 answered No");
    check(boxes.size() == 1, "2010 answered No: nothing more");
    gWatcher->answer({IDYES, IDOK});
    boxes = op2010();
    expectBox(boxes, 1, L"Ligação Sage100C API", L"A API Sage100C encontra-se agora, desligada.",
              Icon::Information, {IDOK}, "2010 answered Yes (off)");
    gWatcher->answer({IDYES, IDOK});
    boxes = op2010();
    expectBox(boxes, 0, L"Ligação SageNext API",
              L"A API Sage100C encontra-se desligada. Pretende ligar?", Icon::Question,
              {IDYES, IDNO}, "2010 asks to switch on");
    expectBox(boxes, 1, L"Ligação Sage100C API", L"A API Sage100C encontra-se agora, ligada.",
              Icon::Information, {IDOK}, "2010 answered Yes (on)");
    check(leave(s.get()).isBool(false), "App_OnSair after the toggles");
    expectNoBox("App_OnSair after the toggles");
}

// ---- one save ----------------------------------------------------------------------------

struct Erp {
    ComPtr<IDispatch> api;
    bool connect(const std::wstring& company) {
        api = create(L"QuorilVantrel.StandIns.NextApiConnection");
        if (!api) return false;
        Cell product(vStr(L"1GCO2022_40"));
        call(api.get(), L"SetProduct", {product.ref()});
        std::wstring file = dataFolder() + L"\\talmek\\VANTREL." + company;
        Outcome o = call(api.get(), L"Connect", {vStr(file)});
        return SUCCEEDED(o.hr) && o.result->vt == VT_BOOL && o.result->boolVal;
    }
    // Stores a document through the ERP's own members; returns its number.
    long store(const std::wstring& type, const std::wstring& series,
               const std::vector<std::pair<std::wstring, double>>& lines) {
        ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
        ComPtr<IDispatch> cab = getObject(doc.get(), L"Cab");
        if (!cab) return -1;
        put(cab.get(), L"TipoDocumento", vStr(type));
        put(cab.get(), L"serie", vStr(series));
        put(cab.get(), L"ano", vI2(static_cast<short>(year())));
        put(cab.get(), L"Entidade", vStr(L"C1"));
        for (const auto& [article, quantity] : lines) {
            ComPtr<IDispatch> line = getObject(api.get(), L"NewDocumentLine");
            put(line.get(), L"TipoDeLinha", vI2(1));
            put(line.get(), L"Artigo", vStr(article));
            IDispatch* l = line.get();
            call(doc.get(), L"SugereValoresLin",
                 {vDispRef(&l), vBool(true), vBool(true), vBool(true), vBool(true), vBool(true),
                  vBool(true), vBool(true)});
            put(line.get(), L"Quantidade", vR8(quantity));
            call(doc.get(), L"AdicionaLinha", {vDispRef(&l)});
        }
        Outcome ins = call(doc.get(), L"Inserir", {});
        if (numberOf(*ins.result.get()) != 0) {
            Outcome log = call(doc.get(), L"AllLogFileMessages", {});
            std::printf("Inserir: %s\n", narrow(textOf(*log.result.get())).c_str());
            return -1;
        }
        return static_cast<long>(numberOf(*call(cab.get(), L"NossoNoDocumento", {}).result.get()));
    }
    ComPtr<IDispatch> load(const std::wstring& type, long number, const std::wstring& series) {
        ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
        Cell t(vStr(type)), n(vI4(number)), se(vStr(series)), y(vI2(static_cast<short>(year())));
        call(doc.get(), L"Ler", {t.ref(), n.ref(), se.ref(), y.ref()});
        return doc;
    }
};

void suiteSave() {
    Erp erp;
    if (!check(erp.connect(L"DEMO"), "the ERP stand-in logs into DEMO")) return;
    long number = erp.store(L"FT", L"0", {{L"A1", 1}, {L"B1", 1}});
    if (!check(number > 0, "a document stored through the ERP's members")) return;
    ComPtr<IDispatch> s = newSolucao();
    if (!s || !check(enter(s.get(), L"DEMO").isBool(false), "save: DEMO entered")) return;
    {
        ComPtr<IDispatch> saved = erp.load(L"FT", number, L"0");
        IDispatch* oApi = saved.get();
        Outcome o = call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
        check(o.hr == S_OK, "Vendas_OnGravar returns S_OK");
        check(oApi == saved.get(), "Vendas_OnGravar leaves oApi as passed");
    }
    auto boxes = gWatcher->take(50);
    const std::wstring prefix = L"Foi alterado e finalizado o documento FT-0-";
    long rewritten = 0;
    if (check(boxes.size() == 1, "save: one box")) {
        checkEq(boxes[0].title, L"Taxa Energética", "save: title");
        check(boxes[0].icon == Icon::Information, "save: information icon");
        check(boxes[0].text.rfind(prefix, 0) == 0, "save: \"" + narrow(boxes[0].text) + "\"");
        rewritten = std::wcstol(boxes[0].text.c_str() + prefix.size(), nullptr, 10);
        check(boxes[0].text == prefix + std::to_wstring(rewritten) + L"-" + std::to_wstring(year()),
              "save: the message names type, series, number and year");
    }
    ComPtr<IDispatch> after = erp.load(L"FT", rewritten, L"0");
    ComPtr<IDispatch> lines = getObject(after.get(), L"Linhas");
    checkEqN(numberOf(*call(lines.get(), L"Count", {}).result.get()), 3,
             "save: three lines after the rewrite");
    ComPtr<IDispatch> last = getObject(after.get(), L"Linhas", {vI2(3)});
    checkEq(textOf(*call(last.get(), L"Artigo", {}).result.get()), L"TXE",
            "save: surcharge article last");
    check(std::abs(numberOf(*call(last.get(), L"PrecoUnitario", {}).result.get()) - 2.25) < 1e-9,
          "save: unit price 2.25 (1,5% of 100 + 50)");
    checkEqN(numberOf(*call(last.get(), L"Quantidade", {}).result.get()), 1, "save: quantity 1");
    ComPtr<IDispatch> gone = erp.load(L"FT", number, L"0");
    checkEqN(
        numberOf(*call(getObject(gone.get(), L"Cab").get(), L"NossoNoDocumento", {}).result.get()),
        0, "save: the stored document was replaced");

    // Saving the rewritten document again is refused.
    {
        IDispatch* oApi = after.get();
        call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Taxa Energética",
              L"Documento já inclui linha de Taxa Energética.\r\nDocumento não foi alterado!",
              Icon::Exclamation, {IDOK}, "second save");
    // A series that does not read as 0 leaves the hook at once.
    long other = erp.store(L"FT", L"A", {{L"A1", 2}});
    {
        ComPtr<IDispatch> doc = erp.load(L"FT", other, L"A");
        IDispatch* oApi = doc.get();
        call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    expectNoBox("series A");
    leave(s.get());

    // Pergunta "Sim" asks first; No changes nothing.
    ComPtr<IDispatch> ask = newSolucao();
    if (!ask || !enter(ask.get(), L"ASK").isBool(false)) return;
    long asked = erp.store(L"FR", L"0", {{L"A1", 1}});
    gWatcher->answer({IDNO});
    {
        ComPtr<IDispatch> doc = erp.load(L"FR", asked, L"0");
        IDispatch* oApi = doc.get();
        call(ask.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
    }
    boxes = gWatcher->take(50);
    expectBox(boxes, 0, L"Taxa Energética", L"Pretende adicionar Taxa Energética?", Icon::Question,
              {IDYES, IDNO}, "question before the surcharge");
    check(boxes.size() == 1, "answered No: nothing more");
    ComPtr<IDispatch> still = erp.load(L"FR", asked, L"0");
    checkEqN(numberOf(*call(getObject(still.get(), L"Linhas").get(), L"Count", {}).result.get()), 1,
             "answered No: the document keeps its one line");
    leave(ask.get());
}

// ---- bad input ---------------------------------------------------------------------------

void suiteBadInput() {
    ComPtr<IDispatch> s = newSolucao();
    if (!s) return;
    // By value: the event runs, nothing can be written back, S_OK.
    Outcome o = call(s.get(), L"App_OnEntrar", {vStr(L"DEMO"), vStr(L"u"), vI4(0), vBool(true)});
    check(o.hr == S_OK, "App_OnEntrar by value returns S_OK");
    expectNoBox("App_OnEntrar by value");
    o = call(s.get(), L"App_OnSair", {vBool(true)});
    check(o.hr == S_OK, "App_OnSair by value returns S_OK");

    struct Bad {
        const char* what;
        VARIANT empresa;
        VARIANT handle;
    };
    std::vector<Bad> bad = {{"Null company", vNull(), vI4(0)},
                            {"text window handle", vStr(L"DEMO"), vStr(L"janela")},
                            {"array window handle", vStr(L"DEMO"), vArray({1})},
                            {"Null window handle", vStr(L"DEMO"), vNull()}};
    for (auto& b : bad) {
        Cell e(b.empresa), u(vStr(L"u")), h(b.handle), err(vStr(L"sentinel"));
        o = call(s.get(), L"App_OnEntrar", {e.ref(), u.ref(), h.ref(), err.ref()});
        check(o.hr == S_OK, std::string(b.what) + ": S_OK");
        auto boxes = gWatcher->take(50);
        check(boxes.size() == 1 && boxes[0].title == L"App_OnEntrar" &&
                  boxes[0].text.rfind(L"Erro ", 0) == 0,
              std::string(b.what) + ": error box titled App_OnEntrar");
        check(textOf(*err.p()) == L"sentinel", std::string(b.what) + ": bError not written");
    }
    // Empty company and user: a settings file that does not exist; the entry fails quietly.
    Cell e, u, h, err(vBool(false));
    call(s.get(), L"App_OnEntrar", {e.ref(), u.ref(), h.ref(), err.ref()});
    check(err.isBool(true), "Empty company: bError True");
    gWatcher->take(50);

    // bError given as a typed reference (VT_BYREF|VT_BSTR): written through it, coerced.
    BSTR typed = SysAllocString(L"x");
    o = call(s.get(), L"App_OnSair", {vBstrRef(&typed)});
    check(o.hr == S_OK, "App_OnSair with a BSTR reference: S_OK");
    check(typed && std::wstring(typed) != L"x",
          "App_OnSair with a BSTR reference: written through it");
    SysFreeString(typed);

    // Objects: a number, Null, an array or a text where an object is expected.
    std::vector<std::pair<const char*, VARIANT>> notObjects = {
        {"number", vI4(5)}, {"Null", vNull()}, {"array", vArray({1, 2})}, {"text", vStr(L"doc")}};
    for (auto& [what, value] : notObjects) {
        Cell cell(value);
        o = call(s.get(), L"Vendas_OnGravar", {cell.ref()});
        check(o.hr == S_OK, std::string("Vendas_OnGravar with a ") + what + ": S_OK " + hex(o.hr));
        auto boxes = gWatcher->take(50);
        check(
            boxes.size() == 1 && boxes[0].title == L"Vendas_OnGravar" && boxes[0].text == kMismatch,
            std::string("Vendas_OnGravar with a ") + what + ": \"Erro Type mismatch\"");
        o = call(s.get(), L"Compras_OnAbrir", {cell.ref()});
        check(o.hr == S_OK, std::string("Compras_OnAbrir with a ") + what + ": ignored, S_OK");
        expectNoBox(std::string("Compras_OnAbrir with a ") + what);
    }
    o = call(s.get(), L"Vendas_OnGravar", {vEmpty()});
    check(o.hr == S_OK, "Vendas_OnGravar with Empty: S_OK");
    o = call(s.get(), L"Vendas_OnGravar", {vDisp(nullptr)});
    check(o.hr == S_OK, "Vendas_OnGravar with a null object: S_OK");
    expectNoBox("Vendas_OnGravar with no object");
    o = call(s.get(), L"App_OnSair", {});
    check(o.hr == S_OK, "App_OnSair without its argument: S_OK");
    o = call(s.get(), L"App_OnSair", {vBool(true), vBool(true)});
    check(o.hr == DISP_E_BADPARAMCOUNT, "App_OnSair with two arguments: DISP_E_BADPARAMCOUNT");
    expectNoBox("argument counts");
}

// ---- lifetime ----------------------------------------------------------------------------

void suiteLifetime() {
    long long base = standInsAlive();
    checkEqN(base, 0, "lifetime: no stand-in object alive at the start");
    { ComPtr<IDispatch> s = newSolucao(); }
    checkEqN(standInsAlive(), base, "lifetime: released right after creation");
    {
        ComPtr<IDispatch> s = newSolucao();
        enter(s.get(), L"DEMO");
        check(standInsAlive() > base, "lifetime: an entered company holds stand-in objects");
    }
    checkEqN(standInsAlive(), base, "lifetime: released while entered");
    {
        ComPtr<IDispatch> s = newSolucao();
        check(enter(s.get(), L"DEMO").isBool(false), "lifetime: first entry");
        check(enter(s.get(), L"DEMO").isBool(false), "lifetime: second App_OnEntrar");
        leave(s.get());
        // After leaving, the save hook finds the API closed and says so.
        Erp erp;
        erp.connect(L"DEMO");
        long n = erp.store(L"FT", L"0", {{L"A1", 1}});
        {
            ComPtr<IDispatch> doc = erp.load(L"FT", n, L"0");
            IDispatch* oApi = doc.get();
            call(s.get(), L"Vendas_OnGravar", {vDispRef(&oApi)});
        }
        auto boxes = gWatcher->take(50);
        expectBox(boxes, 0, L"Ligação Sage100C API",
                  L"A API Sage100C encontra-se desligada. A operação não vai actualizar dados no "
                  L"Sage Next.",
                  Icon::Information, {IDOK}, "save after App_OnSair");
        gWatcher->answer({IDNO});
        IDispatch* nothing = nullptr;
        Cell op(vI4(2010));
        call(s.get(), L"App_OnOperacao", {vDispRef(&nothing), op.ref()});
        gWatcher->take(50);
        check(leave(s.get()).isBool(false), "lifetime: App_OnSair after App_OnSair");
    }
    checkEqN(standInsAlive(), base, "lifetime: nothing left after entering twice and leaving");
    {
        ComPtr<IDispatch> s = newSolucao();
        enter(s.get(), L"LOGIN");
        gWatcher->take(50);
    }
    checkEqN(standInsAlive(), base, "lifetime: nothing left after a refused login");
    gWatcher->take(0);
}

// ---- Result ------------------------------------------------------------------------------

void suiteResult() {
    HRESULT hr;
    ComPtr<IDispatch> r = create(L"QuorilVantrel.Result", &hr);
    if (!check(SUCCEEDED(hr) && r, "QuorilVantrel.Result created")) return;
    Outcome m = call(r.get(), L"Mensagem", {}, DISPATCH_PROPERTYGET);
    check(m.hr == S_OK && m.result->vt == VT_BSTR && textOf(*m.result.get()).empty(),
          "Result: Mensagem \"\"");
    Outcome t = call(r.get(), L"tipo", {}, DISPATCH_PROPERTYGET);
    check(t.hr == S_OK && numberOf(*t.result.get()) == 0, "Result: tipo Sucesso");
    Outcome e = call(r.get(), L"ErroNum", {}, DISPATCH_PROPERTYGET);
    check(e.hr == S_OK && e.result->vt == VT_I4 && e.result->lVal == 0, "Result: ErroNum 0");
    Cell text(vStr(L"Olá"));
    check(put(r.get(), L"Mensagem", text.ref()).hr == S_OK, "Result: Mensagem put by reference");
    check(put(r.get(), L"tipo", vI4(1)).hr == S_OK, "Result: tipo put");
    check(put(r.get(), L"ErroNum", vI4(13)).hr == S_OK, "Result: ErroNum put");
    checkEq(textOf(*call(r.get(), L"Mensagem", {}).result.get()), L"Olá",
            "Result: Mensagem read back");
    checkEqN(numberOf(*call(r.get(), L"tipo", {}).result.get()), 1, "Result: tipo read back");
    checkEqN(numberOf(*call(r.get(), L"ErroNum", {}).result.get()), 13,
             "Result: ErroNum read back");
    check(FAILED(put(r.get(), L"ErroNum", vStr(L"treze")).hr), "Result: ErroNum refuses a text");
}

}  // namespace
}  // namespace vantrel::wine

int wmain(int argc, wchar_t** argv) {
    using namespace vantrel::wine;
    setvbuf(stdout, nullptr, _IONBF, 0);
    // --press-boxes SECONDS: answer OK to the message boxes of every process (a script's)
    // for that long, printing each box as "box: title | text".
    if (argc >= 3 && std::wstring(argv[1]) == L"--press-boxes") {
        DialogWatcher watcher(true);
        DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
        while (GetTickCount() < until) {
            for (const auto& b : watcher.take(200)) {
                std::string text = narrow(b.text);
                for (auto& c : text)
                    if (c == '\r' || c == '\n') c = ' ';
                std::printf("box: %s | %s\n", narrow(b.title).c_str(), text.c_str());
            }
            if (GetFileAttributesW(L"C:\\vantrel-stop-boxes") != INVALID_FILE_ATTRIBUTES) break;
        }
        return 0;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const std::vector<std::pair<std::wstring, void (*)()>> suites = {
        {L"typelib", suiteTypeLib},   {L"registration", suiteRegistration},
        {L"result", suiteResult},     {L"events", suiteEvents},
        {L"frames", suiteFrames},     {L"entry", suiteEntry},
        {L"toggle", suiteToggle},     {L"save", suiteSave},
        {L"badinput", suiteBadInput}, {L"lifetime", suiteLifetime}};
    {
        DialogWatcher watcher;
        gWatcher = &watcher;
        prepareCompanies();
        for (const auto& [name, run] : suites) {
            bool wanted = argc < 2;
            for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
            if (!wanted) continue;
            int before = tally().failed;
            run();
            auto stray = watcher.take(100);
            check(stray.empty(),
                  narrow(name) + ": no box left unexamined" +
                      (stray.empty() ? std::string() : " (\"" + narrow(stray[0].text) + "\")"));
            std::printf("suite %s: %s\n", narrow(name).c_str(),
                        tally().failed == before ? "ok" : "FAILED");
        }
        gWatcher = nullptr;
    }
    CoUninitialize();
    std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
    return tally().failed == 0 ? 0 : 1;
}
