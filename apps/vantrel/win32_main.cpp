// vantrel.exe: the command line of the Windows installation. `doctor` checks why a company
// does not work with the real components (created by ProgID through the same catalog as the
// DLL: HKCU, then HKLM ...\QuorilVantrel\Components, then the defaults); `ini` reads and
// writes a settings file through kernel32's profile functions, as the DLL's cInifile does.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_components.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "settings/cinifile.h"
#include "solution/company_doctor.h"

namespace {

using vantrel::automation::Text;
using namespace vantrel;

const char kUsage[] =
    "usage: vantrel doctor COMPANY [--json]\n"
    "       vantrel doctor --components [--json | --failures]\n"
    "       vantrel ini get FILE SECTION KEY [DEFAULT]\n"
    "       vantrel ini set FILE SECTION KEY VALUE\n"
    "       vantrel ini keys FILE SECTION\n"
    "       vantrel ini sections FILE\n"
    "       vantrel ini delete-key FILE SECTION KEY\n"
    "       vantrel ini delete-section FILE SECTION\n"
    "       vantrel --version\n"
    "\n"
    "doctor  checks, in the order the ERP's entry into COMPANY needs them, the data folder,\n"
    "        the settings file talmek\\VANTREL.<COMPANY>, each key the add-in reads, the\n"
    "        components it creates by ProgID, the company database and the ERP API login:\n"
    "        one line a check (ok, aviso, FALHA), what was found and how to mend a failure.\n"
    "        It changes nothing. --components checks only the components. --json prints one\n"
    "        JSON object a check (check, state, found, mend).\n"
    "        Exit status: 0 nothing fails, 1 a check fails, 2 wrong call.\n"
    "ini     the settings file through GetPrivateProfileStringA / WritePrivateProfileStringA,\n"
    "        texts in the ANSI code page, values read as the add-in reads them (at most 254\n"
    "        characters, lists at most 8,191). Exit status: 0 done, 1 not written, 2 wrong call.\n";

// UTF-16 to the console as it is; to a file or pipe as UTF-8.
void write(const std::string& utf8, DWORD which = STD_OUTPUT_HANDLE) {
    HANDLE h = GetStdHandle(which);
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        Text t = automation::fromUtf8(utf8);
        DWORD written = 0;
        WriteConsoleW(h, reinterpret_cast<const wchar_t*>(t.data()), static_cast<DWORD>(t.size()),
                      &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int usageError(const std::string& message) {
    write("vantrel: " + message + "\n\n" + kUsage, STD_ERROR_HANDLE);
    return 2;
}

class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT hr_;
};

int doctor(const std::vector<Text>& args) {
    bool json = false, componentsOnly = false, failures = false;
    Text company;
    bool haveCompany = false;
    for (const Text& a : args) {
        if (a == u"--help" || a == u"-h") {
            write(kUsage);
            return 0;
        }
        if (a == u"--json") {
            json = true;
        } else if (a == u"--components") {
            componentsOnly = true;
        } else if (a == u"--failures") {
            failures = true;
        } else if (!a.empty() && a[0] == u'-') {
            return usageError("doctor: unknown option '" + automation::toUtf8(a) + "'");
        } else if (haveCompany) {
            return usageError("doctor: one company only");
        } else {
            company = a;
            haveCompany = true;
        }
    }
    if (!haveCompany && !componentsOnly) return usageError("doctor: missing the company code");
    if (haveCompany && company.empty()) return usageError("doctor: the company code is empty");

    ComApartment apartment;
    platform::win32::ComObjectFactory factory;
    platform::win32::RegistryCatalog catalog;
    platform::win32::Win32Dialogs dialogs;
    platform::win32::Kernel32Profile profile;
    platform::win32::Win32Platform platform;
    interfaces::Services services{&factory, &catalog, &dialogs, &profile, &platform};
    auto checks = haveCompany ? solution::examineCompany(services, company)
                              : solution::examineComponents(services);
    if (failures) {
        std::string out;
        for (const auto& c : checks) {
            if (c.state == solution::CheckState::Fails)
                out += automation::toUtf8(c.subject.empty() ? c.check : c.subject) + "\n";
        }
        write(out);
    } else {
        write(json ? solution::doctorReportJson(checks) : solution::doctorReportText(checks));
    }
    return solution::doctorExitCode(checks);
}

void writeNames(const Text& list, bool skipEmpty) {
    std::string out;
    std::size_t pos = 0;
    for (auto end = list.find(u'\0'); end != Text::npos; end = list.find(u'\0', pos)) {
        if (end > pos || !skipEmpty) out += automation::toUtf8(list.substr(pos, end - pos)) + "\n";
        pos = end + 1;
    }
    write(out);
}

int ini(const std::vector<Text>& args) {
    if (args.empty()) return usageError("ini: missing the action");
    struct Shape {
        const char16_t* action;
        std::size_t least, most;  // words after the action
    };
    static const Shape shapes[] = {{u"get", 3, 4},        {u"keys", 2, 2},
                                   {u"sections", 1, 1},   {u"set", 4, 4},
                                   {u"delete-key", 3, 3}, {u"delete-section", 2, 2}};
    const Shape* shape = nullptr;
    for (const auto& s : shapes) {
        if (args[0] == s.action) shape = &s;
    }
    if (!shape) return usageError("ini: unknown action '" + automation::toUtf8(args[0]) + "'");
    std::size_t given = args.size() - 1;
    if (given < shape->least || given > shape->most)
        return usageError("ini: wrong number of arguments for '" + automation::toUtf8(args[0]) +
                          "'");
    if (args[1].empty()) return usageError("ini: FILE is empty");

    platform::win32::Kernel32Profile profile;
    settings::cInifile file(profile);
    file.setPath(args[1]);
    if (given >= 2) file.setSection(args[2]);
    if (given >= 3) file.setKey(args[3]);
    const Text& action = args[0];
    if (action == u"get") {
        if (given == 4) file.setDefault(args[4]);
        write(automation::toUtf8(file.Value()) + "\n");
        return 0;
    }
    if (action == u"keys") {
        writeNames(file.INISection(), false);
        return 0;
    }
    if (action == u"sections") {
        writeNames(file.Sections(), true);
        return 0;
    }
    if (action == u"set") {
        file.setValue(args[4]);
    } else if (action == u"delete-key") {
        file.DeleteKey();
    } else {
        file.DeleteSection();
    }
    if (file.Success()) return 0;
    write("vantrel ini: " + automation::toUtf8(args[1]) + " was not changed (error " +
              std::to_string(GetLastError()) + ")\n",
          STD_ERROR_HANDLE);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<Text> args;
    for (int i = 1; i < argc; ++i) args.push_back(platform::win32::fromWide(argv[i]));
    if (args.empty()) return usageError("missing the command");
    const Text command = args[0];
    args.erase(args.begin());
    if (command == u"--version") {
        write("vantrel " VANTREL_VERSION "\n");
        return 0;
    }
    if (command == u"--help" || command == u"-h" || command == u"help") {
        write(kUsage);
        return 0;
    }
    try {
        if (command == u"doctor") return doctor(args);
        if (command == u"ini") return ini(args);
    } catch (const std::exception& e) {
        write(std::string("vantrel: ") + e.what() + "\n", STD_ERROR_HANDLE);
        return 1;
    }
    return usageError("unknown command '" + automation::toUtf8(command) + "'");
}
