// QuorilVantrel.CrystalReportMain through COM: the example report (copied with its databases
// into the data folder by run.sh) run by ExecutaMapa to each destination without a window:
// the printer, a PDF file, e-mail and an Excel file named in the real save window. The
// stand-in runtime of QuorilVantrelStandIns.dll writes its plain-text account for the disk
// files and records the print and mail calls, which this process reads back.
#include <windows.h>

#include <ocidl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver.h"
#include "platform/win32/com_object.h"
#include "save_window_user.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

namespace {

const std::wstring kPedidos = L"|2026-07-01|2026-07-31|A|Falso";

std::string fileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The rows of the example for July, series A: FA 1 to FA 4, dates and amounts in the add-in's
// locale; series B and the lines of June and August are left out.
void checkAccount(const std::wstring& path, const std::string& what) {
    const std::string text = fileText(path);
    if (!check(!text.empty(), what + ": " + narrow(path) + " written")) return;
    check(has(text, "Title: Vendas por artigo\n"), what + ": the report's title");
    for (const char* row : {"  A\tFA 1\t02-07-2026\tParafuso\t100\t10,00\n",
                            "  A\tFA 2\t10-07-2026\t", "  A\tFA 3\t", "  A\tFA 4\t"})
        check(has(text, row), what + ": row \"" + row + "\"");
    check(!has(text, "  B\t") && !has(text, "FA 9") && !has(text, "FA 10"),
          what + ": no row of series B, June or August");
}

ComPtr<IDispatch> newReport(long destino) {
    ComPtr<IDispatch> r = create(L"QuorilVantrel.CrystalReportMain");
    if (!r) return r;
    const std::pair<const wchar_t*, std::wstring> texts[] = {
        {L"in_Mapa", dataFolder() + L"\\reports\\VendasPorArtigo.rpt"},
        {L"in_Servidor", L"SRV"},
        {L"In_NomeBaseDados", L"RELSISTEMA"},
        {L"in_NomeBaseDados_Next", L"RELEMPRESA"},
        {L"in_UserId", L"sa"},
        {L"in_Password", L"x"},
        {L"in_Pedidos", kPedidos}};
    for (const auto& [name, value] : texts) put(r.get(), name, vStr(value));
    put(r.get(), L"in_Destino", vI4(destino));
    return r;
}

// The values of ExecutaMapa's Parametro as a script passes them: an array of texts whose
// element 0 is not a value.
VARIANT parametro() {
    const wchar_t* values[] = {L"", L"2026-07-01", L"2026-07-31", L"A", L"Falso"};
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 5);
    for (LONG i = 0; i < 5; ++i) {
        VARIANT v = vStr(values[i]);
        SafeArrayPutElement(array, &i, &v);
        VariantClear(&v);
    }
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_ARRAY | VT_VARIANT;
    out.parray = array;
    return out;
}

// ExecutaMapa(Parametro, MostraMenuImpressora); the result is True when the run failed.
bool runs(IDispatch* r, const std::string& what) {
    Outcome o = call(r, L"ExecutaMapa", {parametro(), vBool(false)});
    return check(SUCCEEDED(o.hr), what + ": ExecutaMapa answers (" + hex(o.hr) + ")") &&
           check(o.result->vt == VT_BOOL && o.result->boolVal == VARIANT_FALSE,
                 what + ": ExecutaMapa reports success");
}

bool isTypeMismatch(const Outcome& o) {
    return o.hr == DISP_E_EXCEPTION && o.scode == static_cast<long>(0x800A000D);
}

// Hears Executar as a script host's sink does, keeping each Descricao whole.
class ExecutarSink final : public platform::win32::ComObject<ExecutarSink, IDispatch> {
public:
    explicit ExecutarSink(IID events) : events_(events) {}
    void* queryOther(REFIID iid) {
        return iid == events_ ? static_cast<IDispatch*>(this) : nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (params && params->cArgs == 2 && params->rgvarg[0].vt == VT_BSTR) {
            BSTR b = params->rgvarg[0].bstrVal;
            texts.emplace_back(b ? std::wstring(b, SysStringLen(b)) : std::wstring());
        }
        return S_OK;
    }
    std::vector<std::wstring> texts;

private:
    IID events_;
};

