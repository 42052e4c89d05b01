// Reads the version resource of Windows files as Explorer's properties page does, and makes
// an older build for the setup's upgrade tests without compiling the add-in twice.
//   vantrel_version_info.exe FILE...
//       one line per file: FILE, then "key=value" fields separated by tabs: fixed (file
//       version of VS_FIXEDFILEINFO), product (its product version), block (the first
//       Translation as a StringFileInfo block name), then the block's strings
//   vantrel_version_info.exe --stamp FILE VERSION
//       rewrites FILE's version resource with VERSION (major.minor.patch) in place of its
//       own, which must have as many characters (2.0.0 -> 1.9.0)
//   vantrel_version_info.exe --lock FILE
//       keeps FILE open for reading only, as Windows keeps a DLL that a host has loaded,
//       until C:\vantrel-release-lock appears (at most two minutes); prints "locked" first
// Exit code 0, or 1 when a file has no readable version resource (its line says why).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/com_handles.h"

namespace {

using UniqueLibrary = vantrel::platform::win32::UniqueHandle<HMODULE, &FreeLibrary>;

std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring dotted(DWORD ms, DWORD ls) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
    return text;
}

// The strings that Explorer's properties page shows.
constexpr const wchar_t* kKeys[] = {L"CompanyName",  L"FileDescription", L"FileVersion",
                                    L"InternalName", L"LegalCopyright",  L"OriginalFilename",
                                    L"ProductName",  L"ProductVersion"};

bool describe(const std::wstring& file, std::wstring& line) {
    line = file;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) {
        line += L"\terror=no version resource (" + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) {
        line += L"\terror=unreadable version resource";
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE) {
        line += L"\terror=no fixed file information";
        return false;
    }
    line += L"\tfixed=" + dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    line += L"\tproduct=" + dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    WORD* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
        line += L"\terror=no Translation";
        return false;
    }
    wchar_t block[16];
    std::swprintf(block, 16, L"%04X%04X", translation[0], translation[1]);
    line += std::wstring(L"\tblock=") + block;
    for (const wchar_t* key : kKeys) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + key;
        wchar_t* value = nullptr;
        if (VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
            value)
            line += std::wstring(L"\t") + key + L"=" + value;
    }
    return true;
}

// Finds the language under which the file keeps its version resource.
BOOL CALLBACK firstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

bool parseVersion(const std::wstring& text, WORD parts[3]) {
    unsigned a = 0, b = 0, c = 0;
    wchar_t tail = 0;
    if (std::swscanf(text.c_str(), L"%u.%u.%u%lc", &a, &b, &c, &tail) != 3) return false;
    if (a > 0xFFFF || b > 0xFFFF || c > 0xFFFF) return false;
    parts[0] = static_cast<WORD>(a), parts[1] = static_cast<WORD>(b),
    parts[2] = static_cast<WORD>(c);
    return true;
}

// Replaces every UTF-16 occurrence of `from` by `to` (same length) inside the resource.
int replaceText(std::vector<BYTE>& data, const std::wstring& from, const std::wstring& to) {
    std::size_t bytes = from.size() * sizeof(wchar_t);
    int count = 0;
    for (std::size_t at = 0; at + bytes <= data.size(); at += 2)
        if (std::memcmp(data.data() + at, from.data(), bytes) == 0) {
            std::memcpy(data.data() + at, to.data(), bytes);
            ++count;
        }
    return count;
}

int stamp(const std::wstring& file, const std::wstring& version) {
    WORD parts[3];
    if (!parseVersion(version, parts)) {
        std::printf("--stamp: \"%s\" is not major.minor.patch\n", utf8(version).c_str());
        return 2;
    }
    std::vector<BYTE> data;
    WORD language = 0;
    {
        UniqueLibrary module(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        HRSRC found =
            module ? FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_VERSION) : nullptr;
        HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
        if (!loaded) {
            std::printf("--stamp: %s has no version resource\n", utf8(file).c_str());
            return 1;
        }
        EnumResourceLanguagesW(module.get(), RT_VERSION, MAKEINTRESOURCEW(1), firstLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
        auto* begin = static_cast<const BYTE*>(LockResource(loaded));
        data.assign(begin, begin + SizeofResource(module.get(), found));
    }
    // The fixed part follows its signature; its first four fields are the two versions.
    const DWORD signature = VS_FFI_SIGNATURE;
    VS_FIXEDFILEINFO* fixed = nullptr;
    for (std::size_t at = 0; at + sizeof(VS_FIXEDFILEINFO) <= data.size(); at += 4)
        if (std::memcmp(data.data() + at, &signature, sizeof signature) == 0) {
            fixed = reinterpret_cast<VS_FIXEDFILEINFO*>(data.data() + at);
            break;
        }
    if (!fixed) {
        std::printf("--stamp: %s has no fixed file information\n", utf8(file).c_str());
        return 1;
    }
    std::wstring old = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                       std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                       std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    if (old.size() != version.size()) {
        std::printf("--stamp: %s must have as many characters as %s\n", utf8(version).c_str(),
                    utf8(old).c_str());
        return 2;
    }
    fixed->dwFileVersionMS = fixed->dwProductVersionMS = MAKELONG(parts[1], parts[0]);
    fixed->dwFileVersionLS = fixed->dwProductVersionLS = MAKELONG(0, parts[2]);
    replaceText(data, old, version);
    HANDLE update = BeginUpdateResourceW(file.c_str(), FALSE);
    bool updated = update && UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), language,
                                             data.data(), static_cast<DWORD>(data.size()));
    // Ending the update writes the file, or with TRUE leaves it as it was.
    if (update && !EndUpdateResourceW(update, !updated)) updated = false;
    if (!updated) {
        std::printf("--stamp: cannot rewrite %s (%lu)\n", utf8(file).c_str(), GetLastError());
        return 1;
    }
    return 0;
}

int lock(const std::wstring& file) {
    vantrel::platform::win32::UniqueFileHandle held(
        CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) {
        std::printf("--lock: cannot open %s (%lu)\n", utf8(file).c_str(), GetLastError());
        return 1;
    }
    std::printf("locked\n");
    for (int waited = 0; waited < 1200; ++waited) {
        if (GetFileAttributesW(L"C:\\vantrel-release-lock") != INVALID_FILE_ATTRIBUTES) break;
        Sleep(100);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 4 && std::wstring(argv[1]) == L"--stamp") return stamp(argv[2], argv[3]);
    if (argc == 3 && std::wstring(argv[1]) == L"--lock") return lock(argv[2]);
    if (argc < 2 || argv[1][0] == L'-') {
        std::printf(
            "usage: vantrel_version_info FILE... | --stamp FILE MAJOR.MINOR.PATCH | --lock FILE\n");
        return 2;
    }
    int rc = 0;
    for (int i = 1; i < argc; ++i) {
        std::wstring line;
        if (!describe(argv[i], line)) rc = 1;
        std::printf("%s\n", utf8(line).c_str());
    }
    return rc;
}
