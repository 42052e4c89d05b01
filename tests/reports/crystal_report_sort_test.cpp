// CrystalReportSort: ordinal exchange sort of prompt texts with their former positions.
#include <gtest/gtest.h>

#include "automation/runtime_error.h"
#include "reports/parameters/crystal_report_sort.h"

namespace vantrel::reports::parameters {
namespace {

using automation::Array;
using automation::Text;
using automation::VarType;

struct Sorted {
    std::vector<Text> texts;
    std::vector<std::int32_t> indices;
};

Sorted sort(const std::vector<Text>& input, std::int32_t lower = 0) {
    Array lista = Array::ofTexts(input, lower);
    Array indices(VarType::Long, lower, lower + static_cast<std::int32_t>(input.size()) - 1);
    CrystalReportSort().OrdenaTextos(lista, indices);
    Sorted out;
    for (const auto& v : lista.items) out.texts.push_back(v.toText());
    for (const auto& v : indices.items) out.indices.push_back(v.toLong());
    return out;
}

TEST(CrystalReportSort, SortsAscendingWithFormerPositions) {
    struct Case {
        std::vector<Text> input;
        std::vector<Text> texts;
        std::vector<std::int32_t> indices;
    };
    const std::vector<Case> cases = {
        // The callers' shape: an empty text at 0, the prompts at 1 to n.
        {{u"", u"03Fim", u"01Inicio", u"02Meio"},
         {u"", u"01Inicio", u"02Meio", u"03Fim"},
         {0, 2, 3, 1}},
        // One element comes back unchanged.
        {{u"Z"}, {u"Z"}, {0}},
        // Upper case before lower case; a prefix first; accented letters after all others.
        {{u"b", u"B", u"a", u"A"}, {u"A", u"B", u"a", u"b"}, {3, 1, 2, 0}},
        {{u"abc", u"ab", u"abcd"}, {u"ab", u"abc", u"abcd"}, {1, 0, 2}},
        {{u"\u00c9vora", u"Zeta", u"Evora"}, {u"Evora", u"Zeta", u"\u00c9vora"}, {2, 1, 0}},
        // Equal texts: B1 and B2 equal, then A. The exchanges leave A, B2, B1.
        {{u"B", u"B", u"A"}, {u"A", u"B", u"B"}, {2, 1, 0}},
        // Lower-case prompts after every upper-case one.
        {{u"", u"zz", u"Zz", u"aa"}, {u"", u"Zz", u"aa", u"zz"}, {0, 2, 3, 1}},
    };
    for (const auto& c : cases) {
        Sorted s = sort(c.input);
        EXPECT_EQ(s.texts, c.texts);
        EXPECT_EQ(s.indices, c.indices);
    }
}

TEST(CrystalReportSort, ExchangeSequenceIsNotStable) {
    // Three equal texts and one smaller at the end: position 0 swaps with the last, and the
    // equal ones keep their places otherwise.
    Sorted s = sort({u"B", u"B", u"B", u"A"});
    EXPECT_EQ(s.indices, (std::vector<std::int32_t>{3, 1, 2, 0}));
}

TEST(CrystalReportSort, OneBasedListsKeepTheirBounds) {
    Sorted s = sort({u"c", u"a", u"b"}, 1);
    EXPECT_EQ(s.texts, (std::vector<Text>{u"a", u"b", u"c"}));
    EXPECT_EQ(s.indices, (std::vector<std::int32_t>{2, 3, 1}));
}

TEST(CrystalReportSort, IndicesWithOtherBoundsRaiseSubscriptOutOfRangeAndLoseNothing) {
    // Two short used to sort Lista half-way before the error, leaving "a", "b", "a".
    const std::vector<std::pair<std::int32_t, std::int32_t>> bounds = {{0, 1}, {0, 0}, {1, 2}};
    for (const auto& [lower, upper] : bounds) {
        Array lista = Array::ofTexts({u"c", u"b", u"a"});
        Array indices(VarType::Long, lower, upper);
        try {
            CrystalReportSort().OrdenaTextos(lista, indices);
            ADD_FAILURE() << "no error for Indices " << lower << " to " << upper;
        } catch (const automation::RuntimeError& e) {
            EXPECT_EQ(e.number(), automation::errc::SubscriptOutOfRange);
        }
        EXPECT_EQ(lista.at(0).toText(), u"c");
        EXPECT_EQ(lista.at(1).toText(), u"b");
        EXPECT_EQ(lista.at(2).toText(), u"a");
    }
}

TEST(CrystalReportSort, EmptyListStaysEmpty) {
    Array lista(VarType::String, 0, -1);
    Array indices(VarType::Long, 0, -1);
    CrystalReportSort().OrdenaTextos(lista, indices);
    EXPECT_TRUE(lista.empty());
}

}  // namespace
}  // namespace vantrel::reports::parameters
