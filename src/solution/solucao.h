// Solucao: the object the ERP creates for the open company and whose event methods it calls.
// It holds the state of the open company (settings, database connection, ERP API
// connection) and routes the document events to the sales-document procedures.
//
// The public surface has the shape of its COM interface, so the Windows layer can wrap it
// one to one: the 49 methods in interface order, every parameter by reference (V as a
// Variant, O as an ObjectRef).
//   - The 47 event methods (App_*, Compras_*, Vendas_*, Stocks_*) return nothing and never
//     throw: every error is shown to the user by the event frame and the host gets success.
//   - The two API toggles (pNextApiConnectDisconnect, Esp_ConnectDisconnectApiNext) throw
//     automation::RuntimeError on error; the COM layer turns that into a failure HRESULT.
// All calls come from the host's user-interface thread, one at a time. Each event body and
// toggle runs under the locale of the platform the Solucao was given.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/object.h"
#include "automation/variant.h"
#include "documents/dal_comandos.h"
#include "interfaces/services.h"
#include "solution/solucao_events.h"

namespace vantrel::solution {

// The fields of the open company, in declaration order.
struct SolucaoFields {
    automation::ObjectRef mDados;    // CoreDataAccess on the company database
    automation::Text mUtilizadorBD;  // database login ("Ligação" Username)
    automation::Text mPasswordBD;
    automation::Text mServidor;
    automation::Text mBaseDados;     // "Ligação" Empresa: the company database
    automation::ObjectRef mApiNext;  // NextApiConnection
    bool mApiLigada = false;         // true while the API connection is open
    automation::Text mApiEmpresa;    // "Api Next" Empresa
    automation::Text mPercursoWindows;
    automation::Text mPercursoLog;  // log folder, ends in "\" after entry
    automation::Text mApiLogin;
    automation::Text mApiPassword;
    automation::Text mUtilizador;
    automation::Text mEmpresa;
    std::int32_t mHandleJanela = 0;
    automation::Text mFicheiroConfig;  // path of the company's settings file
    automation::Text mDocumentosTaxa;  // "Documentos com taxa" settings
    automation::Text mTaxa;
    automation::Text mArtigoTaxa;
    automation::Text mPerguntaTaxa;
};

class Solucao : private SolucaoFields {
public:
    // Creates the (unopened) company database object; a component that cannot be created
    // raises RuntimeError 429, which fails the creation of the Solucao itself.
    explicit Solucao(const interfaces::Services& services);
    ~Solucao();
    Solucao(const Solucao&) = delete;
    Solucao& operator=(const Solucao&) = delete;

    // The event methods, and the API toggles (ask, then close an open connection or open a
    // closed one; they throw).
#define V(name) [[maybe_unused]] automation::Variant& name
#define O(name) [[maybe_unused]] automation::ObjectRef& name
#define EVENT(name, parameters, body) void name parameters body
    VANTREL_SOLUCAO_EVENTS(EVENT)
#undef EVENT
#undef O
#undef V

    // Read-only views for tests and tools.
    const SolucaoFields& fields() const {
        return *this;
    }
    const documents::DalComandos& dalComandos() const {
        return dal_;
    }

private:
    // Configuration.
    void pLerConfiguracao();
    // Company database connection.
    bool pLigarServidor();
    bool pDesligarServidor();
    bool pValidarLigacao(const automation::Text& empresa);
    bool pAbrirBaseDados(const automation::Text& ficheiro);
    bool pFecharBaseDados();
    void pCompatibilizarBaseDados();
    // ERP API connection.
    bool pNextApiConnect(const automation::Text& ficheiro);
    bool pNextApiDisconnect();
    automation::Text recoveryFolder() const;
    bool pVerificarApi();
    // Both toggles; they differ only in the API's name in their texts.
    void toggleApi(const automation::Text& apiName, const automation::Text& resultTitle);
    // Trace hook.
    void pEscreverLog(const automation::Text& pasta, const automation::Text& mensagem);
    // The frame every event body runs in.
    void frame(automation::TextView title, const std::function<void()>& body);

    interfaces::Services services_;
    documents::DalComandos dal_;
};

}  // namespace vantrel::solution
