// JSON strings for the programs' machine-readable output.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::automation {

// `utf8` as a quoted JSON string. Bytes that are no UTF-8 (a command typed in Latin-1, say)
// become U+FFFD, so the result is always valid UTF-8; quotes, backslashes and control
// characters are escaped.
std::string jsonQuoted(std::string_view utf8);

}  // namespace vantrel::automation
