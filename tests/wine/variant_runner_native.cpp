// The native side of the Variant differential test.
//   variant_runner_native run CASES_FILE REPORT_FILE
//   variant_runner_native compare OLEAUT32_REPORT OUR_REPORT DIFFERENCES_FILE
// compare ends with "N passed, M failed".
#include <cstdio>
#include <fstream>
#include <iterator>

#include "variant_native.h"

namespace {

using namespace vantrel::tests::variantcases;

bool readFile(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in);
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 4) {
        std::ifstream in(argv[2], std::ios::binary);
        std::vector<Case> cases;
        std::string error;
        if (!in || !parseCases(in, cases, error)) {
            std::fprintf(stderr, "%s: %s\n", argv[2], in ? error.c_str() : "cannot open");
            return 2;
        }
        std::ofstream out(argv[3], std::ios::binary);
        out << runNative(cases);
        return out ? 0 : 1;
    }
    if (mode == "compare" && argc == 5) {
        std::string reference, ours, differences, details;
        if (!readFile(argv[2], reference) || !readFile(argv[3], ours) || !readFile(argv[4], differences)) {
            std::fputs("cannot read the reports\n", stderr);
            return 2;
        }
        int total = 0;
        int passed = compareReports(reference, ours, differences, total, details);
        std::fputs(details.c_str(), stdout);
        std::printf("%d passed, %d failed\n", passed, total - passed);
        return passed == total && total > 0 ? 0 : 1;
    }
    std::fputs("usage: variant_runner_native run CASES REPORT\n"
               "       variant_runner_native compare OLEAUT32_REPORT OUR_REPORT DIFFERENCES\n",
               stderr);
    return 2;
}
