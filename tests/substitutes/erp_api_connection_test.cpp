#include <gtest/gtest.h>

#include "data_folder.h"
#include "erp/sqlite_database.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::byRef;
using vantrel::automation::ObjectRef;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
using vantrel::automation::Variant;

namespace {

class ApiConnectionTest : public CompanyFixture {
protected:
    ObjectRef newApi(bool product = true) {
        ObjectRef api = registry.create(progid::NextApiConnection);
        if (product) {
            Variant p(u"1GCO2022_40");
            api.call(u"SetProduct", byRef(p));
        }
        return api;
    }
};

struct LoginCase {
    const char* name;
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;  // replaces that key of the settings file
    const char* reason;     // part of LastError; empty when the login succeeds
};
void PrintTo(const LoginCase& c, std::ostream* os) {
    *os << c.name;
}

class Logins : public ApiConnectionTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(Logins, ConnectAnswersAndSaysWhy) {
    const LoginCase& c = GetParam();
    if (c.section)
        profile.set(kSettings, *c.section == u'L' ? T("Ligação") : Text(c.section), c.key, c.value);
    ObjectRef api = newApi();
    bool ok = api.call(u"Connect", kSettings).toBool();
    EXPECT_EQ(ok, *c.reason == 0);
    EXPECT_EQ(api.get(u"Connected").toBool(), ok);
    EXPECT_NE(toUtf8(api.get(u"LastError").toText()).find(c.reason), std::string::npos)
        << toUtf8(api.get(u"LastError").toText());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Logins,
    ::testing::Values(
        LoginCase{"Accepted", nullptr, nullptr, nullptr, ""},
        LoginCase{"LoginInAnyCase", u"Api Next", u"Login", u"API", ""},
        LoginCase{"WrongPassword", u"Api Next", u"password", u"segredo1", "palavra-passe"},
        LoginCase{"UnknownUser", u"Api Next", u"Login", u"ana", "O utilizador ana"},
        LoginCase{"NoUser", u"Api Next", u"Login", u"", "utilizador da API"},
        LoginCase{"NoDatabaseInSettings", u"L", u"Empresa", u"", "base de dados da empresa"},
        LoginCase{"DatabaseFileMissing", u"L", u"Empresa", u"EMP99", "EMP99"}),
    [](const ::testing::TestParamInfo<LoginCase>& i) { return i.param.name; });

TEST_F(ApiConnectionTest, SettingsFileThatDoesNotExistIsRefused) {
    ObjectRef api = newApi();
    EXPECT_FALSE(api.call(u"Connect", u"C:\\nada\\VANTREL.X").toBool());
    EXPECT_FALSE(api.call(u"Connect", u"").toBool());
}

TEST_F(ApiConnectionTest, NoProductNoLogin) {
    ObjectRef api = newApi(false);
    EXPECT_FALSE(api.call(u"Connect", kSettings).toBool());
    EXPECT_NE(toUtf8(api.get(u"LastError").toText()).find("SetProduct"), std::string::npos);
    api.call(u"SetProduct", u"1GCO2022_40");
    EXPECT_TRUE(api.call(u"Connect", kSettings).toBool());
    EXPECT_EQ(toUtf8(api.get(u"Product").toText()), "1GCO2022_40");
}

TEST_F(ApiConnectionTest, DocumentsNeedAnOpenLogin) {
    ObjectRef api = newApi();
    EXPECT_EQ(errorNumber([&] { api.get(u"NewSalesDocument"); }),
              vantrel::automation::errc::AutomationError);
    ASSERT_TRUE(api.call(u"Connect", kSettings).toBool());
    ObjectRef doc = api.object(u"NewSalesDocument");
    EXPECT_TRUE(api.call(u"Disconnect").toBool());
    EXPECT_FALSE(api.get(u"Connected").toBool());
    EXPECT_EQ(errorNumber([&] { doc.call(u"Ler", u"FT", 1, u"A", std::int16_t{2024}); }),
              vantrel::automation::errc::AutomationError);
    EXPECT_EQ(errorNumber([&] { api.get(u"NewDocumentLine"); }),
              vantrel::automation::errc::AutomationError);
    // A new login does not bring the documents of the old one back.
    ASSERT_TRUE(api.call(u"Connect", kSettings).toBool());
    EXPECT_EQ(errorNumber([&] { doc.call(u"Inserir"); }),
              vantrel::automation::errc::AutomationError);
    EXPECT_EQ(
        api.object(u"NewSalesDocument").call(u"Ler", u"FT", 1, u"A", std::int16_t{2024}).toBool(),
        false);
}

TEST_F(ApiConnectionTest, AFailedLoginClosesTheEarlierOne) {
    ObjectRef api = newApi();
    ASSERT_TRUE(api.call(u"Connect", kSettings).toBool());
    EXPECT_FALSE(api.call(u"Connect", u"C:\\nada\\VANTREL.X").toBool());
    EXPECT_FALSE(api.get(u"Connected").toBool());
}

TEST_F(ApiConnectionTest, SetDatabaseMovesTheDocumentsToTheDataAccessDatabase) {
    // A second company with its own documents; the login itself is checked in EMP01.
    createCompanyDatabase(u"EMP02");
    addArticle(u"EMP02", {u"A001", u"Outro", u"UN", 23, 1, u"A1"});
    ObjectRef api = newApi();
    ASSERT_TRUE(api.call(u"Connect", kSettings).toBool());
    ObjectRef data = registry.create(progid::CoreDataAccess);
    ASSERT_TRUE(data.call(u"Open", u"Initial Catalog=EMP02;Integrated Security=SSPI").toBool());
    Variant cell(data);
    api.call(u"SetDatabase", byRef(cell));
    insertDocument(api, DocumentDraft{u"FT", u"A", 2024, 0, u"", std::nullopt, {{u"A001", 1}}});
    auto emp02 = Database::open(databaseFile(u"EMP02"), Database::Mode::ReadWrite);
    auto q = emp02->prepare("SELECT DESCR FROM DOCGCLIN");
    ASSERT_TRUE(q.step());
    EXPECT_EQ(toUtf8(q.text(0)), "Outro");
}

TEST_F(ApiConnectionTest, SetDatabaseRefusesAClosedDataAccessObject) {
    ObjectRef api = newApi();
    ASSERT_TRUE(api.call(u"Connect", kSettings).toBool());
    ObjectRef data = registry.create(progid::CoreDataAccess);
    EXPECT_EQ(errorNumber([&] { api.call(u"SetDatabase", data); }),
              vantrel::automation::errc::AutomationError);
    EXPECT_EQ(errorNumber([&] { api.call(u"SetDatabase", Variant()); }),
              vantrel::automation::errc::ObjectVariableNotSet);
    // Through another bridge the data-access object still names its file.
    ObjectRef opened = openDataAccess();
    ObjectRef foreign = vantrel::automation::makeObject<Forwarder>(opened);
    EXPECT_EQ(errorNumber([&] { api.call(u"SetDatabase", foreign); }), 0);
}

TEST_F(ApiConnectionTest, LigacaoIsReadInWindows1252) {
    // The memory profile finds only the Windows-1252 bytes of the section name; a UTF-8
    // section would read as empty and the login would be refused for want of a database.
    ObjectRef api = newApi();
    EXPECT_TRUE(api.call(u"Connect", kSettings).toBool());
    MemoryProfile utf8Only;
    utf8Only.set(kSettings, u"Api Next", u"Login", u"api");
    utf8Only.set(kSettings, u"Api Next", u"password", u"Segredo1");
    utf8Only.set(kSettings, vantrel::automation::fromCp1252(toUtf8(T("Ligação"))), u"Empresa",
                 kCatalog);
    StandInRegistry other(StandInContext{&utf8Only, nullptr, nullptr});
    ObjectRef api2 = other.create(progid::NextApiConnection);
    api2.call(u"SetProduct", u"x");
    EXPECT_FALSE(api2.call(u"Connect", kSettings).toBool());
}

TEST_F(ApiConnectionTest, WithoutIniPortConnectRaises) {
    StandInRegistry bare;
    ObjectRef api = bare.create(progid::NextApiConnection);
    api.call(u"SetProduct", u"x");
    EXPECT_EQ(errorNumber([&] { api.call(u"Connect", kSettings); }),
              vantrel::automation::errc::AutomationError);
}

}  // namespace
