#include "save_chooser.h"

#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::com {

using automation::Text;

namespace {

// The control's "dialog failure" number (cdlDialogFailure).
constexpr std::int32_t kDialogFailure = -32768;

// Flags of the caller that mean something to a save dialog; the rest (multiple selection,
// hooks and templates the stand-in has none of) are dropped.
constexpr DWORD kCallerFlags = OFN_READONLY | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
                               OFN_NOCHANGEDIR | OFN_NOVALIDATE | OFN_PATHMUSTEXIST |
                               OFN_FILEMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN |
                               OFN_NOTESTFILECREATE | OFN_NODEREFERENCELINKS;
// Always: the Explorer-style window; the process's current folder left alone (the host
// resolves relative paths against it); a warning before an existing file is chosen, since
// the report outputs delete that file without asking; and a folder that exists.
constexpr DWORD kOwnFlags =
    OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

std::wstring wideOf(automation::TextView t) {
    return std::wstring(t.begin(), t.end());
}

// "description\0pattern\0...\0\0", as OPENFILENAME takes the filter.
std::wstring filterList(const std::vector<dialogs::FilterEntry>& filters) {
    std::wstring list;
    for (const auto& f : filters) {
        list += wideOf(f.description);
        list += L'\0';
        list += wideOf(f.pattern);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

const wchar_t* orNull(const std::wstring& s) {
    return s.empty() ? nullptr : s.c_str();
}

}  // namespace

std::optional<Text> chooseSaveFile(const dialogs::SaveRequest& request) {
    // Long paths: the dialog refuses a name that does not fit rather than cutting it.
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring start = wideOf(request.fileName);
    if (start.size() < file.size()) start.copy(file.data(), start.size());
    const std::wstring filters = filterList(request.filters);
    const std::wstring title = wideOf(request.title);
    const std::wstring folder = wideOf(request.initialFolder);
    const std::wstring extension = wideOf(request.defaultExtension);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = request.filters.empty() ? nullptr : filters.c_str();
    // The control counts filters from 1 and shows the first for 0; the dialog would take 0
    // as "the custom filter", which there is none of.
    ofn.nFilterIndex = static_cast<DWORD>(request.selectedFilter() + 1);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = orNull(folder);
    ofn.lpstrTitle = orNull(title);
    ofn.lpstrDefExt = orNull(extension);
    ofn.Flags = (static_cast<DWORD>(request.flags) & kCallerFlags) | kOwnFlags;
    if (GetSaveFileNameW(&ofn)) return Text(file.data(), file.data() + wcslen(file.data()));
    const DWORD code = CommDlgExtendedError();
    if (code == 0) return std::nullopt;  // the user cancelled
    const char* what = code == FNERR_INVALIDFILENAME  ? "the file name is not valid"
                       : code == FNERR_BUFFERTOOSMALL ? "the file name is too long"
                                                      : "the dialog could not be shown";
    char text[160];
    std::snprintf(text, sizeof text, "The save dialog failed: %s (CommDlgExtendedError 0x%04lX)",
                  what, static_cast<unsigned long>(code));
    throw automation::RuntimeError(kDialogFailure, u"CommonDialog", automation::fromUtf8(text));
}

}  // namespace vantrel::substitutes::com
