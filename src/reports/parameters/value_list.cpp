#include "reports/parameters/value_list.h"

namespace vantrel::reports::parameters {

using automation::Text;
using automation::TextView;

std::vector<Text> splitValues(TextView text) {
    std::vector<Text> pieces;
    if (text.empty()) return pieces;
    std::size_t bars = 0;
    for (char16_t c : text) bars += c == u'|';
    pieces.reserve(bars + 1);
    std::size_t start = 0;
    while (true) {
        std::size_t bar = text.find(u'|', start);
        if (bar == TextView::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

}  // namespace vantrel::reports::parameters
