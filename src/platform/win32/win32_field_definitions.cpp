// The report runtime's field-definition library, called with the runtime's own signature:
//   long CreateFieldDefFile(LPUNKNOWN* lpUnk, LPSTR fileName, long bOverWrite)  (stdcall)
#include <algorithm>
#include <vector>

#include "automation/runtime_error.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_field_definitions.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;
using automation::Text;

namespace {

using CreateFieldDefFileFn = long(__stdcall*)(LPUNKNOWN*, LPSTR, long);
using UniqueLibrary = UniqueHandle<HMODULE, &FreeLibrary>;

constexpr char16_t kSource[] = u"CreateFieldDefFile";

Text libraryName(const std::wstring& library) {
    return Text(library.begin(), library.end());
}

// The name in the ANSI code page, in a buffer the library may write a longer name into.
std::vector<char> ansiBuffer(const Text& text) {
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide(text), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::vector<char> buffer(std::max<std::size_t>(MAX_PATH + 1, needed + 1), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, wide(text), static_cast<int>(text.size()), buffer.data(),
                            needed, nullptr, nullptr);
    return buffer;
}

Text fromAnsiBuffer(const std::vector<char>& buffer) {
    const int length =
        static_cast<int>(std::find(buffer.begin(), buffer.end(), '\0') - buffer.begin());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, buffer.data(), length, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wideLength), L'\0');
    if (wideLength > 0) MultiByteToWideChar(CP_ACP, 0, buffer.data(), length, w.data(), wideLength);
    return fromWide(w.c_str());
}

}  // namespace

std::int32_t P2smonFieldDefinitions::createFieldDefFile(automation::ObjectRef& recordset,
                                                        Text& fileName, std::int32_t overwrite) {
    UniqueLibrary library(LoadLibraryW(library_.c_str()));
    if (!library) {
        throw RuntimeError(automation::errc::FileNotFound, kSource,
                           u"File not found: " + libraryName(library_));
    }
    auto create = reinterpret_cast<CreateFieldDefFileFn>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "CreateFieldDefFile")));
    if (!create) {
        throw RuntimeError(
            453, kSource,
            u"Can't find DLL entry point CreateFieldDefFile in " + libraryName(library_));
    }
    // A host's recordset comes back as its own IDispatch; one of ours is wrapped.
    ComPtr<IDispatch> dispatch = ComPtr<IDispatch>::adopt(dispatchFromObject(recordset));
    ComPtr<IUnknown> unknown;
    if (dispatch) dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.put()));
    // By reference, as the library takes it; it reads the recordset and keeps no reference.
    IUnknown* slot = unknown.get();
    std::vector<char> name = ansiBuffer(fileName);
    const long result = create(&slot, name.data(), overwrite);
    name.back() = '\0';  // a library that filled the whole buffer still ends the text
    fileName = fromAnsiBuffer(name);
    return result;
}

}  // namespace vantrel::platform::win32
