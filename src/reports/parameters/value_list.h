// The caller's value lists: values joined by "|". The text before the first "|" is element
// 0, which the report engine never uses as a value.
#pragma once

#include <vector>

#include "automation/text.h"

namespace vantrel::reports::parameters {

// Splits at every "|" (exact match, no limit). An empty text gives no piece at all, as the
// runtime's Split does; "|" alone gives two empty pieces.
std::vector<automation::Text> splitValues(automation::TextView text);

}  // namespace vantrel::reports::parameters
