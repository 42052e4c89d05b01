// The native side of the Variant differential test.
//   variant_runner_native run CASES_FILE REPORT_FILE
//   variant_runner_native compare OLEAUT32_REPORT OUR_REPORT DIFFERENCES_FILE
// compare ends with "N passed, M failed".
#include <cstdio>
#include <fstream>

#include "case_file.h"
#include "variant_native.h"

using namespace vantrel::tests::variantcases;
using vantrel::tests::loadCases;
using vantrel::tests::readWholeFile;

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 4) {
        std::vector<Case> cases;
        if (!loadCases(argv[2], cases, parseCases)) return 2;
        std::ofstream out(argv[3], std::ios::binary);
        out << runNative(cases);
        return out ? 0 : 1;
    }
    if (mode == "compare" && argc == 5) {
        std::string reference, ours, differences, details;
        if (!readWholeFile(argv[2], reference) || !readWholeFile(argv[3], ours) ||
            !readWholeFile(argv[4], differences)) {
            std::fputs("cannot read the reports\n", stderr);
            return 2;
        }
        int total = 0;
        int passed = compareReports(reference, ours, differences, total, details);
        std::fputs(details.c_str(), stdout);
        std::printf("%d passed, %d failed\n", passed, total - passed);
        return passed == total && total > 0 ? 0 : 1;
    }
    std::fputs(
        "usage: variant_runner_native run CASES REPORT\n"
        "       variant_runner_native compare OLEAUT32_REPORT OUR_REPORT DIFFERENCES\n",
        stderr);
    return 2;
}
