// The driver's shared helpers: the contract table, the companies, the ERP session.
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <cstdlib>

#include "driver.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

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
}  // namespace

DialogWatcher& watcher() {
    return *gWatcher;
}
void setWatcher(DialogWatcher* w) {
    gWatcher = w;
}

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

std::wstring reportCalls() {
    HMODULE m = GetModuleHandleW(L"QuorilVantrelStandIns.dll");
    using Fn = int(WINAPI*)(wchar_t*, int);
    auto fn =
        m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, "StandInsReportCalls")))
          : nullptr;
    if (!fn) return L"";
    std::wstring text(static_cast<std::size_t>(fn(nullptr, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(fn(text.data(), static_cast<int>(text.size()))));
    return text;
}

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
    auto boxes = watcher().take(50);
    check(boxes.empty(),
          what + ": no message box" +
              (boxes.empty() ? std::string() : " (saw \"" + narrow(boxes[0].text) + "\")"));
}

int year() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wYear;
}

const std::wstring kMismatch = L"Erro Type mismatch";

namespace {

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

}  // namespace

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
Cell enter(IDispatch* s, const std::wstring& company, long handle) {
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

bool Erp::connect(const std::wstring& company) {
    api = create(L"QuorilVantrel.StandIns.NextApiConnection");
    if (!api) return false;
    Cell product(vStr(L"1GCO2022_40"));
    call(api.get(), L"SetProduct", {product.ref()});
    std::wstring file = dataFolder() + L"\\talmek\\VANTREL." + company;
    Outcome o = call(api.get(), L"Connect", {vStr(file)});
    return SUCCEEDED(o.hr) && o.result->vt == VT_BOOL && o.result->boolVal;
}
long Erp::store(const std::wstring& type, const std::wstring& series,
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
ComPtr<IDispatch> Erp::load(const std::wstring& type, long number, const std::wstring& series) {
    ComPtr<IDispatch> doc = getObject(api.get(), L"NewSalesDocument");
    Cell t(vStr(type)), n(vI4(number)), se(vStr(series)), y(vI2(static_cast<short>(year())));
    call(doc.get(), L"Ler", {t.ref(), n.ref(), se.ref(), y.ref()});
    return doc;
}

}  // namespace vantrel::wine
