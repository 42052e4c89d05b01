// A late-bound class's members, declared once: name, what a caller may do with it, how many
// arguments it takes, and the function that serves it. invoke() finds the name once, checks
// the call against the declaration, and calls the function; hosts that hand out numeric
// member ids (IDispatch) use the member's index, which is the same for every object of the
// class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "automation/object.h"

namespace vantrel::automation {

// Reading answers Get and Method (clients call a property as a function and read a method's
// result as a property); writing answers Put and PutRef.
enum class Access : std::uint8_t { Read = 1, Write = 2, ReadWrite = 3 };

// No upper bound on a member's arguments.
inline constexpr std::uint8_t kAnyCount = 255;

// One call as a member's function sees it. The arguments are the index or method arguments;
// for a property assignment the assigned value is apart.
class Call {
public:
    // A put comes with its value (MemberTable checks that before a Call is made).
    Call(CallKind kind, std::span<Argument> args) : kind_(kind), args_(args) {
        if (isPut() && !args.empty()) {
            args_ = args.first(args.size() - 1);
            value_ = &args.back().value;
        }
    }

    CallKind kind() const { return kind_; }
    bool isPut() const { return kind_ == CallKind::Put || kind_ == CallKind::PutRef; }
    std::size_t count() const { return args_.size(); }
    std::span<Argument> arguments() const { return args_; }
    bool has(std::size_t index) const { return index < args_.size(); }
    // Error 449 when the caller gave fewer.
    Variant& arg(std::size_t index) const { return argumentAt(args_, index); }
    // The value assigned by Put or PutRef.
    const Variant& value() const {
        if (!value_) throw RuntimeError(errc::ArgumentNotOptional);
        return *value_;
    }

private:
    CallKind kind_;
    std::span<Argument> args_;
    const Variant* value_ = nullptr;
};

// The class-independent part of a table, which is what a host needs.
class MemberTable {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Case-insensitive; the empty name is the default member, when the class has one.
    [[nodiscard]] std::size_t find(TextView name) const;
    std::size_t size() const { return entries_.size(); }
    TextView nameAt(std::size_t index) const { return entries_[index].name; }

protected:
    struct Entry {
        TextView name;  // a view, so that a look-up does not count its length again
        Access access;
        std::uint8_t minArgs;
        std::uint8_t maxArgs;
    };
    MemberTable() = default;
    void add(Entry entry);
    void setDefault(TextView name);
    // Raises 438 for a kind the member does not answer, 449 for too few arguments (or a put
    // without its value) and 450 for too many.
    void admit(std::size_t index, CallKind kind, std::span<const Argument> args) const;

private:
    void index(std::size_t entry);

    std::vector<Entry> entries_;
    // Open addressing by hashIgnoringCase: entry index + 1, 0 for a free slot. Every late-bound
    // call looks its name up here, so a scan of the whole table per call would show.
    std::vector<std::uint32_t> slots_;
    std::size_t default_ = npos;
};

template <class T>
class Members final : public MemberTable {
public:
    using Serve = Variant (*)(T&, Call&);
    struct Member {
        const char16_t* name;
        Access access;
        std::uint8_t minArgs;
        std::uint8_t maxArgs;
        Serve serve;
    };

    Members(std::initializer_list<Member> members, const char16_t* defaultMember = nullptr) {
        serve_.reserve(members.size());
        for (const Member& m : members) {
            add(Entry{m.name, m.access, m.minArgs, m.maxArgs});
            serve_.push_back(m.serve);
        }
        if (defaultMember) setDefault(defaultMember);
    }

    Variant invoke(T& self, TextView member, CallKind kind, std::span<Argument> args) const {
        const std::size_t index = find(member);
        if (index == npos) unknownMember(member);
        return invokeAt(self, index, kind, args);
    }
    Variant invokeAt(T& self, std::size_t index, CallKind kind, std::span<Argument> args) const {
        if (index >= serve_.size()) throw RuntimeError(errc::NotSupported);
        admit(index, kind, args);
        Call call(kind, args);
        return serve_[index](self, call);
    }

private:
    std::vector<Serve> serve_;
};

// An object whose members are all in its class's table, `static const Members<T>& members()`.
// Base is Object or a class derived from it.
template <class T, class Base = Object>
class TableObject : public Base {
public:
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override {
        return T::members().invoke(static_cast<T&>(*this), member, kind, args);
    }
    const MemberTable* memberTable() const override { return &T::members(); }
    Variant invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) override {
        return T::members().invokeAt(static_cast<T&>(*this), index, kind, args);
    }
};

}  // namespace vantrel::automation
