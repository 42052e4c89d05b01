#include "automation/members.h"

#include <cstring>

namespace vantrel::automation {

namespace {

// Agrees with equalsIgnoreCase (ASCII letters folded, every unit past ASCII counted alike:
// case mapping never crosses between the two ranges), and looks at only four things of the
// name: the look-up runs for every late-bound call, and the compare that follows settles it.
std::size_t hashIgnoringCase(TextView name) {
    auto fold = [](char16_t c) -> std::size_t {
        return c >= 0x80 ? 0x80u : (c >= u'a' && c <= u'z') ? c - 32u : c;
    };
    const std::size_t n = name.size();
    if (n == 0) return 0;
    return (n * 0x9E3779B1u) ^ (fold(name[0]) * 31u) ^ (fold(name[n / 2]) * 961u) ^
           (fold(name[n - 1]) * 29791u);
}

}  // namespace

std::size_t MemberTable::find(TextView name) const {
    if (name.empty()) return default_;
    if (slots_.empty()) return npos;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = hashIgnoringCase(name) & mask;; s = (s + 1) & mask) {
        const std::uint32_t slot = slots_[s];
        if (slot == 0) return npos;
        const TextView candidate = entries_[slot - 1].name;
        if (candidate.size() != name.size()) continue;
        // Names mostly come spelled as declared: the exact compare is the cheap one.
        if (std::memcmp(candidate.data(), name.data(), name.size() * sizeof(char16_t)) == 0 ||
            equalsIgnoreCase(name, candidate))
            return slot - 1;
    }
}

void MemberTable::index(std::size_t entry) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = hashIgnoringCase(entries_[entry].name) & mask;
    while (slots_[s] != 0) s = (s + 1) & mask;
    slots_[s] = static_cast<std::uint32_t>(entry + 1);
}

void MemberTable::add(Entry entry) {
    entries_.push_back(entry);
    // At most half full, so that a miss ends soon. Rebuilt in declaration order, so that of
    // two entries of one name the first is found.
    if (slots_.size() < 2 * entries_.size()) {
        std::size_t size = 16;
        while (size < 2 * entries_.size()) size *= 2;
        slots_.assign(size, 0);
        for (std::size_t i = 0; i < entries_.size(); ++i) index(i);
    } else {
        index(entries_.size() - 1);
    }
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
