// The engine side of the INI differential test, and the comparison of two reports.
//   ini_cases_native run CASES_FILE HOST_FOLDER WINDOWS_FOLDER REPORT_FILE
//     runs the cases through our profile engine; HOST_FOLDER and WINDOWS_FOLDER name the
//     same folder, as Linux and as a Windows path (what nativePath turns back into it).
//   ini_cases_native run-cinifile CASES_FILE HOST_FOLDER WINDOWS_FOLDER REPORT_FILE
//     the same through cInifile over the engine (to compare with the Windows build's
//     cInifile over kernel32: the Wine driver's --ini-cases)
//   ini_cases_native compare REFERENCE_REPORT ENGINE_REPORT [OUR_ANSWERS]
//     compares the reports case by case and ends with "N passed, M failed". The cases marked
//     differs-on-purpose must differ from the reference, and be OUR_ANSWERS when given.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "case_file.h"
#include "ini_cases.h"
#include "ini_cinifile_backend.h"
#include "platform/posix/profile_engine.h"

namespace {

using namespace vantrel::tests::inicases;

class Engine : public Backend {
public:
    std::uint32_t getString(const char* section, const char* key, const char* def, char* buffer,
                            std::uint32_t size, const char* file) override {
        return engine_.getString(section, key, def, buffer, size, file);
    }
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override {
        return engine_.writeString(section, key, text, file);
    }

    vantrel::platform::posix::ProfileEngine& engine() { return engine_; }

private:
    vantrel::platform::posix::ProfileEngine engine_;
};

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

int run(int argc, char** argv, bool throughCinifile) {
    if (argc != 6) return 2;
    std::vector<Case> cases;
    if (!vantrel::tests::loadCases(argv[2], cases, parseCases)) return 2;
    std::string error;
    Engine engine;
    CinifileBackend settings(engine.engine());
    Backend& backend = throughCinifile ? static_cast<Backend&>(settings) : engine;
    std::string report = runCases(cases, backend, Workspace{argv[3], argv[4]}, error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // The engine reads and writes Windows-1252, the code page the reference must run with.
    std::ofstream out(argv[5], std::ios::binary);
    out << "codepage 1252\n" << report;
    return out ? 0 : 1;
}

int compare(int argc, char** argv) {
    if (argc != 4 && argc != 5) return 2;
    std::string reference, engine, ours;
    if (!vantrel::tests::readWholeFile(argv[2], reference) ||
        !vantrel::tests::readWholeFile(argv[3], engine) ||
        (argc == 5 && !vantrel::tests::readWholeFile(argv[4], ours))) {
        std::fprintf(stderr, "cannot read the reports\n");
        return 2;
    }
    if (firstLine(reference) != firstLine(engine)) {
        std::printf("the reference ran with \"%s\", the engine with \"%s\"\n",
                    firstLine(reference).c_str(), firstLine(engine).c_str());
        return 1;
    }
    int total = 0;
    std::string details;
    int passed = compareReports(reference, engine, total, details, argc == 5 ? &ours : nullptr);
    std::fputs(details.c_str(), stdout);
    std::printf("%d passed, %d failed\n", passed, total - passed);
    return passed == total && total > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    int code = mode == "run"            ? run(argc, argv, false)
               : mode == "run-cinifile" ? run(argc, argv, true)
               : mode == "compare"      ? compare(argc, argv)
                                        : 2;
    if (code == 2 && mode != "run" && mode != "run-cinifile" && mode != "compare") {
        std::fputs(
            "usage: ini_cases_native run|run-cinifile CASES HOST_FOLDER WINDOWS_FOLDER REPORT\n"
            "       ini_cases_native compare REFERENCE_REPORT ENGINE_REPORT [OUR_ANSWERS]\n",
            stderr);
    }
    return code;
}
