#include <gtest/gtest.h>

#include "automation/members.h"
#include "error_of.h"

using namespace vantrel::automation;

namespace {

class Counter : public TableObject<Counter> {
public:
    std::int32_t value = 0;
    Text label;

    static const Members<Counter>& members() {
        static const Members<Counter> table{
            {
                {u"Value", Access::ReadWrite, 0, 0,
                 [](Counter& c, Call& call) {
                     if (call.isPut()) c.value = call.value().toLong();
                     return Variant(c.value);
                 }},
                {u"Label", Access::Write, 0, 0,
                 [](Counter& c, Call& call) {
                     c.label = call.value().toText();
                     return Variant();
                 }},
                {u"Add", Access::Read, 1, 2,
                 [](Counter& c, Call& call) {
                     c.value += call.arg(0).toLong() * (call.has(1) ? call.arg(1).toLong() : 1);
                     return Variant(c.value);
                 }},
                {u"Item", Access::Read, 1, 1,
                 [](Counter& c, Call& call) { return Variant(c.value + call.arg(0).toLong()); }},
            },
            u"Item"};
        return table;
    }
};

using vantrel::testing::errorOf;

}  // namespace

TEST(Members, CallsAreCheckedAgainstTheDeclaration) {
    ObjectRef ref(std::make_shared<Counter>());
    struct Case {
        const char* what;
        std::function<void()> call;
        std::int32_t error;
    };
    const Case cases[] = {
        {"name in another case", [&] { ref.put(u"vALUE", 5); }, 0},
        {"unknown member", [&] { ref.get(u"Missing"); }, errc::NotSupported},
        {"put on a read-only member", [&] { ref.put(u"Add", 1); }, errc::NotSupported},
        {"get of a write-only member", [&] { ref.get(u"Label"); }, errc::NotSupported},
        {"too few arguments", [&] { ref.call(u"Add"); }, errc::ArgumentNotOptional},
        {"too many arguments", [&] { ref.call(u"Add", 1, 2, 3); }, errc::WrongArguments},
        {"index on a plain property", [&] { ref.get(u"Value", 1); }, errc::WrongArguments},
        {"put without a value", [&] { ref.invoke(u"Value", CallKind::Put, {}); },
         errc::ArgumentNotOptional},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;
    // Refused calls changed nothing; the method reads its optional argument.
    EXPECT_EQ(ref.get(u"value").toLong(), 5);
    EXPECT_EQ(ref.call(u"ADD", 2, 3).toLong(), 11);
    EXPECT_EQ(ref.get(u"", 1).toLong(), 12) << "the empty name reaches the default member";
}

TEST(Members, AnIndexNamesTheSameMemberForEveryObject) {
    Counter a, b;
    const MemberTable* table = a.memberTable();
    ASSERT_EQ(table, b.memberTable());
    const std::size_t add = table->find(u"add");
    ASSERT_NE(add, MemberTable::npos);
    EXPECT_EQ(table->nameAt(add), u"Add");
    Argument one{Variant(std::int32_t{4}), false};
    b.invokeAt(add, CallKind::Method, std::span<Argument>(&one, 1));
    EXPECT_EQ(b.value, 4);
    EXPECT_EQ(a.value, 0);
    EXPECT_EQ(table->find(u"Missing"), MemberTable::npos);
}

namespace {

// A table as large as the stand-ins' biggest, with names that differ only past the ASCII range.
class NameTable : public MemberTable {
public:
    explicit NameTable(const std::vector<Text>& names) {
        for (const Text& n : names) add(Entry{n, Access::Read, 0, 0});
    }
};

}  // namespace

TEST(Members, EveryNameOfALargeTableIsFoundInAnyCase) {
    std::vector<Text> names;
    for (int i = 0; i < 70; ++i) names.push_back(u"Campo" + fromUtf8(std::to_string(i)));
    names.insert(names.end(), {u"Ação", u"Acao", u"Campo3"});
    const NameTable table(names);
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        EXPECT_EQ(table.find(ucase(names[i])), i) << toUtf8(names[i]);
        EXPECT_EQ(table.find(lcase(names[i])), i) << toUtf8(names[i]);
    }
    EXPECT_EQ(table.find(u"AÇÃO"), 70u);
    EXPECT_EQ(table.find(u"Campo3"), 3u) << "of two entries of one name, the first";
    EXPECT_EQ(table.find(u"Campo70"), MemberTable::npos);
    EXPECT_EQ(table.find(u"Açao"), MemberTable::npos);
}
