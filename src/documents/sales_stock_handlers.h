// The sales and stock events that look at their arguments without acting on them. Each may
// raise a conversion error, which the caller's event frame reports; none writes anything
// back to the host.
#pragma once

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::documents {

using automation::ObjectRef;
using automation::Variant;

// Vendas_OnOperacao and Vendas_OnOperacaoEx: the operation code must be a 32-bit integer.
void Vendas_OnOperacao(const ObjectRef& Api, const Variant& lngOperacao);
// Vendas_OnCampoValidar: the field name must be a text; the article field has no rule yet.
void Vendas_OnCampoValidar(const ObjectRef& Api, const Variant& CampoNome);
void Stocks_OnGravar(const ObjectRef& oApi);

}  // namespace vantrel::documents
