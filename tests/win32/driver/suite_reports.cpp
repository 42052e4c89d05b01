// QuorilVantrel.CrystalReportMain through COM: the example report (copied with its databases
// into the data folder by run.sh) run by ExecutaMapa to each destination without a window:
// the printer, a PDF file, e-mail and an Excel file named in the real save window. The
// stand-in runtime of QuorilVantrelStandIns.dll writes its plain-text account for the disk
// files and records the print and mail calls, which this process reads back.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver.h"
#include "save_window_user.h"

namespace vantrel::wine {

namespace {

const std::wstring kPedidos = L"|2026-07-01|2026-07-31|A|Falso";

std::string fileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The rows of the example for July, series A: FA 1 to FA 4; series B and the lines of June
// and August are left out.
void checkAccount(const std::wstring& path, const std::string& what) {
    const std::string text = fileText(path);
    if (!check(!text.empty(), what + ": " + narrow(path) + " written")) return;
    check(has(text, "Title: Vendas por artigo\n"), what + ": the report's title");
    for (const char* row : {"  A\tFA 1\t2026-07-02\tParafuso\t100\t10\n", "  A\tFA 2\t2026-07-10\t",
                            "  A\tFA 3\t", "  A\tFA 4\t"})
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

}  // namespace

void suiteReports() {
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
