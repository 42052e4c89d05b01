// The reference side of the INI differential test: runs the cases through kernel32's
// GetPrivateProfileStringA / WritePrivateProfileStringA and prints the report.
//   ini_driver.exe CASES_FILE WORK_FOLDER [REPORT_FILE]
// WORK_FOLDER is a Windows path; the report goes to REPORT_FILE or to standard output.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "case_file.h"
#include "ini_cases.h"

namespace {

using namespace vantrel::tests::inicases;

class Kernel32 : public Backend {
public:
    std::uint32_t getString(const char* section, const char* key, const char* def, char* buffer,
                            std::uint32_t size, const char* file) override {
        return GetPrivateProfileStringA(section, key, def, buffer, size, file);
    }
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override {
        return WritePrivateProfileStringA(section, key, text, file);
    }
    // Three null arguments flush and drop the cached copy of the file.
    void forget(const char* file) override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: ini_driver CASES_FILE WORK_FOLDER [REPORT_FILE]\n", stderr);
        return 2;
    }
    std::vector<Case> cases;
    if (!vantrel::tests::loadCases(argv[1], cases, parseCases)) return 2;
    std::string error;
    Kernel32 backend;
    std::string report = runCases(cases, backend, Workspace{argv[2], argv[2]}, error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // The code page decides how file bytes become characters; the cases assume 1252.
    report = "codepage " + std::to_string(GetACP()) + "\n" + report;
    if (argc > 3) {
        std::ofstream out(argv[3], std::ios::binary);
        out << report;
        return out ? 0 : 1;
    }
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}
