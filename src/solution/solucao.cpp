#include "solution/solucao.h"

#include "documents/energy_surcharge.h"
#include "documents/sales_stock_handlers.h"
#include "solution/event_frame.h"
#include "solution/trace_log.h"

namespace vantrel::solution {

using automation::T;
using automation::TextView;

Solucao::Solucao(const interfaces::Services& services) : services_(services) {
    mDados = services_.createComponent(interfaces::component::CoreDataAccess);
}

// Only the database object is let go; an API connection still open is not closed first.
Solucao::~Solucao() {
    mDados.reset();
}

void Solucao::frame(TextView title, const std::function<void()>& body) {
    runInFrame(*services_.dialogs, title, body);
}

void Solucao::nothing(TextView title) {
    frame(title, [] {});
}

void Solucao::pEscreverLog(const Text& pasta, const Text& mensagem) {
    writeTrace(services_.platform, pasta, mensagem);
}

// --- Application events -------------------------------------------------------------------

void Solucao::App_OnAntesEntrar(Variant&, Variant&, Variant&, Variant&) {
    nothing(u"App_OnAntesEntrar");
}

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

void Solucao::App_OnAntesSair(Variant&) {
    nothing(u"App_OnAntesSair");
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

// --- Purchases: no rules ------------------------------------------------------------------

void Solucao::Compras_OnAbrir(ObjectRef&) {
    nothing(u"Compras_OnAbrir");
}
void Solucao::Compras_OnAntesAbrir(ObjectRef&, Variant&) {
    nothing(u"Compras_OnAntesAbrir");
}
void Solucao::Compras_OnAntesAnular(ObjectRef&, Variant&) {
    nothing(u"Compras_OnAntesAnular");
}
void Solucao::Compras_OnAntesFechar(ObjectRef&, Variant&) {
    nothing(u"Compras_OnAntesFechar");
}
void Solucao::Compras_OnAntesGravar(ObjectRef&, Variant&) {
    nothing(u"Compras_OnAntesGravar");
}
void Solucao::Compras_OnAnular(ObjectRef&) {
    nothing(u"Compras_OnAnular");
}
void Solucao::Compras_OnFechar(ObjectRef&) {
    nothing(u"Compras_OnFechar");
}
void Solucao::Compras_OnGravar(ObjectRef&) {
    nothing(u"Compras_OnGravar");
}
void Solucao::Compras_OnLer(ObjectRef&) {
    nothing(u"Compras_OnLer");
}
void Solucao::Compras_OnLimpar(ObjectRef&) {
    nothing(u"Compras_OnLimpar");
}
void Solucao::Compras_OnOperacao(ObjectRef&, Variant&) {
    nothing(u"Compras_OnOperacao");
}
void Solucao::Compras_OnValidarLinha(ObjectRef&, Variant&) {
    nothing(u"Compras_OnValidarLinha");
}
void Solucao::Compras_OnCampoValidar(ObjectRef&, ObjectRef&, Variant&) {
    nothing(u"Compras_OnCampoValidar");
}

// --- Sales --------------------------------------------------------------------------------

void Solucao::Vendas_OnAbrir(ObjectRef&) {
    nothing(u"Vendas_OnAbrir");
}
void Solucao::Vendas_OnAntesAbrir(ObjectRef&, Variant&) {
    nothing(u"Vendas_OnAntesAbrir");
}
void Solucao::Vendas_OnAntesAnular(ObjectRef&, Variant&) {
    nothing(u"Vendas_OnAntesAnular");
}
void Solucao::Vendas_OnAntesFechar(ObjectRef&, Variant&) {
    nothing(u"Vendas_OnAntesFechar");
}
void Solucao::Vendas_OnAntesGravar(ObjectRef&, Variant&) {
    nothing(u"Vendas_OnAntesGravar");
}
void Solucao::Vendas_OnAnular(ObjectRef&) {
    nothing(u"Vendas_OnAnular");
}
void Solucao::Vendas_OnFechar(ObjectRef&) {
    nothing(u"Vendas_OnFechar");
}

void Solucao::Vendas_OnGravar(ObjectRef& oApi) {
    frame(u"Vendas_OnGravar", [&] {
        documents::SurchargeContext context{*services_.dialogs, dal_, mApiNext,
                                            [this] { return pVerificarApi(); }};
        documents::SurchargeSettings settings{mDocumentosTaxa, mTaxa, mArtigoTaxa, mPerguntaTaxa};
        documents::EnergySurcharge(std::move(context), settings).Vendas_OnGravar(oApi);
    });
}

void Solucao::Vendas_OnLer(ObjectRef&) {
    nothing(u"Vendas_OnLer");
}
void Solucao::Vendas_OnLimpar(ObjectRef&) {
    nothing(u"Vendas_OnLimpar");
}

void Solucao::Vendas_OnOperacao(ObjectRef& Api, Variant& lngOperacao) {
    frame(u"Vendas_OnOperacao", [&] { documents::Vendas_OnOperacao(Api, lngOperacao); });
}

// Reports under the plain event's title.
void Solucao::Vendas_OnOperacaoEx(ObjectRef& Api, Variant& lngOperacao, Variant&) {
    frame(u"Vendas_OnOperacao", [&] { documents::Vendas_OnOperacao(Api, lngOperacao); });
}

void Solucao::Vendas_OnValidarLinha(ObjectRef&, Variant&) {
    nothing(u"Vendas_OnValidarLinha");
}

void Solucao::Vendas_OnCampoValidar(ObjectRef& Api, Variant& CampoNome, Variant&, Variant&) {
    frame(u"Vendas_OnCampoValidar", [&] { documents::Vendas_OnCampoValidar(Api, CampoNome); });
}

// The one event without a frame: it has nothing that could fail.
void Solucao::Vendas_OnCampoValidarEx(ObjectRef&, Variant&, Variant&, Variant&, Variant&) {}

// --- Stock --------------------------------------------------------------------------------

void Solucao::Stocks_OnAbrir(ObjectRef&) {
    nothing(u"Stocks_OnAbrir");
}
void Solucao::Stocks_OnAntesAbrir(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnAntesAbrir");
}
void Solucao::Stocks_OnAntesAnular(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnAntesAnular");
}
void Solucao::Stocks_OnAntesFechar(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnAntesFechar");
}
void Solucao::Stocks_OnAntesGravar(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnAntesGravar");
}
void Solucao::Stocks_OnAnular(ObjectRef&) {
    nothing(u"Stocks_OnAnular");
}
void Solucao::Stocks_OnFechar(ObjectRef&) {
    nothing(u"Stocks_OnFechar");
}

void Solucao::Stocks_OnGravar(ObjectRef& oApi) {
    frame(u"Stocks_OnGravar", [&] { documents::Stocks_OnGravar(oApi); });
}

void Solucao::Stocks_OnLer(ObjectRef&) {
    nothing(u"Stocks_OnLer");
}
void Solucao::Stocks_OnLimpar(ObjectRef&) {
    nothing(u"Stocks_OnLimpar");
}
void Solucao::Stocks_OnOperacao(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnOperacao");
}
void Solucao::Stocks_OnValidarLinha(ObjectRef&, Variant&) {
    nothing(u"Stocks_OnValidarLinha");
}
void Solucao::Stocks_OnCampoValidar(ObjectRef&, ObjectRef&, Variant&) {
    nothing(u"Stocks_OnCampoValidar");
}

}  // namespace vantrel::solution
