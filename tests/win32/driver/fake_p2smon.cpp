// A field-definition library for the Wine driver, with the report runtime's entry point
//   long __stdcall CreateFieldDefFile(LPUNKNOWN* lpUnk, LPSTR fileName, long bOverWrite)
// It reads the recordset through IDispatch (Fields.Count, Fields.Item(i).Name), writes one
// name per line to the file, and gives the full path back in the caller's buffer, so the
// driver checks the calling convention, the recordset by reference and the name both ways.
#include <windows.h>

#include <oleauto.h>

#include <string>

namespace {

// obj.name(args) read as a property; VT_EMPTY on failure.
VARIANT getMember(IDispatch* object, const wchar_t* name, VARIANT* arg = nullptr) {
    VARIANT result;
    VariantInit(&result);
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (!object || FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return result;
    DISPPARAMS params = {arg, nullptr, arg ? 1u : 0u, 0};
    object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                   &params, &result, nullptr, nullptr);
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) long __stdcall CreateFieldDefFile(LPUNKNOWN* lpUnk, LPSTR fileName,
                                                                   long bOverWrite) {
    if (!lpUnk || !*lpUnk || !fileName) return 0;
    IDispatch* recordset = nullptr;
    if (FAILED((*lpUnk)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&recordset))))
        return 0;
    std::string lines = "overwrite " + std::to_string(bOverWrite) + "\r\n";
    VARIANT fields = getMember(recordset, L"Fields");
    VARIANT count = getMember(fields.vt == VT_DISPATCH ? fields.pdispVal : nullptr, L"Count");
    VariantChangeType(&count, &count, 0, VT_I4);
    for (long i = 0; count.vt == VT_I4 && i < count.lVal; ++i) {
        VARIANT index;
        index.vt = VT_I4;
        index.lVal = i;
        VARIANT field = getMember(fields.pdispVal, L"Item", &index);
        VARIANT name = getMember(field.vt == VT_DISPATCH ? field.pdispVal : nullptr, L"Name");
        if (name.vt == VT_BSTR) {
            char ansi[256] = {};
            WideCharToMultiByte(CP_ACP, 0, name.bstrVal, -1, ansi, sizeof ansi, nullptr, nullptr);
            lines += std::string(ansi) + "\r\n";
        }
        VariantClear(&name);
        VariantClear(&field);
    }
    VariantClear(&fields);
    recordset->Release();

    HANDLE file =
        CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, bOverWrite ? CREATE_ALWAYS : CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
    char full[MAX_PATH] = {};
    if (GetFullPathNameA(fileName, MAX_PATH, full, nullptr)) lstrcpynA(fileName, full, MAX_PATH);
    return 1;
}
