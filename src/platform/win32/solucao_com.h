// The COM class Solucao: the ERP's view of the core's vantrel::solution::Solucao. Each
// method is one guarded call into the core with its parameters bridged by reference; the
// core's event frame shows every error, so the ERP always gets S_OK from an event. The two
// API toggles return a failure HRESULT (with error info) when the core raises.
#pragma once

#include <memory>

#include "QuorilVantrel_h.h"
#include "platform/win32/com_module.h"
#include "platform/win32/type_library.h"
#include "platform/win32/win32_ports.h"
#include "solution/solucao.h"

namespace vantrel::platform::win32 {

class SolucaoCom final : public TypeInfoDispatch<_Solucao>, public ISupportErrorInfo {
public:
    // The class factory's creation: the core's own construction may fail (error 429 when
    // the database component cannot be created), which is returned as the HRESULT.
    static HRESULT create(REFIID iid, void** out);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // _Solucao
    HRESULT STDMETHODCALLTYPE App_OnAntesEntrar(VARIANT* sEmpresa, VARIANT* sUtilizador,
                                                VARIANT* HandleJanela, VARIANT* bError) override;
    HRESULT STDMETHODCALLTYPE App_OnEntrar(VARIANT* sEmpresa, VARIANT* sUtilizador,
                                           VARIANT* HandleJanela, VARIANT* bError) override;
    HRESULT STDMETHODCALLTYPE App_OnAntesSair(VARIANT* bError) override;
    HRESULT STDMETHODCALLTYPE App_OnSair(VARIANT* bError) override;
    HRESULT STDMETHODCALLTYPE App_OnOperacao(IDispatch** Api, VARIANT* Operacao) override;
    HRESULT STDMETHODCALLTYPE App_OnConnectionValidate(VARIANT* sEmpresa, VARIANT* sUtilizador,
                                                       VARIANT* HandleJanela,
                                                       VARIANT* bError) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAbrir(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAntesAbrir(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAntesAnular(IDispatch** objContexto,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAntesFechar(IDispatch** objContexto,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAntesGravar(IDispatch** objContexto,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Compras_OnAnular(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnFechar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnGravar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnLer(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnLimpar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Compras_OnOperacao(IDispatch** objContexto,
                                                 VARIANT* lngOperacao) override;
    HRESULT STDMETHODCALLTYPE Compras_OnValidarLinha(IDispatch** objContexto,
                                                     VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Compras_OnCampoValidar(IDispatch** objContexto, IDispatch** objCampo,
                                                     VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAbrir(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAntesAbrir(IDispatch** objContexto,
                                                  VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAntesAnular(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAntesFechar(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAntesGravar(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnAnular(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnFechar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnGravar(IDispatch** oApi) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnLer(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnLimpar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnOperacao(IDispatch** Api, VARIANT* lngOperacao) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnOperacaoEx(IDispatch** Api, VARIANT* lngOperacao,
                                                  VARIANT* Campos) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnValidarLinha(IDispatch** objContexto,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnCampoValidar(IDispatch** Api, VARIANT* CampoNome,
                                                    VARIANT* CampoValor,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Vendas_OnCampoValidarEx(IDispatch** Api, VARIANT* CampoNome,
                                                      VARIANT* CampoValor, VARIANT* Campos,
                                                      VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAbrir(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAntesAbrir(IDispatch** objContexto,
                                                  VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAntesAnular(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAntesFechar(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAntesGravar(IDispatch** objContexto,
                                                   VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnAnular(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnFechar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnGravar(IDispatch** oApi) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnLer(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnLimpar(IDispatch** objContexto) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnOperacao(IDispatch** objContexto,
                                                VARIANT* lngOperacao) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnValidarLinha(IDispatch** objContexto,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE Stocks_OnCampoValidar(IDispatch** objContexto, IDispatch** objCampo,
                                                    VARIANT* blnCancelar) override;
    HRESULT STDMETHODCALLTYPE pNextApiConnectDisconnect() override;
    HRESULT STDMETHODCALLTYPE Esp_ConnectDisconnectApiNext() override;

private:
    SolucaoCom();
    ~SolucaoCom();
    REFIID iid() const override { return IID__Solucao; }
    solution::Solucao& core() { return *core_; }
    template <class F>
    HRESULT event(F&& body);
    template <class F>
    HRESULT toggle(F&& body);

    std::atomic<ULONG> refs_{1};
    ModuleReference module_;
    Kernel32Profile profile_;
    Win32Dialogs dialogs_;
    Win32Platform platform_;
    ComObjectFactory factory_;
    RegistryCatalog catalog_;
    std::unique_ptr<solution::Solucao> core_;
};

}  // namespace vantrel::platform::win32
