#include <gtest/gtest.h>

#include "erp/connection_string.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes::erp;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
using vantrel::substitutes::erp::testing::errorNumber;

namespace {

struct TargetCase {
    const char* name;
    const char16_t* text;
    const char16_t* catalog;
    const char16_t* user;
    const char16_t* password;
    bool integrated;
};
void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << c.name;
}

class ConnectionTargets : public ::testing::TestWithParam<TargetCase> {};

TEST_P(ConnectionTargets, ReadsWhatTheStringSays) {
    const TargetCase& c = GetParam();
    ConnectionTarget t = connectionTarget(ConnectionString::parse(c.text));
    EXPECT_EQ(toUtf8(t.catalog), toUtf8(c.catalog));
    EXPECT_EQ(toUtf8(t.user), toUtf8(c.user));
    EXPECT_EQ(toUtf8(t.password), toUtf8(c.password));
    EXPECT_EQ(t.integratedSecurity, c.integrated);
}

INSTANTIATE_TEST_SUITE_P(
    OleDbRules, ConnectionTargets,
    ::testing::Values(
        // The two forms the add-in builds.
        TargetCase{"SqlLogin",
                   u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV\\SQL;Initial "
                   u"Catalog=EMP01;User "
                   u"Id=sa;Password=x1; ",
                   u"EMP01", u"sa", u"x1", false},
        TargetCase{"WindowsLogin",
                   u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV;Initial "
                   u"Catalog=EMP01;Integrated "
                   u"Security=SSPI;",
                   u"EMP01", u"", u"", true},
        TargetCase{"EmptyUserWithPassword", u"Initial Catalog=E;User Id=;Password=p; ", u"E", u"",
                   u"p", false},
        // Quoting: ';' and '=' inside quoted values, doubled quotes, the other quote kind.
        TargetCase{"DoubleQuoted", u"Initial Catalog=E;User Id=sa;Password=\"a;b=c\"", u"E", u"sa",
                   u"a;b=c", false},
        TargetCase{"DoubledDoubleQuote", u"Initial Catalog=E;Password=\"say \"\"hi\"\"\";User Id=u",
                   u"E", u"u", u"say \"hi\"", false},
        TargetCase{"SingleQuoted", u"Initial Catalog='my;db';Password='it''s'", u"my;db", u"",
                   u"it's", false},
        TargetCase{"SingleQuotesHoldDoubleQuote", u"Initial Catalog=E;Password='a\"b'", u"E", u"",
                   u"a\"b", false},
        TargetCase{"QuotedBlanksKept", u"Initial Catalog=\"  E  \"", u"  E  ", u"", u"", false},
        // Blanks, case, synonyms and repeated keywords.
        TargetCase{"BlanksAroundIgnored", u"  initial catalog =  E01  ;  USER ID = sa ; ", u"E01",
                   u"sa", u"", false},
        // A tab before '=' is a blank like the others (the keyword was "User Id\t").
        TargetCase{"TabsAroundIgnored", u"Initial Catalog\t=\tE;\tUser Id\t= sa", u"E", u"sa", u"",
                   false},
        TargetCase{"Synonyms", u"Database=E;UID=u;PWD=p", u"E", u"u", u"p", false},
        TargetCase{"LastValueWins", u"Initial Catalog=A;Initial Catalog=B", u"B", u"", u"", false},
        TargetCase{"TrustedConnection", u"Initial Catalog=E;Trusted_Connection=yes", u"E", u"", u"",
                   true},
        TargetCase{"IntegratedTrue", u"Initial Catalog=E;Integrated Security=true", u"E", u"", u"",
                   true},
        TargetCase{"IntegratedNo", u"Initial Catalog=E;Integrated Security=no", u"E", u"", u"",
                   false},
        TargetCase{"EmptyPairsIgnored", u";;Initial Catalog=E;;; ", u"E", u"", u"", false},
        TargetCase{"EqualsInUnquotedValue", u"Initial Catalog=E;Password=a=b", u"E", u"", u"a=b",
                   false},
        TargetCase{"Empty", u"", u"", u"", u"", false}),
    [](const ::testing::TestParamInfo<TargetCase>& i) { return i.param.name; });

TEST(ConnectionString, DoubledEqualsIsPartOfTheKeyword) {
    auto cs = ConnectionString::parse(u"a==b=1;c=2");
    EXPECT_EQ(toUtf8(cs.get(u"a=b").value_or(u"?")), "1");
    EXPECT_EQ(toUtf8(cs.get(u"C").value_or(u"?")), "2");
    EXPECT_FALSE(cs.get(u"a").has_value());
}

TEST(ConnectionString, ProviderKeepsItsFirstValue) {
    auto cs = ConnectionString::parse(u"Provider=MSDataShape;Provider=Other");
    EXPECT_EQ(toUtf8(cs.get(u"provider").value_or(u"?")), "MSDataShape");
}

TEST(ConnectionString, BrokenStringsRaiseError3001WithThePosition) {
    struct Bad {
        const char16_t* text;
        const char* position;
    };
    for (const Bad& b :
         {Bad{u"Initial Catalog=E;garbage", "position 19"}, Bad{u"=value", "position 1"},
          Bad{u"Password=\"never closed", "position 10"},
          Bad{u"Password='x'y;Initial Catalog=E", "position 13"}}) {
        try {
            ConnectionString::parse(b.text);
            ADD_FAILURE() << "accepted " << toUtf8(b.text);
        } catch (const vantrel::automation::RuntimeError& e) {
            EXPECT_EQ(e.number(), 3001);
            EXPECT_NE(toUtf8(e.description()).find(b.position), std::string::npos)
                << toUtf8(e.description());
        }
    }
}

}  // namespace
