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
// All calls come from the host's user-interface thread, one at a time.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/object.h"
#include "automation/variant.h"
#include "documents/dal_comandos.h"
#include "interfaces/services.h"

namespace vantrel::solution {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

// The fields of the open company, in declaration order.
struct SolucaoFields {
    ObjectRef mDados;    // CoreDataAccess on the company database
    Text mUtilizadorBD;  // database login ("Ligação" Username)
    Text mPasswordBD;
    Text mServidor;
    Text mBaseDados;          // "Ligação" Empresa: the company database
    ObjectRef mApiNext;       // NextApiConnection
    bool mApiLigada = false;  // true while the API connection is open
    Text mApiEmpresa;         // "Api Next" Empresa
    Text mPercursoWindows;
    Text mPercursoLog;  // log folder, ends in "\" after entry
    Text mApiLogin;
    Text mApiPassword;
    Text mUtilizador;
    Text mEmpresa;
    std::int32_t mHandleJanela = 0;
    Text mFicheiroConfig;  // path of the company's settings file
    Text mDocumentosTaxa;  // "Documentos com taxa" settings
    Text mTaxa;
    Text mArtigoTaxa;
    Text mPerguntaTaxa;
};

class Solucao : private SolucaoFields {
public:
    // Creates the (unopened) company database object; a component that cannot be created
    // raises RuntimeError 429, which fails the creation of the Solucao itself.
    explicit Solucao(const interfaces::Services& services);
    ~Solucao();
    Solucao(const Solucao&) = delete;
    Solucao& operator=(const Solucao&) = delete;

    void App_OnAntesEntrar(Variant& sEmpresa, Variant& sUtilizador, Variant& HandleJanela,
                           Variant& bError);
    void App_OnEntrar(Variant& sEmpresa, Variant& sUtilizador, Variant& HandleJanela,
                      Variant& bError);
    void App_OnAntesSair(Variant& bError);
    void App_OnSair(Variant& bError);
    void App_OnOperacao(ObjectRef& Api, Variant& Operacao);
    void App_OnConnectionValidate(Variant& sEmpresa, Variant& sUtilizador, Variant& HandleJanela,
                                  Variant& bError);
    void Compras_OnAbrir(ObjectRef& objContexto);
    void Compras_OnAntesAbrir(ObjectRef& objContexto, Variant& blnCancelar);
    void Compras_OnAntesAnular(ObjectRef& objContexto, Variant& blnCancelar);
    void Compras_OnAntesFechar(ObjectRef& objContexto, Variant& blnCancelar);
    void Compras_OnAntesGravar(ObjectRef& objContexto, Variant& blnCancelar);
    void Compras_OnAnular(ObjectRef& objContexto);
    void Compras_OnFechar(ObjectRef& objContexto);
    void Compras_OnGravar(ObjectRef& objContexto);
    void Compras_OnLer(ObjectRef& objContexto);
    void Compras_OnLimpar(ObjectRef& objContexto);
    void Compras_OnOperacao(ObjectRef& objContexto, Variant& lngOperacao);
    void Compras_OnValidarLinha(ObjectRef& objContexto, Variant& blnCancelar);
    void Compras_OnCampoValidar(ObjectRef& objContexto, ObjectRef& objCampo, Variant& blnCancelar);
    void Vendas_OnAbrir(ObjectRef& objContexto);
    void Vendas_OnAntesAbrir(ObjectRef& objContexto, Variant& blnCancelar);
    void Vendas_OnAntesAnular(ObjectRef& objContexto, Variant& blnCancelar);
    void Vendas_OnAntesFechar(ObjectRef& objContexto, Variant& blnCancelar);
    void Vendas_OnAntesGravar(ObjectRef& objContexto, Variant& blnCancelar);
    void Vendas_OnAnular(ObjectRef& objContexto);
    void Vendas_OnFechar(ObjectRef& objContexto);
    void Vendas_OnGravar(ObjectRef& oApi);
    void Vendas_OnLer(ObjectRef& objContexto);
    void Vendas_OnLimpar(ObjectRef& objContexto);
    void Vendas_OnOperacao(ObjectRef& Api, Variant& lngOperacao);
    void Vendas_OnOperacaoEx(ObjectRef& Api, Variant& lngOperacao, Variant& Campos);
    void Vendas_OnValidarLinha(ObjectRef& objContexto, Variant& blnCancelar);
    void Vendas_OnCampoValidar(ObjectRef& Api, Variant& CampoNome, Variant& CampoValor,
                               Variant& blnCancelar);
    void Vendas_OnCampoValidarEx(ObjectRef& Api, Variant& CampoNome, Variant& CampoValor,
                                 Variant& Campos, Variant& blnCancelar);
    void Stocks_OnAbrir(ObjectRef& objContexto);
    void Stocks_OnAntesAbrir(ObjectRef& objContexto, Variant& blnCancelar);
    void Stocks_OnAntesAnular(ObjectRef& objContexto, Variant& blnCancelar);
    void Stocks_OnAntesFechar(ObjectRef& objContexto, Variant& blnCancelar);
    void Stocks_OnAntesGravar(ObjectRef& objContexto, Variant& blnCancelar);
    void Stocks_OnAnular(ObjectRef& objContexto);
    void Stocks_OnFechar(ObjectRef& objContexto);
    void Stocks_OnGravar(ObjectRef& oApi);
    void Stocks_OnLer(ObjectRef& objContexto);
    void Stocks_OnLimpar(ObjectRef& objContexto);
    void Stocks_OnOperacao(ObjectRef& objContexto, Variant& lngOperacao);
    void Stocks_OnValidarLinha(ObjectRef& objContexto, Variant& blnCancelar);
    void Stocks_OnCampoValidar(ObjectRef& objContexto, ObjectRef& objCampo, Variant& blnCancelar);
    // The API toggles: ask, then close an open connection or open a closed one. They throw.
    void pNextApiConnectDisconnect();
    void Esp_ConnectDisconnectApiNext();

    // Read-only views for tests and tools.
    const SolucaoFields& fields() const { return *this; }
    const documents::DalComandos& dalComandos() const { return dal_; }

private:
    // Configuration.
    void pLerConfiguracao();
    // Company database connection.
    bool pLigarServidor();
    bool pDesligarServidor();
    bool pValidarLigacao(const Text& empresa);
    bool pAbrirBaseDados(const Text& ficheiro);
    bool pFecharBaseDados();
    void pCompatibilizarBaseDados();
    // ERP API connection.
    bool pNextApiConnect(const Text& ficheiro);
    bool pNextApiDisconnect();
    bool pVerificarApi();
    // Both toggles; they differ only in the API's name in their texts.
    void toggleApi(const Text& apiName, const Text& resultTitle);
    // Trace hook.
    void pEscreverLog(const Text& pasta, const Text& mensagem);
    // The frame every event body runs in.
    void frame(automation::TextView title, const std::function<void()>& body);
    void nothing(automation::TextView title);

    interfaces::Services services_;
    documents::DalComandos dal_;
};

}  // namespace vantrel::solution
