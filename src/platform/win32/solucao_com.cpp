#include "platform/win32/solucao_com.h"

#include "platform/win32/com_error.h"
#include "platform/win32/event_parameters.h"

namespace vantrel::platform::win32 {

SolucaoCom::SolucaoCom()
    : dialogs_([this]() -> HWND {
          return core_ ? liveWindow(core_->fields().mHandleJanela) : nullptr;
      }) {
    interfaces::Services services;
    services.factory = &factory_;
    services.components = &catalog_;
    services.dialogs = &dialogs_;
    services.profile = &profile_;
    services.platform = &platform_;
    core_ = std::make_unique<solution::Solucao>(services);
}

SolucaoCom::~SolucaoCom() = default;

HRESULT SolucaoCom::create(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    SolucaoCom* object = nullptr;
    HRESULT hr = guardedCall(IID__Solucao, [&] { object = new SolucaoCom(); });
    if (FAILED(hr)) return hr;
    hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

HRESULT SolucaoCom::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__Solucao) {
        *out = static_cast<_Solucao*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
        *out = static_cast<ISupportErrorInfo*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG SolucaoCom::AddRef() {
    return ++refs_;
}

ULONG SolucaoCom::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT SolucaoCom::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == IID__Solucao ? S_OK : S_FALSE;
}

template <class F>
HRESULT SolucaoCom::event(F&& body) {
    return guardedCall(IID__Solucao, std::forward<F>(body));
}

template <class F>
HRESULT SolucaoCom::toggle(F&& body) {
    return guardedCall(IID__Solucao, std::forward<F>(body));
}

HRESULT SolucaoCom::App_OnAntesEntrar(VARIANT* sEmpresa, VARIANT* sUtilizador,
                                      VARIANT* HandleJanela, VARIANT* bError) {
    return event([&] {
        core().App_OnAntesEntrar(param(sEmpresa), param(sUtilizador), param(HandleJanela),
                                 param(bError));
    });
}

HRESULT SolucaoCom::App_OnEntrar(VARIANT* sEmpresa, VARIANT* sUtilizador, VARIANT* HandleJanela,
                                 VARIANT* bError) {
    return event([&] {
        core().App_OnEntrar(param(sEmpresa), param(sUtilizador), param(HandleJanela),
                            param(bError));
    });
}

HRESULT SolucaoCom::App_OnAntesSair(VARIANT* bError) {
    return event([&] { core().App_OnAntesSair(param(bError)); });
}

HRESULT SolucaoCom::App_OnSair(VARIANT* bError) {
    return event([&] { core().App_OnSair(param(bError)); });
}

HRESULT SolucaoCom::App_OnOperacao(IDispatch** Api, VARIANT* Operacao) {
    return event([&] { core().App_OnOperacao(param(Api), param(Operacao)); });
}

HRESULT SolucaoCom::App_OnConnectionValidate(VARIANT* sEmpresa, VARIANT* sUtilizador,
                                             VARIANT* HandleJanela, VARIANT* bError) {
    return event([&] {
        core().App_OnConnectionValidate(param(sEmpresa), param(sUtilizador), param(HandleJanela),
                                        param(bError));
    });
}

HRESULT SolucaoCom::Compras_OnAbrir(IDispatch** objContexto) {
    return event([&] { core().Compras_OnAbrir(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnAntesAbrir(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Compras_OnAntesAbrir(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Compras_OnAntesAnular(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Compras_OnAntesAnular(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Compras_OnAntesFechar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Compras_OnAntesFechar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Compras_OnAntesGravar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Compras_OnAntesGravar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Compras_OnAnular(IDispatch** objContexto) {
    return event([&] { core().Compras_OnAnular(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnFechar(IDispatch** objContexto) {
    return event([&] { core().Compras_OnFechar(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnGravar(IDispatch** objContexto) {
    return event([&] { core().Compras_OnGravar(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnLer(IDispatch** objContexto) {
    return event([&] { core().Compras_OnLer(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnLimpar(IDispatch** objContexto) {
    return event([&] { core().Compras_OnLimpar(param(objContexto)); });
}

HRESULT SolucaoCom::Compras_OnOperacao(IDispatch** objContexto, VARIANT* lngOperacao) {
    return event([&] { core().Compras_OnOperacao(param(objContexto), param(lngOperacao)); });
}

HRESULT SolucaoCom::Compras_OnValidarLinha(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Compras_OnValidarLinha(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Compras_OnCampoValidar(IDispatch** objContexto, IDispatch** objCampo,
                                           VARIANT* blnCancelar) {
    return event([&] {
        core().Compras_OnCampoValidar(param(objContexto), param(objCampo), param(blnCancelar));
    });
}

HRESULT SolucaoCom::Vendas_OnAbrir(IDispatch** objContexto) {
    return event([&] { core().Vendas_OnAbrir(param(objContexto)); });
}

HRESULT SolucaoCom::Vendas_OnAntesAbrir(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Vendas_OnAntesAbrir(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Vendas_OnAntesAnular(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Vendas_OnAntesAnular(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Vendas_OnAntesFechar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Vendas_OnAntesFechar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Vendas_OnAntesGravar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Vendas_OnAntesGravar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Vendas_OnAnular(IDispatch** objContexto) {
    return event([&] { core().Vendas_OnAnular(param(objContexto)); });
}

HRESULT SolucaoCom::Vendas_OnFechar(IDispatch** objContexto) {
    return event([&] { core().Vendas_OnFechar(param(objContexto)); });
}

HRESULT SolucaoCom::Vendas_OnGravar(IDispatch** oApi) {
    return event([&] { core().Vendas_OnGravar(param(oApi)); });
}

HRESULT SolucaoCom::Vendas_OnLer(IDispatch** objContexto) {
    return event([&] { core().Vendas_OnLer(param(objContexto)); });
}

HRESULT SolucaoCom::Vendas_OnLimpar(IDispatch** objContexto) {
    return event([&] { core().Vendas_OnLimpar(param(objContexto)); });
}

HRESULT SolucaoCom::Vendas_OnOperacao(IDispatch** Api, VARIANT* lngOperacao) {
    return event([&] { core().Vendas_OnOperacao(param(Api), param(lngOperacao)); });
}

HRESULT SolucaoCom::Vendas_OnOperacaoEx(IDispatch** Api, VARIANT* lngOperacao, VARIANT* Campos) {
    return event(
        [&] { core().Vendas_OnOperacaoEx(param(Api), param(lngOperacao), param(Campos)); });
}

HRESULT SolucaoCom::Vendas_OnValidarLinha(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Vendas_OnValidarLinha(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Vendas_OnCampoValidar(IDispatch** Api, VARIANT* CampoNome, VARIANT* CampoValor,
                                          VARIANT* blnCancelar) {
    return event([&] {
        core().Vendas_OnCampoValidar(param(Api), param(CampoNome), param(CampoValor),
                                     param(blnCancelar));
    });
}

HRESULT SolucaoCom::Vendas_OnCampoValidarEx(IDispatch** Api, VARIANT* CampoNome,
                                            VARIANT* CampoValor, VARIANT* Campos,
                                            VARIANT* blnCancelar) {
    return event([&] {
        core().Vendas_OnCampoValidarEx(param(Api), param(CampoNome), param(CampoValor),
                                       param(Campos), param(blnCancelar));
    });
}

HRESULT SolucaoCom::Stocks_OnAbrir(IDispatch** objContexto) {
    return event([&] { core().Stocks_OnAbrir(param(objContexto)); });
}

HRESULT SolucaoCom::Stocks_OnAntesAbrir(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Stocks_OnAntesAbrir(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Stocks_OnAntesAnular(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Stocks_OnAntesAnular(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Stocks_OnAntesFechar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Stocks_OnAntesFechar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Stocks_OnAntesGravar(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Stocks_OnAntesGravar(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Stocks_OnAnular(IDispatch** objContexto) {
    return event([&] { core().Stocks_OnAnular(param(objContexto)); });
}

HRESULT SolucaoCom::Stocks_OnFechar(IDispatch** objContexto) {
    return event([&] { core().Stocks_OnFechar(param(objContexto)); });
}

HRESULT SolucaoCom::Stocks_OnGravar(IDispatch** oApi) {
    return event([&] { core().Stocks_OnGravar(param(oApi)); });
}

HRESULT SolucaoCom::Stocks_OnLer(IDispatch** objContexto) {
    return event([&] { core().Stocks_OnLer(param(objContexto)); });
}

HRESULT SolucaoCom::Stocks_OnLimpar(IDispatch** objContexto) {
    return event([&] { core().Stocks_OnLimpar(param(objContexto)); });
}

HRESULT SolucaoCom::Stocks_OnOperacao(IDispatch** objContexto, VARIANT* lngOperacao) {
    return event([&] { core().Stocks_OnOperacao(param(objContexto), param(lngOperacao)); });
}

HRESULT SolucaoCom::Stocks_OnValidarLinha(IDispatch** objContexto, VARIANT* blnCancelar) {
    return event([&] { core().Stocks_OnValidarLinha(param(objContexto), param(blnCancelar)); });
}

HRESULT SolucaoCom::Stocks_OnCampoValidar(IDispatch** objContexto, IDispatch** objCampo,
                                          VARIANT* blnCancelar) {
    return event([&] {
        core().Stocks_OnCampoValidar(param(objContexto), param(objCampo), param(blnCancelar));
    });
}

HRESULT SolucaoCom::pNextApiConnectDisconnect() {
    return toggle([&] { core().pNextApiConnectDisconnect(); });
}

HRESULT SolucaoCom::Esp_ConnectDisconnectApiNext() {
    return toggle([&] { core().Esp_ConnectDisconnectApiNext(); });
}
}  // namespace vantrel::platform::win32
