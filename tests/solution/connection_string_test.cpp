#include <gtest/gtest.h>

#include "solution/connection_string.h"
#include "solution/fakes.h"

using vantrel::automation::Text;
using vantrel::solution::pStringLigacao;
using vantrel::solution::quoteConnectionValue;
using vantrel::testing::utf8;

namespace {

const Text kHead =
    u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV;Initial Catalog=DB";

TEST(ConnectionString, SqlServerLogin) {
    EXPECT_EQ(pStringLigacao(u"MSDataShape", u"SQLOLEDB", u"SRV", u"DB", u"sa", u"pw"),
              kHead + u";User Id=sa;Password=pw; ");
}

TEST(ConnectionString, WindowsLoginWhenUserAndPasswordAreEmpty) {
    EXPECT_EQ(pStringLigacao(u"MSDataShape", u"SQLOLEDB", u"SRV", u"DB", u"", u""),
              kHead + u";Integrated Security=SSPI;");
}

TEST(ConnectionString, PasswordWithoutUserStillUsesSqlLogin) {
    EXPECT_EQ(pStringLigacao(u"MSDataShape", u"SQLOLEDB", u"SRV", u"DB", u"", u"pw"),
              kHead + u";User Id=;Password=pw; ");
}

TEST(ConnectionString, ValuesThatWouldBreakTheStringAreQuoted) {
    EXPECT_EQ(pStringLigacao(u"MSDataShape", u"SQLOLEDB", u"SRV", u"DB", u"sa",
                             u"a;Integrated Security=SSPI"),
              kHead + u";User Id=sa;Password=\"a;Integrated Security=SSPI\"; ");
    EXPECT_EQ(pStringLigacao(u"MSDataShape", u"SQLOLEDB", u"SRV", u"D'B;x", u"sa", u"pw"),
              u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV;Initial "
              u"Catalog=\"D'B;x\";User Id=sa;Password=pw; ");
}

TEST(ConnectionString, QuotingRules) {
    struct Case {
        const char16_t* value;
        const char16_t* quoted;
    } cases[] = {
        {u"", u""},
        {u"plain", u"plain"},
        {u"O'Brien", u"O'Brien"},  // an apostrophe inside needs nothing
        {u"SRV\\INST,1433", u"SRV\\INST,1433"},
        {u"a;b", u"\"a;b\""},
        {u"a=b", u"\"a=b\""},
        {u" lead", u"\" lead\""},
        {u"trail ", u"\"trail \""},
        {u"'quoted'", u"'quoted'"},  // already quoted: a stored setting keeps working
        {u"'a''b'", u"'a''b'"},
        {u"\"a\"\"b\"", u"\"a\"\"b\""},
        {u"''", u"''"},
        {u"'a'b'", u"\"'a'b'\""},  // a lone quote inside: not a quoted value
        {u"\"a\"b\"", u"'\"a\"b\"'"},
        {u"'", u"\"'\""},
        {u"'x", u"\"'x\""},
        {u"\"x", u"'\"x'"},  // double quote, no single: single quotes
        {u"say \"hi\";", u"'say \"hi\";'"},
        {u"\"it's\"", u"\"it's\""},
        {u"\"it's", u"\"\"\"it's\""},  // both kinds: double quotes, doubled inside
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quoteConnectionValue(c.value), c.quoted) << utf8(c.value);
    }
}

}  // namespace
