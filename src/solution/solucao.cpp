#include "solution/solucao.h"

#include "documents/energy_surcharge.h"
#include "documents/sales_stock_handlers.h"
#include "solution/event_frame.h"
#include "solution/trace_log.h"

namespace vantrel::solution {

using automation::ObjectRef;
using automation::T;
using automation::Text;
using automation::TextView;
using automation::Variant;

Solucao::Solucao(const interfaces::Services& services) : services_(services) {
    mDados = services_.createComponent(interfaces::component::CoreDataAccess);
}

// Only the database object is let go; an API connection still open is not closed first.
Solucao::~Solucao() {
    mDados.reset();
}

void Solucao::frame(TextView title, const std::function<void()>& body) {
    const automation::ScopedLocale locale(services_.locale());
    runInFrame(*services_.dialogs, title, body);
}

void Solucao::pEscreverLog(const Text& pasta, const Text& mensagem) {
    writeTrace(services_.platform, pasta, mensagem);
}

// --- Application events -------------------------------------------------------------------

void Solucao::App_OnEntrar(Variant& sEmpresa, Variant& sUtilizador, Variant& HandleJanela,
                           Variant& bError) {
    frame(u"App_OnEntrar", [&] {
        mUtilizador = sUtilizador.toText();
        mEmpresa = sEmpresa.toText();
        mHandleJanela = HandleJanela.toLong();
        bool ligado = pLigarServidor();
        bError = Variant(!ligado);
        pEscreverLog(mPercursoLog, u"App_OnEntrar " + bError.toText());
    });
}

void Solucao::App_OnSair(Variant& bError) {
    frame(u"App_OnSair", [&] {
        pDesligarServidor();
        bError = Variant(false);
        pEscreverLog(mPercursoLog, u"App_OnSair");
    });
}

void Solucao::App_OnOperacao(ObjectRef&, Variant& Operacao) {
    frame(u"App_OnOperacao", [&] {
        std::int32_t operacao = Operacao.toLong();
        pEscreverLog(mPercursoLog, u"App_OnOperacao In " + Operacao.toText());
        if (operacao == 2010) Esp_ConnectDisconnectApiNext();
        pEscreverLog(mPercursoLog, u"App_OnOperacao Out " + Operacao.toText());
    });
}

void Solucao::App_OnConnectionValidate(Variant& sEmpresa, Variant& sUtilizador,
                                       Variant& HandleJanela, Variant& bError) {
    frame(u"App_OnConnectionValidate", [&] {
        Text utilizadorAnterior = mUtilizador;
        Text empresaAnterior = mEmpresa;
        std::int32_t handleAnterior = mHandleJanela;
        mUtilizador = sUtilizador.toText();
        mEmpresa = sEmpresa.toText();
        mHandleJanela = HandleJanela.toLong();
        if (pValidarLigacao(mEmpresa)) {
            bError = Variant(false);
        } else {
            mUtilizador = utilizadorAnterior;
            mEmpresa = empresaAnterior;
            mHandleJanela = handleAnterior;
            bError = Variant(true);
        }
    });
}

// --- Sales --------------------------------------------------------------------------------

// The recovery copy of a document goes to the log folder when there is one, else beside the
// settings file.
Text Solucao::recoveryFolder() const {
    Text log = mPercursoLog;
    while (automation::endsWith(log, u"\\")) log.pop_back();
    if (!log.empty() && services_.platform && services_.platform->folderExists(log))
        return log + u"\\";
    std::size_t slash = mFicheiroConfig.find_last_of(u"\\/");
    return slash == Text::npos ? Text() : mFicheiroConfig.substr(0, slash + 1);
}

void Solucao::Vendas_OnGravar(ObjectRef& oApi) {
    frame(u"Vendas_OnGravar", [&] {
        if (!services_.platform)
            throw automation::RuntimeError(automation::errc::ObjectVariableNotSet);
        documents::SurchargeContext context{*services_.dialogs,
                                            dal_,
                                            mApiNext,
                                            [this] { return pVerificarApi(); },
                                            *services_.platform,
                                            recoveryFolder()};
        documents::EnergySurcharge surcharge(std::move(context),
                                             {mDocumentosTaxa, mTaxa, mArtigoTaxa, mPerguntaTaxa});
        // The rate stays normalised for as long as the company is open, even if the hook
        // stops half-way.
        struct KeepRate {
            const documents::EnergySurcharge& from;
            Text& to;
            ~KeepRate() { to = from.settings().taxa; }
        } keep{surcharge, mTaxa};
        surcharge.Vendas_OnGravar(oApi);
    });
}

void Solucao::Vendas_OnOperacao(ObjectRef& Api, Variant& lngOperacao) {
    frame(u"Vendas_OnOperacao", [&] { documents::Vendas_OnOperacao(Api, lngOperacao); });
}

// Reports under the plain event's title.
void Solucao::Vendas_OnOperacaoEx(ObjectRef& Api, Variant& lngOperacao, Variant&) {
    frame(u"Vendas_OnOperacao", [&] { documents::Vendas_OnOperacao(Api, lngOperacao); });
}

void Solucao::Vendas_OnCampoValidar(ObjectRef& Api, Variant& CampoNome, Variant&, Variant&) {
    frame(u"Vendas_OnCampoValidar", [&] { documents::Vendas_OnCampoValidar(Api, CampoNome); });
}

// --- Stock --------------------------------------------------------------------------------

void Solucao::Stocks_OnGravar(ObjectRef& oApi) {
    frame(u"Stocks_OnGravar", [&] { documents::Stocks_OnGravar(oApi); });
}

}  // namespace vantrel::solution
