// The Variant cases against oleaut32's recorded answers (variant_cases.expected, written by
// the differential test under Wine), so every build checks them, with or without Wine.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "variant_native.h"

namespace {

using namespace vantrel::tests::variantcases;

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(VariantReference, AgreesWithOleaut32SaveTheListedDifferences) {
    std::ifstream in(VANTREL_VARIANT_CASES, std::ios::binary);
    std::vector<Case> cases;
    std::string error;
    ASSERT_TRUE(in && parseCases(in, cases, error)) << error;
    int total = 0;
    std::string details;
    int passed = compareReports(readFile(VANTREL_VARIANT_EXPECTED), runNative(cases),
                                readFile(VANTREL_VARIANT_DIFFERENCES), total, details);
    EXPECT_GT(total, static_cast<int>(cases.size()));
    EXPECT_EQ(passed, total) << details;
}
