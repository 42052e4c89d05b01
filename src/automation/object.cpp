#include "automation/object.h"

namespace vantrel::automation {

Variant ObjectRef::invoke(TextView member, CallKind kind, std::span<Argument> args) const {
    if (!p_) throw RuntimeError(errc::ObjectVariableNotSet);
    return p_->invoke(member, kind, args);
}

void ObjectRef::putRef(TextView member, const ObjectRef& value) const {
    Argument a{Variant(value), false};
    invoke(member, CallKind::PutRef, std::span<Argument>(&a, 1));
}

Variant& argumentAt(std::span<Argument> args, std::size_t index) {
    if (index >= args.size()) throw RuntimeError(errc::ArgumentNotOptional);
    return args[index].value;
}

Variant Object::invokeAt(std::size_t, CallKind, std::span<Argument>) {
    throw RuntimeError(errc::NotSupported);
}

void unknownMember(TextView member) {
    (void)member;
    throw RuntimeError(errc::NotSupported);
}

}  // namespace vantrel::automation
