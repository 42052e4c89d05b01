#include "documents/sales_stock_handlers.h"

namespace vantrel::documents {

using automation::ObjectRef;
using automation::Variant;

void Vendas_OnOperacao(const ObjectRef& Api, const Variant& lngOperacao) {
    if (Api.isNothing()) return;
    [[maybe_unused]] std::int32_t operacao = lngOperacao.toLong();
}

void Vendas_OnCampoValidar(const ObjectRef& Api, const Variant& CampoNome) {
    if (Api.isNothing()) return;
    [[maybe_unused]] bool artigo = automation::ucase(CampoNome.toText()) == u"ARTIGO";
}

void Stocks_OnGravar(const ObjectRef& oApi) {
    [[maybe_unused]] bool set = !oApi.isNothing();
}

}  // namespace vantrel::documents
