// CrystalReportSort: sorts a list of texts in ascending ordinal order (UTF-16 code units,
// case-sensitive) and tells, for each sorted position, where the text was before. It orders
// the prompt rows of a report's parameters by their prompt texts.
#pragma once

#include "automation/variant.h"

namespace vantrel::reports::parameters {

class CrystalReportSort {
public:
    // Lista: the texts, sorted on return. Indices: same bounds as Lista; on return
    // Indices(k) is the position that the text now at k had before. The sort is a plain
    // exchange sort and not stable: equal texts may swap places. Errors go to the caller, with
    // both lists untouched: 9 for Indices that do not cover the bounds of Lista, 6 past 32,767
    // texts.
    void OrdenaTextos(automation::Array& Lista, automation::Array& Indices);
};

}  // namespace vantrel::reports::parameters
