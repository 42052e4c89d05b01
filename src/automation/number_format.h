// Numbers as a report shows them, in the locale's conventions.
#pragma once

#include "automation/locale.h"
#include "automation/text.h"

namespace vantrel::automation {

// A number with exactly `decimals` decimals and the locale's thousands separator between
// groups of three, as a report shows an amount: 1.234,50.
Text formatGrouped(double value, int decimals, const Locale& locale = Locale::current());

}  // namespace vantrel::automation
