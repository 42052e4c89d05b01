#include "platform/win32/result_com.h"

#include "platform/win32/com_error.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::platform::win32 {

HRESULT ResultCom::put_Mensagem(BSTR* value) {
    if (!value) return E_POINTER;
    return guardedCall(IID__Result, [&] { record_.setMensagem(textOf(*value)); });
}

HRESULT ResultCom::get_Mensagem(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return guardedCall(IID__Result, [&] { *value = makeBstr(record_.Mensagem()); });
}

HRESULT ResultCom::put_tipo(enum EnumResult* value) {
    if (!value) return E_POINTER;
    record_.setTipo(static_cast<documents::EnumResult>(static_cast<std::int32_t>(*value)));
    return S_OK;
}

HRESULT ResultCom::get_tipo(enum EnumResult* value) {
    if (!value) return E_POINTER;
    *value = static_cast<enum EnumResult>(static_cast<std::int32_t>(record_.tipo()));
    return S_OK;
}

HRESULT ResultCom::put_ErroNum(LONG* value) {
    if (!value) return E_POINTER;
    record_.setErroNum(static_cast<std::int32_t>(*value));
    return S_OK;
}

HRESULT ResultCom::get_ErroNum(LONG* value) {
    if (!value) return E_POINTER;
    *value = record_.ErroNum();
    return S_OK;
}

}  // namespace vantrel::platform::win32
