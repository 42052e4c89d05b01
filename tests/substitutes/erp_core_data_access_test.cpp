#include <gtest/gtest.h>

#include <fstream>

#include "data_folder.h"
#include "erp/recordset.h"
#include "erp/sqlite_database.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::byRef;
using vantrel::automation::ObjectRef;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
using vantrel::automation::Variant;
using vantrel::automation::VarType;

namespace {

const char16_t kSqlLogin[] =
    u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV\\SQL;Initial Catalog=EMP01;User "
    u"Id=sa;Password=\"Pa;ss=w\"\"rd\"; ";

class CoreDataAccessTest : public CompanyFixture {
protected:
    ObjectRef recordset(const ObjectRef& data, const Text& sql) {
        Variant rs;
        data.call(u"OpenRecordset", Text(), sql, byRef(rs), true, std::int32_t{0});
        return rs.toObject();
    }
    void writeFile(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(folder / "databases");
        std::ofstream(folder / "databases" / name, std::ios::binary) << bytes;
    }
};

struct OpenCase {
    const char* name;
    const char16_t* connection;
    bool opens;
    const char* reason;  // part of LastError when refused
};
void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenCases : public CoreDataAccessTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenCases, AnswersWhetherTheConnectionIsOpen) {
    const OpenCase& c = GetParam();
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_EQ(data.call(u"Open", c.connection).toBool(), c.opens);
    EXPECT_EQ(data.get(u"State").toLong(), c.opens ? 1 : 0);
    if (!c.opens) {
        EXPECT_NE(toUtf8(data.get(u"LastError").toText()).find(c.reason), std::string::npos)
            << toUtf8(data.get(u"LastError").toText());
        EXPECT_EQ(toUtf8(data.get(u"DatabaseFile").toText()), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logins, OpenCases,
    ::testing::Values(
        OpenCase{"SqlLoginWithQuotedPassword", kSqlLogin, true, ""},
        OpenCase{"LoginNameInAnyCase",
                 u"Initial Catalog=EMP01;User Id=SA;Password=\"Pa;ss=w\"\"rd\"", true, ""},
        OpenCase{"WindowsLogin", u"Initial Catalog=EMP01;Integrated Security=SSPI;", true, ""},
        OpenCase{"WindowsLoginIgnoresUser",
                 u"Initial Catalog=EMP01;User Id=x;Integrated Security=SSPI;", true, ""},
        OpenCase{"WrongPassword", u"Initial Catalog=EMP01;User Id=sa;Password=pass", false,
                 "Login failed"},
        OpenCase{"PasswordCaseMatters",
                 u"Initial Catalog=EMP01;User Id=sa;Password=\"PA;SS=W\"\"RD\"", false,
                 "Login failed"},
        OpenCase{"UnknownUser", u"Initial Catalog=EMP01;User Id=bob;Password=x; ", false,
                 "Login failed for user 'bob'"},
        OpenCase{"NoLoginAtAll", u"Initial Catalog=EMP01", false, "Login failed"},
        OpenCase{"NoCatalog", u"Data Source=SRV;Integrated Security=SSPI;", false,
                 "Initial Catalog"},
        OpenCase{"MissingFile", u"Initial Catalog=NOPE;Integrated Security=SSPI;", false, "NOPE"}),
    [](const ::testing::TestParamInfo<OpenCase>& i) { return i.param.name; });

TEST_F(CoreDataAccessTest, MissingFileIsNotCreated) {
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_FALSE(data.call(u"Open", u"Initial Catalog=NOPE;Integrated Security=SSPI;").toBool());
    EXPECT_FALSE(std::filesystem::exists(folder / "databases" / "NOPE.sqlite"));
}

TEST_F(CoreDataAccessTest, FileThatIsNotADatabaseIsRefused) {
    writeFile("JUNK.sqlite", std::string(4096, 'x'));
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_FALSE(data.call(u"Open", u"Initial Catalog=JUNK;Integrated Security=SSPI;").toBool());
    EXPECT_NE(toUtf8(data.get(u"LastError").toText()).find("not a database"), std::string::npos);
}

TEST_F(CoreDataAccessTest, SqliteFileWithoutTheCompanyTablesIsRefused) {
    Database::open(databaseFile(u"OTHER"), Database::Mode::Create)->exec("CREATE TABLE T (X)");
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_FALSE(data.call(u"Open", u"Initial Catalog=OTHER;Integrated Security=SSPI;").toBool());
    EXPECT_NE(toUtf8(data.get(u"LastError").toText()).find("DOCGCLIN"), std::string::npos);
}

TEST_F(CoreDataAccessTest, LockedFileIsRefusedAndOpensOnceReleased) {
    auto holder = Database::open(databaseFile(kCatalog), Database::Mode::ReadWrite);
    holder->exec("BEGIN EXCLUSIVE");
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_FALSE(data.call(u"Open", kSqlLogin).toBool());
    EXPECT_NE(toUtf8(data.get(u"LastError").toText()).find("locked"), std::string::npos);
    holder->exec("ROLLBACK");
    EXPECT_TRUE(data.call(u"Open", kSqlLogin).toBool());
}

TEST_F(CoreDataAccessTest, BrokenConnectionStringRaisesInsteadOfAnswering) {
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_EQ(errorNumber([&] { data.call(u"Open", u"Initial Catalog=EMP01;Password=\"open"); }),
              3001);
}

TEST_F(CoreDataAccessTest, DatabaseFileNamesTheOpenCatalog) {
    ObjectRef data = openDataAccess();
    EXPECT_EQ(data.get(u"DatabaseFile").toText(), databaseFile(kCatalog));
    EXPECT_TRUE(data.call(u"Close").toBool());
    EXPECT_EQ(data.get(u"State").toLong(), 0);
    EXPECT_TRUE(data.call(u"Close").toBool()) << "closing twice is harmless";
}

TEST_F(CoreDataAccessTest, TheLineQueryOfTheAddInRunsAsWritten) {
    ObjectRef api = connectedApi();
    DocumentDraft draft{u"FT", u"A", 2024, 0, u"C1", vantrel::automation::makeDate(2024, 3, 5), {}};
    draft.lines = {
        {u"A001", 2}, {u"B002", 1, 7.5}, {u"C003", 3, std::nullopt, std::nullopt, u"", 1, true}};
    std::int32_t number = insertDocument(api, draft);

    ObjectRef data = openDataAccess();
    Text sql = u"SELECT     * \r\nFROM       [DOCGCLIN] \r\nWHERE      TPDOCUM='FT' AND NNUMDOC=" +
               vantrel::automation::fromUtf8(std::to_string(number)) +
               u" AND SERIE ='A' AND ANO =2024  \r\nORDER BY   ORDENACA \r\n";
    ObjectRef rs = recordset(data, sql);
    EXPECT_EQ(rs.get(u"RecordCount").toLong(), 3);
    EXPECT_FALSE(rs.get(u"EOF").toBool());
    rs.call(u"MoveFirst");
    std::vector<std::string> articles;
    while (!rs.get(u"EOF").toBool()) {
        articles.push_back(toUtf8(rs.object(u"Fields", u"ARTIGO").get(u"Value").toText()));
        rs.call(u"MoveNext");
    }
    EXPECT_EQ(articles, (std::vector<std::string>{"A001", "B002", "C003"}));

    // Kinds of the values: INTEGER -> Long, REAL -> Double, TEXT -> String, DATA -> Date.
    rs.call(u"MoveFirst");
    EXPECT_EQ(rs.get(u"Collect", u"NNUMDOC").type(), VarType::Long);
    EXPECT_EQ(rs.get(u"Collect", u"QUANT").type(), VarType::Double);
    EXPECT_EQ(rs.get(u"Collect", u"TPDOCUM").type(), VarType::String);
    Variant date = rs.get(u"Collect", u"DATA");
    ASSERT_EQ(date.type(), VarType::Date);
    EXPECT_DOUBLE_EQ(date.toDate(), vantrel::automation::makeDate(2024, 3, 5));
    EXPECT_EQ(rs.get(u"Collect", u"LINANU").toLong(), 0);
    rs.call(u"MoveLast");
    EXPECT_EQ(rs.get(u"Collect", u"LINANU").toLong(), -1);
    EXPECT_DOUBLE_EQ(rs.get(u"Collect", u"PRUNIT").toDouble(), 5.0)
        << "the article's price was suggested";
}

TEST_F(CoreDataAccessTest, ValueKindsOfOtherColumns) {
    ObjectRef data = openDataAccess();
    ObjectRef rs =
        recordset(data, u"SELECT NULL AS N, 3000000000 AS BIG, -7 AS SMALL, 'x' AS T, 1.5 AS R");
    EXPECT_TRUE(rs.get(u"Collect", u"N").isNull());
    EXPECT_EQ(rs.get(u"Collect", u"BIG").type(), VarType::Double);
    EXPECT_DOUBLE_EQ(rs.get(u"Collect", u"BIG").toDouble(), 3000000000.0);
    EXPECT_EQ(rs.get(u"Collect", u"SMALL").type(), VarType::Long);
    EXPECT_EQ(rs.get(u"Collect", u"R").type(), VarType::Double);
    // Text that looks like a date stays text outside a DATE column.
    rs = recordset(data, u"SELECT '2024-01-01' AS D");
    EXPECT_EQ(rs.get(u"Collect", u"D").type(), VarType::String);
}

TEST_F(CoreDataAccessTest, EmptyResultIsAtBothEndsAndCannotMoveFirst) {
    ObjectRef data = openDataAccess();
    ObjectRef rs = recordset(data, u"SELECT * FROM [DOCGCLIN] WHERE TPDOCUM='XX'");
    EXPECT_TRUE(rs.get(u"EOF").toBool());
    EXPECT_TRUE(rs.get(u"BOF").toBool());
    EXPECT_EQ(rs.get(u"RecordCount").toLong(), 0);
    EXPECT_EQ(errorNumber([&] { rs.call(u"MoveFirst"); }), adoerr::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.call(u"MoveNext"); }), adoerr::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.get(u"Collect", u"ARTIGO"); }), adoerr::NoCurrentRecord);
}