// Values a hostile caller passes: a two-dimensional array is refused with error 13 as a
// one-dimensional one is, and leaves the caller's variable as it was; a NUL in a text is
// part of the text that Executar carries.
void hostileValues() {
    ComPtr<IDispatch> r = create(L"QuorilVantrel.CrystalReportMain");
    if (!check(static_cast<bool>(r), "hostile values: CrystalReportMain created")) return;
    const wchar_t* texts[] = {L"in_Mapa",
                              L"NomeDoMapa",
                              L"in_Servidor",
                              L"In_NomeBaseDados",
                              L"in_NomeBaseDados_Next",
                              L"in_UserId",
                              L"in_Password",
                              L"in_Pedidos",
                              L"in_NomeDaImpressora",
                              L"FicheiroPDF",
                              L"emailTo",
                              L"emailCC",
                              L"emailSubject",
                              L"emailMessage"};
    const std::pair<const char*, VARIANT (*)()> arrays[] = {{"a one-dimensional array",
                                                             [] {
                                                                 return vArray({1, 2});
                                                             }},
                                                            {"a two-dimensional array", vMatrix}};
    for (const wchar_t* name : texts) {
        put(r.get(), name, vStr(L"antes"));
        for (const auto& [what, make] : arrays) {
            const std::string where = "hostile values: " + narrow(name) + " given " + what;
            check(isTypeMismatch(put(r.get(), name, make())), where + ": error 13");
            checkEq(textOf(*call(r.get(), name, {}).result.get()), L"antes", where + ": kept");
        }
    }
    for (const wchar_t* method : {L"Add_ParametrosRecordset", L"MostraLista", L"Substitui"}) {
        Cell given(vMatrix());
        check(isTypeMismatch(call(r.get(), method, {given.ref()})),
              "hostile values: " + narrow(method) + " given a two-dimensional array: error 13");
    }
    Cell name(vMatrix());
    IDispatch* rs = r.get();
    const Outcome ttx = call(r.get(), L"CriarFicheioTTX", {vDispRef(&rs), name.ref()});
    check(isTypeMismatch(ttx),
          "hostile values: CriarFicheioTTX given a two-dimensional name: error 13");
    check(name.v->vt == (VT_ARRAY | VT_VARIANT) && SafeArrayGetDim(name.v->parray) == 2,
          "hostile values: CriarFicheioTTX leaves the caller's two-dimensional name as it was");

    // Executar's texts whole, NUL and all, through the connection point a script host uses.
    auto info = ComPtr<IProvideClassInfo2>();
    GUID events{};
    check(SUCCEEDED(
              r->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(info.put()))) &&
              SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events)),
          "hostile values: the events' interface");
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    r->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.put()));
    if (!check(container && SUCCEEDED(container->FindConnectionPoint(events, point.put())),
               "hostile values: Executar's connection point"))
        return;
    auto sink = ComPtr<ExecutarSink>::adopt(new ExecutarSink(events));
    DWORD cookie = 0;
    if (!check(SUCCEEDED(point->Advise(sink.get(), &cookie)), "hostile values: sink advised"))
        return;
    const std::wstring value(L"a\0b", 3), mapa(L"Vendas\0Julho", 12);
    call(r.get(), L"Add_ParametrosRecordset", {vStr(value)});
    put(r.get(), L"in_Mapa", vStr(L""));
    put(r.get(), L"NomeDoMapa", vStr(mapa));
    call(r.get(), L"ExecutaMapa", {parametro(), vBool(false)});
    watcher().take(50);  // "A configuração indicada não existe!"
    point->Unadvise(cookie);
    auto heard = [&](const std::wstring& text) {
        return std::find(sink->texts.begin(), sink->texts.end(), text) != sink->texts.end();
    };
    check(heard(L"Adicionar Parametro ->" + value),
          "hostile values: Executar carries a value with a NUL whole");
    check(heard(L"Verificar existência do mapa ->" + mapa),
          "hostile values: Executar carries a report name with a NUL whole");
}

}  // namespace

void suiteReports() {
    hostileValues();
    const std::wstring pdf = dataFolder() + L"\\relatorio-driver.pdf";
    const std::wstring xls = dataFolder() + L"\\relatorio-driver.xls";
    DeleteFileW(pdf.c_str());
    DeleteFileW(xls.c_str());
    {
        ComPtr<IDispatch> r = newReport(3);
        if (!check(static_cast<bool>(r), "reports: QuorilVantrel.CrystalReportMain created"))
            return;
        put(r.get(), L"FicheiroPDF", vStr(pdf));
        if (runs(r.get(), "reports: PDF")) checkAccount(pdf, "reports: PDF");
    }
    {
        ComPtr<IDispatch> r = newReport(2);
        put(r.get(), L"NumeroDeVias", vI2(2));
        if (runs(r.get(), "reports: printer"))
            check(reportCalls().find(L".PrintOut(False, 2") != std::wstring::npos,
                  "reports: printer: PrintOut with two copies recorded");
    }
    {
        ComPtr<IDispatch> r = newReport(4);
        put(r.get(), L"emailTo", vStr(L"ana@example.pt"));
        put(r.get(), L"emailSubject", vStr(L"Vendas de julho – série A"));
        if (runs(r.get(), "reports: e-mail")) {
            const std::wstring calls = reportCalls();
            check(calls.find(L".MailToList = \"ana@example.pt\"") != std::wstring::npos &&
                      calls.find(L".MailSubject = \"Vendas de julho – série A\"") !=
                          std::wstring::npos,
                  "reports: e-mail: recipient and subject given to the runtime");
        }
    }
    {
        ComPtr<IDispatch> r = newReport(5);
        SaveWindowUser user(xls, IDOK);
        const bool ran = runs(r.get(), "reports: Excel");
        check(user.finish(), "reports: Excel: the save window was shown and answered");
        check(user.fileType().find(L"*.xls") != std::wstring::npos,
              "reports: Excel: the save window offers *.xls (" + narrow(user.fileType()) + ")");
        if (ran) checkAccount(xls, "reports: Excel");
    }
    expectNoBox("reports");
}

}  // namespace vantrel::wine
