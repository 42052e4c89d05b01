// libFuzzer target for the caller's value lists ("|" between values). Build and run: see
// fuzz/README.md.
//
// Input: the list as UTF-8.
#include <cstdint>

#include "fuzz_support.h"
#include "reports/parameters/value_list.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::check;
using vantrel::reports::parameters::splitValues;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text list = fromUtf8(vantrel::fuzzing::bytesOf(data, size));
    const std::vector<Text> pieces = splitValues(list);
    std::size_t bars = 0;
    for (char16_t c : list) bars += c == u'|';
    check(pieces.size() == (list.empty() ? 0 : bars + 1), "not one piece more than bars", list);
    Text joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        check(pieces[i].find(u'|') == Text::npos, "a piece holds a bar", list);
        joined += (i == 0 ? Text() : Text(u"|")) + pieces[i];
    }
    check(joined == list, "the pieces do not make the list again", list);
    // A piece split again is itself: one element can carry no further values once split.
    for (const Text& piece : pieces) {
        const auto again = splitValues(piece);
        check(piece.empty() ? again.empty() : again == std::vector<Text>{piece}, "resplit", list);
    }
    return 0;
}
