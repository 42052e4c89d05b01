#include "platform/win32/com_error.h"

#include "platform/win32/com_handles.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;
using automation::Text;
using automation::Variant;

namespace errc = automation::errc;

HRESULT hresultOfError(std::int32_t number) {
    if (number < 0) return static_cast<HRESULT>(number);  // already an HRESULT
    if (number == errc::OutOfMemory) return E_OUTOFMEMORY;
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number & 0xFFFF);
}

std::int32_t errorNumberOf(HRESULT hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return HRESULT_CODE(hr);
    switch (hr) {
        case DISP_E_MEMBERNOTFOUND:
        case DISP_E_UNKNOWNNAME:
            return errc::NotSupported;
        case DISP_E_TYPEMISMATCH:
        case DISP_E_BADVARTYPE:
            return errc::TypeMismatch;
        case DISP_E_OVERFLOW:
            return errc::Overflow;
        case DISP_E_PARAMNOTOPTIONAL:
            return errc::ArgumentNotOptional;
        case DISP_E_BADPARAMCOUNT:
        case DISP_E_PARAMNOTFOUND:
        case DISP_E_NONAMEDARGS:
            return errc::WrongArguments;
        case DISP_E_BADINDEX:
            return errc::SubscriptOutOfRange;
        case DISP_E_DIVBYZERO:
            return errc::DivisionByZero;
        case E_OUTOFMEMORY:
            return errc::OutOfMemory;
        case REGDB_E_CLASSNOTREG:
        case CO_E_CLASSSTRING:
        case CLASS_E_CLASSNOTAVAILABLE:
            return errc::CannotCreateObject;
        default:
            return static_cast<std::int32_t>(hr);
    }
}

namespace {
Text describe(HRESULT hr, std::int32_t number) {
    if (number >= 0) return automation::standardDescription(number);
    UniqueLocalMemory buffer;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    Text text = u"Automation error";
    if (n && buffer) {
        Text message = fromWide(static_cast<const wchar_t*>(buffer.get()));
        while (!message.empty() &&
               (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' '))
            message.pop_back();
        if (!message.empty()) text += u"\r\n" + message;
    }
    return text;
}
}  // namespace

void fillExcepInfo(const RuntimeError& error, EXCEPINFO* info) {
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = hresultOfError(error.number());
    info->bstrSource = makeBstr(error.source());
    info->bstrDescription = makeBstr(error.description());
}

RuntimeError errorFromExcepInfo(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) {
        info.pfnDeferredFillIn(&info);
        info.pfnDeferredFillIn = nullptr;
    }
    Bstr source = Bstr::adopt(info.bstrSource);
    Bstr description = Bstr::adopt(info.bstrDescription);
    Bstr help = Bstr::adopt(info.bstrHelpFile);
    info.bstrSource = info.bstrDescription = info.bstrHelpFile = nullptr;
    HRESULT hr = info.scode ? info.scode : static_cast<HRESULT>(info.wCode);
    std::int32_t number = info.scode ? errorNumberOf(info.scode) : info.wCode;
    Text text = textOf(description.get());
    if (text.empty()) text = describe(hr, number);
    return RuntimeError(number, textOf(source.get()), text);
}

RuntimeError errorFromHresult(HRESULT hr) {
    std::int32_t number = errorNumberOf(hr);
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        Bstr source, description;
        info->GetSource(source.put());
        info->GetDescription(description.put());
        Text text = textOf(description.get());
        if (text.empty()) text = describe(hr, number);
        return RuntimeError(number, textOf(source.get()), text);
    }
    return RuntimeError(number, Text(), describe(hr, number));
}

void throwIfFailed(HRESULT hr, const Text& source, const Text& what) {
    if (FAILED(hr)) {
        throw RuntimeError(errc::ApplicationDefined, source,
                           what + u" (" + Variant(static_cast<std::int32_t>(hr)).toText() + u")");
    }
}

HRESULT reportError(const RuntimeError& error, REFIID iid) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(wide(error.source())));
        create->SetDescription(const_cast<LPOLESTR>(wide(error.description())));
        auto info = create.query<IErrorInfo>();
        if (info) SetErrorInfo(0, info.get());
    }
    return hresultOfError(error.number());
}

}  // namespace vantrel::platform::win32
