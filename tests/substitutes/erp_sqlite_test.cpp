#include <gtest/gtest.h>

#include "automation/datetime.h"
#include "data_folder.h"
#include "erp/sqlite_database.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::makeDate;
using vantrel::automation::toUtf8;

namespace {

struct DateCase {
    const char* text;
    bool valid;
    double expected;
};

TEST(IsoDates, OnlyRealDatesInTheIsoFormsAreDates) {
    for (const DateCase& c : {
             DateCase{"2024-02-29", true, makeDate(2024, 2, 29)},
             DateCase{"2024-01-05 10:20", true, makeDate(2024, 1, 5, 10, 20)},
             DateCase{"2024-01-05T10:20:30", true, makeDate(2024, 1, 5, 10, 20, 30)},
             DateCase{"2023-02-29", false, 0},
             DateCase{"2024-13-01", false, 0},
             DateCase{"2024-00-10", false, 0},
             DateCase{"24-01-01", false, 0},
             DateCase{"2024/01/01", false, 0},
             DateCase{"2024-01-01 24:00", false, 0},
             DateCase{"2024-01-01x", false, 0},
             DateCase{"", false, 0},
         }) {
        auto d = parseIsoDate(c.text);
        EXPECT_EQ(d.has_value(), c.valid) << c.text;
        if (d && c.valid) {
            EXPECT_DOUBLE_EQ(*d, c.expected) << c.text;
        }
    }
    EXPECT_EQ(isoDate(makeDate(2024, 3, 7, 23, 59)), "2024-03-07") << "the time of day is dropped";
    EXPECT_EQ(isoDate(makeDate(1999, 12, 31)), "1999-12-31");
    EXPECT_EQ(isoDate(makeDate(100, 1, 9)), "0100-01-09") << "years keep four digits";
    EXPECT_EQ(isoDate(makeDate(9999, 10, 31)), "9999-10-31");
    EXPECT_EQ(*parseIsoDate(isoDate(-657434.0)), -657434.0) << "the first date reads back";
}

TEST(FileSystemPaths, WindowsPathsBecomeLinuxPaths) {
    EXPECT_EQ(fileSystemPath(u"C:\\dados\\databases\\E.sqlite").string(),
              "/dados/databases/E.sqlite");
    EXPECT_EQ(fileSystemPath(u"/tmp/x\\databases\\E.sqlite").string(), "/tmp/x/databases/E.sqlite");
    EXPECT_EQ(fileSystemPath(u"relativo\\E").string(), "relativo/E");
}

class SqliteTest : public CompanyFixture {};

TEST_F(SqliteTest, ReadWriteNeverCreatesAFile) {
    EXPECT_EQ(
        errorNumber([&] { Database::open(databaseFile(u"NOVA"), Database::Mode::ReadWrite); }),
        kCommandError);
    EXPECT_FALSE(std::filesystem::exists(folder / "databases" / "NOVA.sqlite"));
    EXPECT_EQ(errorNumber([&] { Database::open(u"", Database::Mode::Create); }), kCommandError);
}

TEST_F(SqliteTest, ACachedStatementInUseIsCompiledAgain) {
    auto db = Database::open(databaseFile(kCatalog), Database::Mode::ReadWrite);
    const char* sql = "SELECT ARTIGO FROM ARTIGOS ORDER BY ARTIGO";
    std::vector<std::string> pairs;
    auto outer = db->cached(sql);
    while (outer.step()) {
        auto inner = db->cached(sql);  // same text while the first is still walking
        ASSERT_TRUE(inner.step());
        pairs.push_back(toUtf8(outer.text(0)) + "/" + toUtf8(inner.text(0)));
    }
    EXPECT_EQ(pairs.size(), 5u);
    EXPECT_EQ(pairs.front(), "A001/A001");
    EXPECT_EQ(pairs.back(), "TXE/A001");
    // Released, the cached statement starts again from the beginning with fresh bindings.
    for (int round = 0; round < 2; ++round) {
        auto q = db->cached("SELECT DESCRICAO FROM ARTIGOS WHERE ARTIGO = ?1");
        q.bind(1, round == 0 ? u"A001" : u"B002");
        ASSERT_TRUE(q.step());
        EXPECT_EQ(toUtf8(q.text(0)), round == 0 ? "Parafuso" : "Livro");
    }
}

TEST_F(SqliteTest, ATransactionLeftWithoutCommitRollsBack) {
    auto db = Database::open(databaseFile(kCatalog), Database::Mode::ReadWrite);
    {
        Transaction t(*db, true);
        db->exec("DELETE FROM ARTIGOS");
    }
    auto q = db->prepare("SELECT COUNT(*) FROM ARTIGOS");
    ASSERT_TRUE(q.step());
    EXPECT_EQ(q.integer(0), 5);
}

}  // namespace
