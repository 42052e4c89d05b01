#include "erp/counted_object.h"

#include <atomic>

namespace vantrel::substitutes::erp {

namespace {
std::atomic<std::int64_t> live{0};
}

CountedObject::CountedObject() {
    ++live;
}
CountedObject::CountedObject(const CountedObject&) : automation::Object() {
    ++live;
}
CountedObject::~CountedObject() {
    --live;
}

std::int64_t liveObjectCount() {
    return live;
}

}  // namespace vantrel::substitutes::erp
