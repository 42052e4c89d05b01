#include "automation/members.h"

namespace vantrel::automation {

std::size_t MemberTable::find(TextView name) const {
    if (name.empty()) return default_;
    // Lengths first: most members are told apart by them, and this runs for every call.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const TextView candidate = entries_[i].name;
        if (candidate.size() == name.size() && equalsIgnoreCase(name, candidate)) return i;
    }
    return npos;
}

void MemberTable::add(Entry entry) {
    entries_.push_back(entry);
}

void MemberTable::setDefault(TextView name) {
    default_ = find(name);
}

void MemberTable::admit(std::size_t index, CallKind kind, std::span<const Argument> args) const {
    const Entry& e = entries_[index];
    const bool put = kind == CallKind::Put || kind == CallKind::PutRef;
    const auto wanted = static_cast<std::uint8_t>(put ? Access::Write : Access::Read);
    if ((static_cast<std::uint8_t>(e.access) & wanted) == 0) throw RuntimeError(errc::NotSupported);
    if (put && args.empty()) throw RuntimeError(errc::ArgumentNotOptional);
    const std::size_t given = put ? args.size() - 1 : args.size();
    if (given < e.minArgs) throw RuntimeError(errc::ArgumentNotOptional);
    if (e.maxArgs != kAnyCount && given > e.maxArgs) throw RuntimeError(errc::WrongArguments);
}

}  // namespace vantrel::automation
