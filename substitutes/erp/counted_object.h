// Every stand-in object counts itself while it lives, so a test (or the COM server's
// DllCanUnloadNow) can see an object that was never released.
#pragma once

#include <cstdint>

#include "automation/object.h"

namespace vantrel::substitutes::erp {

class CountedObject : public automation::Object {
public:
    CountedObject();
    CountedObject(const CountedObject&);
    CountedObject& operator=(const CountedObject&) = default;
    ~CountedObject() override;
};

// Stand-in objects alive in this process right now.
std::int64_t liveObjectCount();

}  // namespace vantrel::substitutes::erp
