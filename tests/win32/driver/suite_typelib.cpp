// The type library as registered, and registration itself.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

#include "driver.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

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

namespace {

bool keyExists(const std::wstring& path) {
    platform::win32::UniqueRegKey k;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
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
            L"Interface\\" + guidText(IID__Result),
            L"CLSID\\{4B8E2D17-6C35-4A90-B1F2-7D3E9A0C5B61}",
            L"QuorilVantrel.CrystalReportMain",
            L"QuorilVantrel.CrystalReportMain.1"};
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
    // The report engine's class is not described by the type library and does not name it.
    check(!keyExists(L"CLSID\\{4B8E2D17-6C35-4A90-B1F2-7D3E9A0C5B61}\\TypeLib"),
          when + ": CrystalReportMain names no type library");
}

}  // namespace

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

}  // namespace vantrel::wine
