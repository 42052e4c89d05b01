// The COM class Result: the outcome record of a document operation, creatable by the host
// under QuorilVantrel.Result. Plain properties over documents::Result.
#pragma once

#include "QuorilVantrel_h.h"
#include "documents/result.h"
#include "platform/win32/com_module.h"
#include "platform/win32/type_library.h"

namespace vantrel::platform::win32 {

class ResultCom final : public TypeInfoDispatch<_Result>, public ISupportErrorInfo {
public:
    static HRESULT create(REFIID iid, void** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    HRESULT STDMETHODCALLTYPE put_Mensagem(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Mensagem(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_tipo(enum EnumResult* value) override;
    HRESULT STDMETHODCALLTYPE get_tipo(enum EnumResult* value) override;
    HRESULT STDMETHODCALLTYPE put_ErroNum(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_ErroNum(LONG* value) override;

    const documents::Result& record() const { return record_; }

private:
    ResultCom() = default;
    ~ResultCom() = default;
    REFIID iid() const override { return IID__Result; }

    std::atomic<ULONG> refs_{1};
    ModuleReference module_;
    documents::Result record_;
};

}  // namespace vantrel::platform::win32
