// libFuzzer target for the ordering of prompt rows (CrystalReportSort::OrdenaTextos). Build
// and run: see fuzz/README.md.
//
// Input: byte 0 chooses the lower bound and the bounds of Indices, the rest is the list of
// texts (UTF-8), one per line.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "automation/variant.h"
#include "fuzz_support.h"
#include "reports/parameters/crystal_report_sort.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;
using vantrel::reports::parameters::CrystalReportSort;

std::vector<Text> textsOf(const Array& a) {
    std::vector<Text> out;
    for (const auto& v : a.items) out.push_back(v.toText());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::vector<Text> texts;
    const Text all = fromUtf8(vantrel::fuzzing::bytesOf(data + 1, size - 1));
    for (std::size_t pos = 0;;) {
        const std::size_t nl = all.find(u'\n', pos);
        texts.push_back(all.substr(pos, nl == Text::npos ? Text::npos : nl - pos));
        if (nl == Text::npos) break;
        pos = nl + 1;
    }
    if (texts.size() > 200) return 0;  // prompts of one report: a few dozen at most
    // The callers' shape (0 to n) most of the time, other lower bounds and Indices arrays
    // that do not match now and then.
    static constexpr std::int32_t kLower[] = {0, 0, 0, 1, 1, 2, -1, 0};
    static constexpr std::int32_t kIndicesShift[] = {0, 0, 0, 0, 0, -2, -1, 1};
    const std::int32_t lower = kLower[data[0] & 7];
    const std::int32_t upper = lower + static_cast<std::int32_t>(texts.size()) - 1;
    const std::int32_t indicesUpper = upper + kIndicesShift[(data[0] >> 3) & 7];
    const std::int32_t indicesLower = (data[0] & 0x40) ? lower + 1 : lower;

    Array lista = Array::ofTexts(texts, lower);
    Array indices(VarType::Long, indicesLower, indicesUpper);
    const auto sorted = attempt(
        [&] {
            CrystalReportSort().OrdenaTextos(lista, indices);
            return true;
        },
        {errc::SubscriptOutOfRange}, all);
    const bool fits = lower >= 0 && indicesLower <= lower && indicesUpper >= upper;
    check(sorted.ok() == fits, "Indices with other bounds answered otherwise");
    if (!sorted.ok()) {
        check(textsOf(lista) == texts, "a refused list lost or moved texts", all);
        return 0;
    }
    const std::vector<Text> out = textsOf(lista);
    std::vector<Text> expected = texts;
    std::sort(expected.begin(), expected.end());  // ordinal, by UTF-16 units
    check(out == expected, "not sorted ascending", all);
    std::vector<bool> seen(texts.size(), false);
    for (std::int32_t k = lower; k <= upper; ++k) {
        const std::int32_t from = indices.at(k).toLong();
        check(from >= lower && from <= upper && !seen[from - lower], "Indices not a permutation");
        seen[from - lower] = true;
        check(texts[from - lower] == out[k - lower], "Indices point at another text", all);
    }
    // An empty text in the first place never moves (the callers' row 0).
    if (lower == 0 && texts[0].empty()) check(indices.at(0).toLong() == 0, "row 0 moved", all);
    return 0;
}
