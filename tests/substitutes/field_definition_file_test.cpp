#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "automation/runtime_error.h"
#include "erp/recordset.h"
#include "erp/sqlite_database.h"
#include "reports/field_definition_file.h"

namespace {

namespace fs = std::filesystem;
using vantrel::automation::ObjectRef;
using vantrel::automation::RuntimeError;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::substitutes::erp::Database;
using vantrel::substitutes::reports::FieldDefinitionFile;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class FieldDefinitions : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("vantrel-ttx-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A recordset of the stand-in ERP, from a real query.
    ObjectRef recordset(const char* sql) {
        db_ = Database::open(u":memory:", Database::Mode::Create);
        auto statement = db_->prepare(sql);
        return vantrel::automation::makeObject<vantrel::substitutes::erp::Recordset>(
            vantrel::substitutes::erp::readRecordset(statement));
    }
    Text path(const std::string& name) const { return T((folder_ / name).string()); }

    fs::path folder_;
    std::shared_ptr<Database> db_;
    FieldDefinitionFile library_;
};

TEST_F(FieldDefinitions, OneLinePerFieldInTheAnsiPage) {
    ObjectRef rs =
        recordset("SELECT 'FT' AS TipoDoc, 12 AS NumDoc, 2.5 AS Preço, 'x' AS Descrição");
    Text name = path("campos.ttx");
    ASSERT_EQ(library_.createFieldDefFile(rs, name, -1), 1);
    EXPECT_EQ(
        readFile(folder_ / "campos.ttx"),
        "; QuorilVantrel field definitions: 4 fields\r\n"
        "TipoDoc\tString\r\nNumDoc\tNumber\r\nPre\xE7o\tNumber\r\nDescri\xE7\xE3o\tString\r\n");
}

TEST_F(FieldDefinitions, OverwriteAndUnwritablePaths) {
    ObjectRef rs = recordset("SELECT 1 AS A");
    struct Case {
        std::int32_t overwrite;
        bool exists;
        std::int32_t want;
        bool rewritten;
    };
    for (const Case& c : {Case{-1, true, 1, true}, Case{0, true, 0, false}, Case{0, false, 1, true},
                          Case{-1, false, 1, true}}) {
        const fs::path file = folder_ / "a.ttx";
        fs::remove(file);
        if (c.exists) std::ofstream(file) << "old";
        Text name = path("a.ttx");
        EXPECT_EQ(library_.createFieldDefFile(rs, name, c.overwrite), c.want) << c.overwrite;
        EXPECT_EQ(readFile(file) != "old", c.rewritten) << c.overwrite << " " << c.exists;
    }
    for (Text name : {path("no-such-folder/a.ttx"), T(folder_.string()), Text()}) {
        EXPECT_EQ(library_.createFieldDefFile(rs, name, -1), 0)
            << vantrel::automation::toUtf8(name);
    }
}

TEST_F(FieldDefinitions, NameComesBackThroughTheAnsiPage) {
    ObjectRef rs = recordset("SELECT 1 AS A");
    Text name = path("mapa") + u"\u20AC\u4E2D.ttx";  // the euro sign is in Windows-1252
    ASSERT_EQ(library_.createFieldDefFile(rs, name, -1), 1);
    EXPECT_EQ(name, path("mapa") + u"\u20AC?.ttx");
    EXPECT_TRUE(fs::exists(folder_ / "mapa\xE2\x82\xAC?.ttx"));
}

TEST_F(FieldDefinitions, WrongRecordsetsRaise) {
    ObjectRef nothing;
    ObjectRef notRecordset = recordset("SELECT 1 AS A").object(u"Fields");
    for (ObjectRef* rs : {&nothing, &notRecordset}) {
        Text name = path("x.ttx");
        EXPECT_THROW(library_.createFieldDefFile(*rs, name, -1), RuntimeError);
        EXPECT_FALSE(fs::exists(folder_ / "x.ttx"));
    }
}

}  // namespace
