// The COM class Result: the outcome record of a document operation, creatable by the host
// under QuorilVantrel.Result. Plain properties over documents::Result.
#pragma once

#include "QuorilVantrel_h.h"
#include "documents/result.h"
#include "platform/win32/com_object.h"
#include "platform/win32/type_info_dispatch.h"

namespace vantrel::platform::win32 {

class ResultCom final
    : public ComObject<ResultCom, TypeInfoDispatch<_Result>, ErrorInfoFor<_Result>> {
public:
    static HRESULT create(REFIID iid, void** out) { return createInstance(iid, out); }

    HRESULT STDMETHODCALLTYPE put_Mensagem(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Mensagem(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_tipo(enum EnumResult* value) override;
    HRESULT STDMETHODCALLTYPE get_tipo(enum EnumResult* value) override;
    HRESULT STDMETHODCALLTYPE put_ErroNum(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_ErroNum(LONG* value) override;

    const documents::Result& record() const { return record_; }

private:
    friend ComObject;
    ResultCom() = default;
    ~ResultCom() override = default;

    documents::Result record_;
};

}  // namespace vantrel::platform::win32
