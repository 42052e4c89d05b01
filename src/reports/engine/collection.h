// Walks a collection of the report runtime (Areas, Sections, ReportObjects, Tables) in its
// own order: Count, then Item(1) to Item(Count).
#pragma once

#include <cstdint>

#include "automation/object.h"

namespace vantrel::reports::engine {

template <class Visit>
void forEachItem(const automation::ObjectRef& collection, Visit&& visit) {
    const std::int32_t count = collection.get(u"Count").toLong();
    for (std::int32_t i = 1; i <= count; ++i) {
        visit(collection.object(u"Item", i));
    }
}

}  // namespace vantrel::reports::engine
