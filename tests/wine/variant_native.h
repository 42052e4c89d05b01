// The Variant differential test's native side: the cases through automation::Variant, and
// the comparison of that report with oleaut32's.
#pragma once

#include <string>
#include <vector>

#include "variant_cases.h"

namespace vantrel::tests::variantcases {

// Every case under every locale of the table, in the report format of variant_cases.txt.
std::string runNative(const std::vector<Case>& cases);

// Compares the reports line by line. A line may differ only when ours is listed in
// DIFFERENCES (the deliberate differences, '#' lines being their reasons), and a listed line
// must still differ. Writes one line per failure to details; returns the lines that passed.
int compareReports(const std::string& reference, const std::string& ours,
                   const std::string& differences, int& total, std::string& details);

}  // namespace vantrel::tests::variantcases