TEST_F(CoreDataAccessTest, WalkingPastTheEndsRaises3021) {
    ObjectRef data = openDataAccess();
    ObjectRef rs = recordset(data, u"SELECT 1 AS X UNION ALL SELECT 2 ORDER BY 1");
    ObjectRef field = rs.object(u"", u"X");  // rs("X"): the field follows the current row
    EXPECT_EQ(field.get(u"").toLong(), 1);
    rs.call(u"MoveNext");
    EXPECT_EQ(Variant(field).toLong(), 2) << "a field converts through its default member";
    rs.call(u"MoveNext");
    EXPECT_TRUE(rs.get(u"EOF").toBool());
    EXPECT_FALSE(rs.get(u"BOF").toBool());
    try {
        field.get(u"Value");
        FAIL() << "read past the end";
    } catch (const vantrel::automation::RuntimeError& e) {
        EXPECT_EQ(e.number(), 3021);
        EXPECT_EQ(toUtf8(e.description()),
                  "Either BOF or EOF is True, or the current record has been deleted. Requested "
                  "operation requires a "
                  "current record.");
    }
    EXPECT_EQ(errorNumber([&] { rs.call(u"MoveNext"); }), 3021);
    rs.call(u"MovePrevious");
    EXPECT_EQ(rs.get(u"Collect", u"x").toLong(), 2);
    rs.call(u"MovePrevious");
    rs.call(u"MovePrevious");
    EXPECT_TRUE(rs.get(u"BOF").toBool());
    EXPECT_EQ(errorNumber([&] { rs.call(u"MovePrevious"); }), 3021);
}

