#include <gtest/gtest.h>

#include <map>

#include "automation/object.h"

using namespace vantrel::automation;

namespace {

// A property bag with one method that doubles its by-reference argument.
class Bag : public Object {
public:
    std::map<Text, Variant> props;
    std::vector<CallKind> kinds;

    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override {
        kinds.push_back(kind);
        if (isMember(member, u"Double")) {
            Variant& v = argumentAt(args, 0);
            v = Variant(v.toDouble() * 2);
            return Variant(true);
        }
        Text key = ucase(member);
        if (kind == CallKind::Put || kind == CallKind::PutRef) {
            props[key] = argumentAt(args, args.size() - 1);
            return Variant();
        }
        auto it = props.find(key);
        if (it == props.end()) unknownMember(member);
        return it->second;
    }
};

}  // namespace

TEST(Object, MembersAreCaseInsensitive) {
    auto bag = std::make_shared<Bag>();
    ObjectRef ref(bag);
    ref.put(u"NossoNoDocumento", std::int32_t{12});
    EXPECT_EQ(ref.get(u"nossonodocumento").toLong(), 12);
    EXPECT_EQ(bag->kinds.front(), CallKind::Put);
}

TEST(Object, ByReferenceArgumentsAreWrittenBackOnlyWhenAsked) {
    ObjectRef ref(std::make_shared<Bag>());
    Variant cell(2.0);
    ref.call(u"Double", byRef(cell));
    EXPECT_DOUBLE_EQ(cell.toDouble(), 4.0);
    Variant byValue(2.0);
    ref.call(u"Double", byValue);
    EXPECT_DOUBLE_EQ(byValue.toDouble(), 2.0);
}

TEST(Object, ErrorsOfLateBinding) {
    ObjectRef nothing;
    try {
        nothing.get(u"Cab");
        FAIL() << "a call through Nothing must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errc::ObjectVariableNotSet);
    }
    ObjectRef ref(std::make_shared<Bag>());
    try {
        ref.get(u"Missing");
        FAIL() << "an unknown member must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errc::NotSupported);
        EXPECT_EQ(e.description(), u"Object doesn't support this property or method");
    }
    try {
        ref.call(u"Double");
        FAIL() << "a missing argument must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errc::ArgumentNotOptional);
    }
}

TEST(Object, ObjectsTravelInsideVariants) {
    auto inner = std::make_shared<Bag>();
    auto outer = std::make_shared<Bag>();
    ObjectRef o(outer);
    o.putRef(u"Cab", ObjectRef(inner));
    ObjectRef cab = o.object(u"Cab");
    EXPECT_EQ(cab.get(), inner.get());
    EXPECT_EQ(outer->kinds.back(), CallKind::Get);
}

TEST(RuntimeErrors, CarryNumberSourceAndDescription) {
    RuntimeError e(errc::TypeMismatch, u"pDocumentoInteressa");
    EXPECT_EQ(e.description(), u"Type mismatch");
    RuntimeError again = e.withSource(u"Comandos::HlpDb_DocGcLin");
    EXPECT_EQ(again.number(), 13);
    EXPECT_EQ(again.source(), u"Comandos::HlpDb_DocGcLin");
    EXPECT_EQ(standardDescription(91), u"Object variable or With block variable not set");
    try {
        throw std::bad_alloc();
    } catch (...) {
        EXPECT_EQ(currentError().number(), errc::OutOfMemory);
    }
}
