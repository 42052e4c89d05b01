#include "automation/number_format.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace vantrel::automation {

Text formatGrouped(double value, int decimals, const Locale& locale) {
    char buf[400];  // room for the largest double in fixed notation
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 15), value);
    const std::string digits = buf;
    const std::size_t start = digits[0] == '-' ? 1 : 0;
    const std::size_t point = std::min(digits.find('.'), digits.size());
    Text out;
    // "-0,00" would read as a debt that is not there.
    if (start && digits.find_first_not_of("0.", start) != std::string::npos) out += u'-';
    for (std::size_t i = start; i < point; ++i) {
        if (i > start && (point - i) % 3 == 0) out += locale.thousandsSeparator;
        out += static_cast<char16_t>(digits[i]);
    }
    if (point < digits.size()) {
        out += locale.decimalSeparator;
        for (std::size_t i = point + 1; i < digits.size(); ++i)
            out += static_cast<char16_t>(digits[i]);
    }
    return out;
}

}  // namespace vantrel::automation