TEST_F(CoreDataAccessTest, FieldsByNameAndOrdinal) {
    ObjectRef data = openDataAccess();
    ObjectRef rs = recordset(data, u"SELECT 'a' AS FIRST, 'b' AS SECOND");
    ObjectRef fields = rs.object(u"Fields");
    EXPECT_EQ(fields.get(u"Count").toLong(), 2);
    EXPECT_EQ(toUtf8(fields.object(u"Item", std::int32_t{1}).get(u"Name").toText()), "SECOND");
    EXPECT_EQ(toUtf8(fields.object(u"", u"first").get(u"Value").toText()), "a");
    EXPECT_EQ(errorNumber([&] { fields.get(u"Item", std::int32_t{2}); }), adoerr::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs.get(u"Fields", u"THIRD"); }), adoerr::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs.object(u"Fields", u"FIRST").put(u"Value", u"z"); }),
              vantrel::automation::errc::NotSupported);
}

TEST_F(CoreDataAccessTest, ClosedRecordsetRaises3704) {
    ObjectRef data = openDataAccess();
    ObjectRef rs = recordset(data, u"SELECT 1 AS X");
    ObjectRef field = rs.object(u"Fields", u"X");
    rs.call(u"Close");
    EXPECT_EQ(rs.get(u"State").toLong(), 0);
    EXPECT_EQ(errorNumber([&] { rs.get(u"EOF"); }), adoerr::ObjectClosed);
    EXPECT_EQ(errorNumber([&] { field.get(u"Value"); }), adoerr::ObjectClosed);
}

TEST_F(CoreDataAccessTest, RejectedStatementsRaiseSqliteMessage) {
    ObjectRef data = openDataAccess();
    struct Bad {
        const char16_t* sql;
        const char* message;
    };
    for (const Bad& b :
         {Bad{u"SELECT * FROM [DOCGCLIN] WHERE TPDOCUM='F'T'", "syntax error"},
          Bad{u"SELECT * FROM NOWHERE", "no such table: NOWHERE"},
          Bad{u"SELECT 1; DELETE FROM DOCGCLIN", "one statement"}, Bad{u"", "no statement"}}) {
        try {
            recordset(data, b.sql);
            ADD_FAILURE() << "ran " << toUtf8(b.sql);
        } catch (const vantrel::automation::RuntimeError& e) {
            EXPECT_EQ(e.number(), kCommandError);
            EXPECT_NE(toUtf8(e.description()).find(b.message), std::string::npos)
                << toUtf8(e.description());
        }
    }
    EXPECT_EQ(
        recordset(data, u"SELECT COUNT(*) AS N FROM ARTIGOS;  \r\n").get(u"Collect", u"N").toLong(),
        5)
        << "a final semicolon is no second statement";
}

TEST_F(CoreDataAccessTest, OpenRecordsetOnAClosedObjectRaises) {
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_EQ(errorNumber([&] { recordset(data, u"SELECT 1"); }), 3704);
}

TEST_F(CoreDataAccessTest, RecordsetHoldsNoLockWhileWalked) {
    ObjectRef data = openDataAccess();
    ObjectRef rs = recordset(data, u"SELECT ARTIGO FROM ARTIGOS");
    // Another connection can write while the rows are being read.
    addArticle(kCatalog, {u"Z999", u"Novo"});
    EXPECT_EQ(rs.get(u"RecordCount").toLong(), 5);
}

}  // namespace
