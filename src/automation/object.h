// Late-bound objects: members reached by name at run time, as automation clients reach
// them. An Object is anything that answers invoke(); ObjectRef is a counted reference that
// may be empty (Nothing). The Windows layer bridges IDispatch to Object and back.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "automation/runtime_error.h"
#include "automation/variant.h"

namespace vantrel::automation {

enum class CallKind { Method, Get, Put, PutRef };

// One argument of a call. A by-reference argument may be written by the callee; the caller
// copies it back. Values passed by value are never written back.
struct Argument {
    Variant value;
    bool byRef = false;
};

class MemberTable;

class Object {
public:
    virtual ~Object() = default;
    // Calls `member` (case-insensitive). For Put and PutRef the last argument is the value
    // assigned. Raises RuntimeError 438 for an unknown member.
    virtual Variant invoke(TextView member, CallKind kind, std::span<Argument> args) = 0;
    // The member table of the object's class, when its members are all declared in one: a
    // host may then number the members by their index, once per class.
    virtual const MemberTable* memberTable() const { return nullptr; }
    // Calls the member at `index` of memberTable(); error 438 for an object without one.
    virtual Variant invokeAt(std::size_t index, CallKind kind, std::span<Argument> args);
};

// Wraps a variable so that a call passes it by reference and writes the result back.
struct ByRef {
    Variant& cell;
};
inline ByRef byRef(Variant& cell) {
    return ByRef{cell};
}

class ObjectRef {
public:
    ObjectRef() = default;
    ObjectRef(std::nullptr_t) {}
    ObjectRef(std::shared_ptr<Object> object) : p_(std::move(object)) {}

    bool isNothing() const { return !p_; }
    explicit operator bool() const { return static_cast<bool>(p_); }
    Object* get() const { return p_.get(); }
    const std::shared_ptr<Object>& shared() const { return p_; }
    void reset() { p_.reset(); }
    friend bool operator==(const ObjectRef& a, const ObjectRef& b) { return a.p_ == b.p_; }

    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) const;

    // obj.member(args...) read as a property or called as a function.
    template <class... A>
    Variant get(TextView member, A&&... args) const {
        return dispatch(member, CallKind::Get, std::forward<A>(args)...);
    }
    template <class... A>
    Variant call(TextView member, A&&... args) const {
        return dispatch(member, CallKind::Method, std::forward<A>(args)...);
    }
    // obj.member(index...) = value; the value is the last argument.
    template <class... A>
    void put(TextView member, A&&... indexAndValue) const {
        dispatch(member, CallKind::Put, std::forward<A>(indexAndValue)...);
    }
    // Set obj.member = object.
    void putRef(TextView member, const ObjectRef& value) const;
    // The object held by a member (Set x = obj.member); error 424 when it holds no object.
    template <class... A>
    ObjectRef object(TextView member, A&&... args) const {
        return get(member, std::forward<A>(args)...).toObject();
    }

private:
    static Argument makeArgument(ByRef r) { return Argument{r.cell, true}; }
    template <class V>
    static Argument makeArgument(V&& v) {
        return Argument{Variant(std::forward<V>(v)), false};
    }
    template <class V>
    static void writeBack(Argument& a, V&& v) {
        if constexpr (std::is_same_v<std::decay_t<V>, ByRef>) {
            v.cell = std::move(a.value);
        } else {
            (void)a;
            (void)v;
        }
    }
    template <class... A>
    Variant dispatch(TextView member, CallKind kind, A&&... args) const {
        // On the stack: a call is made per property of every line, so no allocation here.
        std::array<Argument, sizeof...(A)> list{makeArgument(args)...};
        Variant result = invoke(member, kind, std::span<Argument>(list.data(), list.size()));
        std::size_t i = 0;
        (writeBack(list[i++], args), ...);
        return result;
    }

    std::shared_ptr<Object> p_;
};

template <class T, class... A>
ObjectRef makeObject(A&&... args) {
    return ObjectRef(std::make_shared<T>(std::forward<A>(args)...));
}

// Creates objects by programmatic name (ProgID).
class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // Error 429 when nothing answers to the name.
    virtual ObjectRef create(TextView progId) = 0;
};

}  // namespace vantrel::automation

namespace vantrel::automation {

// Helpers for writing objects by hand.
// The argument at `index`; error 449 when the caller gave fewer.
Variant& argumentAt(std::span<Argument> args, std::size_t index);
// Raises error 438 for a member the object does not have.
[[noreturn]] void unknownMember(TextView member);
inline bool isMember(TextView member, TextView name) {
    return equalsIgnoreCase(member, name);
}
// A property assignment: Let (obj.member = value) or Set (Set obj.member = object).
inline bool isPut(CallKind kind) {
    return kind == CallKind::Put || kind == CallKind::PutRef;
}

}  // namespace vantrel::automation
