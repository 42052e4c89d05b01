// The sales and stock events that look at their arguments without acting on them. Each may
// raise a conversion error, which the caller's event frame reports; none writes anything
// back to the host.
#pragma once

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::documents {

// Vendas_OnOperacao and Vendas_OnOperacaoEx: the operation code must be a 32-bit integer.
void Vendas_OnOperacao(const automation::ObjectRef& Api, const automation::Variant& lngOperacao);
// Vendas_OnCampoValidar: the field name must be a text; the article field has no rule yet.
void Vendas_OnCampoValidar(const automation::ObjectRef& Api, const automation::Variant& CampoNome);
void Stocks_OnGravar(const automation::ObjectRef& oApi);

}  // namespace vantrel::documents
