// The 49 methods that the ERP calls on a Solucao, in the order of their COM interface: the
// one list from which Solucao declares them and the COM class forwards them.
//
// VANTREL_SOLUCAO_EVENTS(EVENT) expands EVENT(name, parameters, body) for each method.
// `parameters` is a parenthesised list of V(name), a VARIANT by reference, and O(name), an
// object by reference; the user of the list says what V and O stand for. `body` is {} for an
// event without rules (an empty frame could show nothing, so it has none), or ; for a method
// defined in solucao.cpp.
//
// The COM identity of these methods (DISPIDs, slot order, parameter names and flags) is the
// type library's; the Windows build fails when this list and the interface part ways.
#pragma once

// clang-format off
#define VANTREL_SOLUCAO_EVENTS(EVENT)                                                               \
    EVENT(App_OnAntesEntrar, (V(sEmpresa), V(sUtilizador), V(HandleJanela), V(bError)), {})         \
    EVENT(App_OnEntrar, (V(sEmpresa), V(sUtilizador), V(HandleJanela), V(bError)), ;)               \
    EVENT(App_OnAntesSair, (V(bError)), {})                                                         \
    EVENT(App_OnSair, (V(bError)), ;)                                                               \
    EVENT(App_OnOperacao, (O(Api), V(Operacao)), ;)                                                 \
    EVENT(App_OnConnectionValidate, (V(sEmpresa), V(sUtilizador), V(HandleJanela), V(bError)), ;)   \
    EVENT(Compras_OnAbrir, (O(objContexto)), {})                                                    \
    EVENT(Compras_OnAntesAbrir, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Compras_OnAntesAnular, (O(objContexto), V(blnCancelar)), {})                              \
    EVENT(Compras_OnAntesFechar, (O(objContexto), V(blnCancelar)), {})                              \
    EVENT(Compras_OnAntesGravar, (O(objContexto), V(blnCancelar)), {})                              \
    EVENT(Compras_OnAnular, (O(objContexto)), {})                                                   \
    EVENT(Compras_OnFechar, (O(objContexto)), {})                                                   \
    EVENT(Compras_OnGravar, (O(objContexto)), {})                                                   \
    EVENT(Compras_OnLer, (O(objContexto)), {})                                                      \
    EVENT(Compras_OnLimpar, (O(objContexto)), {})                                                   \
    EVENT(Compras_OnOperacao, (O(objContexto), V(lngOperacao)), {})                                 \
    EVENT(Compras_OnValidarLinha, (O(objContexto), V(blnCancelar)), {})                             \
    EVENT(Compras_OnCampoValidar, (O(objContexto), O(objCampo), V(blnCancelar)), {})                \
    EVENT(Vendas_OnAbrir, (O(objContexto)), {})                                                     \
    EVENT(Vendas_OnAntesAbrir, (O(objContexto), V(blnCancelar)), {})                                \
    EVENT(Vendas_OnAntesAnular, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Vendas_OnAntesFechar, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Vendas_OnAntesGravar, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Vendas_OnAnular, (O(objContexto)), {})                                                    \
    EVENT(Vendas_OnFechar, (O(objContexto)), {})                                                    \
    EVENT(Vendas_OnGravar, (O(oApi)), ;)                                                            \
    EVENT(Vendas_OnLer, (O(objContexto)), {})                                                       \
    EVENT(Vendas_OnLimpar, (O(objContexto)), {})                                                    \
    EVENT(Vendas_OnOperacao, (O(Api), V(lngOperacao)), ;)                                           \
    EVENT(Vendas_OnOperacaoEx, (O(Api), V(lngOperacao), V(Campos)), ;)                              \
    EVENT(Vendas_OnValidarLinha, (O(objContexto), V(blnCancelar)), {})                              \
    EVENT(Vendas_OnCampoValidar, (O(Api), V(CampoNome), V(CampoValor), V(blnCancelar)), ;)          \
    EVENT(Vendas_OnCampoValidarEx,                                                                  \
          (O(Api), V(CampoNome), V(CampoValor), V(Campos), V(blnCancelar)), {})                     \
    EVENT(Stocks_OnAbrir, (O(objContexto)), {})                                                     \
    EVENT(Stocks_OnAntesAbrir, (O(objContexto), V(blnCancelar)), {})                                \
    EVENT(Stocks_OnAntesAnular, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Stocks_OnAntesFechar, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Stocks_OnAntesGravar, (O(objContexto), V(blnCancelar)), {})                               \
    EVENT(Stocks_OnAnular, (O(objContexto)), {})                                                    \
    EVENT(Stocks_OnFechar, (O(objContexto)), {})                                                    \
    EVENT(Stocks_OnGravar, (O(oApi)), ;)                                                            \
    EVENT(Stocks_OnLer, (O(objContexto)), {})                                                       \
    EVENT(Stocks_OnLimpar, (O(objContexto)), {})                                                    \
    EVENT(Stocks_OnOperacao, (O(objContexto), V(lngOperacao)), {})                                  \
    EVENT(Stocks_OnValidarLinha, (O(objContexto), V(blnCancelar)), {})                              \
    EVENT(Stocks_OnCampoValidar, (O(objContexto), O(objCampo), V(blnCancelar)), {})                 \
    EVENT(pNextApiConnectDisconnect, (), ;)                                                         \
    EVENT(Esp_ConnectDisconnectApiNext, (), ;)
// clang-format on
