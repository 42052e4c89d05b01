// Entering and leaving a company, with scripted components.
#include <gtest/gtest.h>

#include <algorithm>

#include "automation/runtime_error.h"
#include "solution/solution_world.h"

using namespace vantrel::testing;
using vantrel::automation::Array;
using vantrel::automation::ObjectRef;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;
using vantrel::automation::VarType;

namespace {

struct EntryTest : ::testing::Test {
    SolutionWorld world;
    std::unique_ptr<vantrel::solution::Solucao> s;
    Variant company{Text(u"EMP01")}, user{Text(u"ana")}, handle{std::int32_t{4242}};
    Variant bError{Text(u"untouched")};

    void SetUp() override {
        world.configureCompany(u"EMP01");
        s = world.make();
    }
    void enter() { s->App_OnEntrar(company, user, handle, bError); }
    void leave() { s->App_OnSair(bError); }
    bool errorFlag() const {
        EXPECT_EQ(bError.type(), VarType::Boolean);
        return bError.toBool();
    }
};

TEST_F(EntryTest, ConstructionCreatesAnUnopenedDatabaseObjectOnly) {
    ASSERT_EQ(world.dataAccessObjects.size(), 1u);
    EXPECT_EQ(s->fields().mDados, world.dataAccessObjects[0]);
    EXPECT_TRUE(s->fields().mApiNext.isNothing());
    EXPECT_FALSE(s->fields().mApiLigada);
    EXPECT_EQ(s->fields().mHandleJanela, 0);
    EXPECT_TRUE(world.log->empty());
}

TEST_F(EntryTest, SuccessfulEntryConnectsBothAndHandsTheDatabaseOver) {
    enter();
    EXPECT_FALSE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
    const auto& f = s->fields();
    EXPECT_EQ(f.mEmpresa, u"EMP01");
    EXPECT_EQ(f.mUtilizador, u"ana");
    EXPECT_EQ(f.mHandleJanela, 4242);
    EXPECT_TRUE(f.mApiLigada);
    ASSERT_EQ(world.dataAccessObjects.size(), 2u);  // a new object at each entry
    EXPECT_EQ(f.mDados, world.dataAccessObjects[1]);
    EXPECT_EQ(s->dalComandos().dataAccess(), f.mDados);
    ASSERT_EQ(world.databasesGiven.size(), 1u);
    EXPECT_EQ(world.databasesGiven[0], f.mDados);
    EXPECT_EQ(world.products, std::vector<Text>{u"1GCO2022_40"});
    EXPECT_EQ(world.connectPaths, std::vector<Text>{world.settingsPath(u"EMP01")});
    EXPECT_EQ(f.mFicheiroConfig, world.settingsPath(u"EMP01"));
    // Settings first, then the database, then the API login.
    EXPECT_LT(world.indexOf("FolderCheck.FolderExists"), world.indexOf("ConnectionSettings.Load"));
    EXPECT_LT(world.indexOf("CoreDataAccess.Open"), world.indexOf("NextApiConnection.SetProduct"));
    EXPECT_LT(world.indexOf("NextApiConnection.SetProduct"),
              world.indexOf("NextApiConnection.Connect"));
    EXPECT_LT(world.indexOf("NextApiConnection.Connect"),
              world.indexOf("NextApiConnection.SetDatabase"));
}

TEST_F(EntryTest, DatabaseValuesComeFromTheConnectionSettings) {
    world.server = u"SQL\\INST";
    world.database = u"DB1";
    world.user = u"u1";
    world.password = u"p1";
    enter();
    EXPECT_EQ(s->fields().mServidor, u"SQL\\INST");
    EXPECT_EQ(world.connectionStrings.back(),
              u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SQL\\INST;Initial "
              u"Catalog=DB1;User Id=u1;Password=p1; ");
    EXPECT_FALSE(world.logged("ConnectionSettings.Complete"));
}

TEST_F(EntryTest, WindowsLoginCompletesAndConfirmsOnEveryEntry) {
    world.user = u"";
    world.password = u"";
    world.completedUser = u"";
    enter();
    enter();
    EXPECT_EQ(std::count(world.log->begin(), world.log->end(), "ConnectionSettings.Complete"), 2);
    EXPECT_EQ(std::count(world.log->begin(), world.log->end(), "ConnectionSettings.Confirm"), 2);
    EXPECT_EQ(world.connectionStrings.back(),
              u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV01;Initial "
              u"Catalog=EMP01DB;Integrated Security=SSPI;");
}

TEST_F(EntryTest, ValuesReadAgainAfterComplete) {
    world.user = u"";
    world.completedUser = u"completado";
    enter();
    EXPECT_EQ(s->fields().mUtilizadorBD, u"completado");
}

TEST_F(EntryTest, LogFolderGetsItsBackslash) {
    struct Case {
        const char16_t* setting;
        const char16_t* after;
    } cases[] = {{u"C:\\Logs", u"C:\\Logs\\"}, {u"C:\\Logs\\", u"C:\\Logs\\"}, {u"", u"\\"}};
    for (const Case& c : cases) {
        world.setting(u"EMP01", u"Api Next", u"perclog", c.setting);
        enter();
        EXPECT_EQ(s->fields().mPercursoLog, c.after) << utf8(c.setting);
    }
}

TEST_F(EntryTest, SettingsOfAnotherCompanyRefuseSilently) {
    world.setting(u"EMP01", u"Api Next", u"Empresa", u"OUTRA");
    ObjectRef before = s->fields().mDados;
    enter();
    EXPECT_TRUE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
    EXPECT_FALSE(world.logged("ConnectionSettings.Load"));
    EXPECT_EQ(s->fields().mDados, before);
    EXPECT_TRUE(s->dalComandos().dataAccess().isNothing());
}

TEST_F(EntryTest, CompanyCheckIsCaseSensitive) {
    world.setting(u"EMP01", u"Api Next", u"Empresa", u"emp01");
    enter();
    EXPECT_TRUE(errorFlag());
}

TEST_F(EntryTest, SettingsWithoutDatabaseNameSkipTheCompanyCheck) {
    world.setting(u"EMP01", u"Api Next", u"Empresa", u"OUTRA");
    world.setting(u"EMP01", T("Ligação"), u"Empresa", u"");
    enter();
    EXPECT_TRUE(world.logged("ConnectionSettings.Load"));
    EXPECT_FALSE(errorFlag());
}

TEST_F(EntryTest, DatabaseNotOpenedFailsWithoutMessage) {
    world.openAnswer = false;
    enter();
    EXPECT_TRUE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
    EXPECT_FALSE(world.logged("NextApiConnection.Connect"));
    EXPECT_EQ(s->fields().mDados, world.dataAccessObjects.back());  // new, unopened
}

TEST_F(EntryTest, LoginRefusedClosesTheDatabase) {
    world.connectAnswer = false;
    enter();
    EXPECT_TRUE(errorFlag());
    EXPECT_EQ(world.fake.dialogs.summary(),
              std::vector<std::string>{
                  "Ligação ao Servidor/Sage Next|48|Erro. Não foi possivel ligar ao Sage Next"});
    EXPECT_EQ(world.closes, 1);
    EXPECT_TRUE(s->fields().mDados.isNothing());
    EXPECT_FALSE(s->fields().mApiLigada);
    EXPECT_FALSE(s->fields().mApiNext.isNothing());  // the new, unconnected object
    EXPECT_TRUE(s->dalComandos().dataAccess().isNothing());
}

TEST_F(EntryTest, ComponentErrorShowsTheConnectionFrame) {
    world.folderCheckThrows = true;
    enter();
    EXPECT_TRUE(errorFlag());
    EXPECT_EQ(world.fake.dialogs.summary(),
              std::vector<std::string>{"Ligação ao Servidor|48|Erro Acesso negado"});
}

TEST_F(EntryTest, MissingComponentShowsTheConnectionFrame) {
    world.fake.factory.creators.erase(u"ConnectionSettings");
    enter();
    EXPECT_TRUE(errorFlag());
    ASSERT_EQ(world.fake.dialogs.boxes.size(), 1u);
    EXPECT_EQ(world.fake.dialogs.boxes[0].title, T("Ligação ao Servidor"));
    EXPECT_EQ(world.fake.dialogs.boxes[0].text,
              u"Erro " + vantrel::automation::standardDescription(429));
}

TEST_F(EntryTest, ConversionErrorLeavesBErrorAsTheHostPassedIt) {
    Variant badHandle{Text(u"janela")};
    s->App_OnEntrar(company, user, badHandle, bError);
    EXPECT_EQ(bError.toText(), u"untouched");
    EXPECT_EQ(s->fields().mEmpresa, u"EMP01");  // stored before the failing conversion
    EXPECT_EQ(world.fake.dialogs.summary(),
              std::vector<std::string>{"App_OnEntrar|48|Erro " +
                                       utf8(vantrel::automation::standardDescription(13))});
}

TEST_F(EntryTest, ReLoginClosesTheOldLoginAndAFailedOneLeavesNothingConnected) {
    enter();
    enter();
    EXPECT_EQ(world.apiObjects.size(), 2u);
    EXPECT_EQ(world.disconnects, 1);  // the first login, before its object was replaced
    EXPECT_EQ(s->fields().mApiNext, world.apiObjects[1]);
    EXPECT_TRUE(s->fields().mApiLigada);

    world.connectAnswer = false;
    enter();
    EXPECT_EQ(world.disconnects, 2);
    EXPECT_FALSE(s->fields().mApiLigada);
    leave();
    EXPECT_EQ(world.disconnects, 2);  // the object that never connected is not disconnected
}

TEST_F(EntryTest, LeavingClosesApiThenDatabase) {
    enter();
    bError = Variant(true);
    leave();
    EXPECT_FALSE(errorFlag());
    EXPECT_EQ(world.disconnects, 1);
    EXPECT_EQ(world.closes, 1);
    EXPECT_LT(world.indexOf("NextApiConnection.Disconnect"), world.indexOf("CoreDataAccess.Close"));
    EXPECT_TRUE(s->fields().mDados.isNothing());
    EXPECT_FALSE(s->fields().mApiLigada);
    EXPECT_FALSE(s->fields().mApiNext.isNothing());  // keeps the disconnected object
    // Leaving does not take the database object back from the data-access commands.
    EXPECT_FALSE(s->dalComandos().dataAccess().isNothing());
}

TEST_F(EntryTest, LeavingTwiceIsHarmless) {
    enter();
    leave();
    bError = Variant(true);
    leave();
    EXPECT_FALSE(errorFlag());
    EXPECT_EQ(world.disconnects, 1);
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
}

TEST_F(EntryTest, LeavingWithoutEnteringWritesFalse) {
    leave();
    EXPECT_FALSE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
}

TEST_F(EntryTest, DisconnectErrorEndsLeavingInItsFrame) {
    enter();
    world.disconnectThrows = true;
    leave();
    EXPECT_EQ(bError.type(), VarType::Boolean);
    EXPECT_FALSE(bError.toBool());  // still the value the entry wrote
    EXPECT_EQ(world.fake.dialogs.summary(),
              std::vector<std::string>{"App_OnSair|48|Erro Sessão perdida"});
    EXPECT_EQ(world.closes, 0);  // the database stays open
    EXPECT_FALSE(s->fields().mDados.isNothing());
}

TEST_F(EntryTest, ClosingErrorsAreIgnored) {
    enter();
    world.closeThrows = true;
    leave();
    EXPECT_FALSE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
    EXPECT_TRUE(s->fields().mDados.isNothing());
}

TEST_F(EntryTest, ConnectionValidateAdoptsTheNewCompanyAndKeepsConnections) {
    enter();
    Variant other{Text(u"EMP02")}, otherUser{Text(u"rui")}, otherHandle{std::int16_t{7}};
    bError = Variant(true);
    s->App_OnConnectionValidate(other, otherUser, otherHandle, bError);
    EXPECT_FALSE(errorFlag());
    EXPECT_EQ(s->fields().mEmpresa, u"EMP02");
    EXPECT_EQ(s->fields().mUtilizador, u"rui");
    EXPECT_EQ(s->fields().mHandleJanela, 7);
    EXPECT_TRUE(s->fields().mApiLigada);
    EXPECT_EQ(world.disconnects, 0);
    EXPECT_EQ(world.closes, 0);
}

TEST_F(EntryTest, TracesGoToTheLogFolderWhenItExists) {
    world.setting(u"EMP01", u"Api Next", u"perclog", u"C:\\Logs");
    world.fake.platform.folders.push_back(u"C:\\Logs");
    enter();
    Variant op{std::int32_t{2011}};
    ObjectRef api;
    s->App_OnOperacao(api, op);
    leave();
    std::vector<Text> lines;
    for (const auto& [file, line] : world.fake.platform.appended) {
        EXPECT_EQ(file, u"C:\\Logs\\QuorilVantrel_20240315.log");
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<Text>{u"2024-03-15 10:30:05 App_OnEntrar False",
                                        u"2024-03-15 10:30:05 App_OnOperacao In 2011",
                                        u"2024-03-15 10:30:05 App_OnOperacao Out 2011",
                                        u"2024-03-15 10:30:05 App_OnSair"}));
}

TEST_F(EntryTest, NoTraceWithoutALogFolder) {
    world.fake.platform.folders.push_back(u"\\");
    enter();
    leave();
    EXPECT_TRUE(world.fake.platform.appended.empty());
}

TEST_F(EntryTest, FailingTraceNeverFailsTheEvent) {
    world.setting(u"EMP01", u"Api Next", u"perclog", u"C:\\Logs");
    world.fake.platform.folders.push_back(u"C:\\Logs");
    world.fake.platform.appendFails = true;
    enter();
    EXPECT_FALSE(errorFlag());
    EXPECT_TRUE(world.fake.dialogs.boxes.empty());
}

}  // namespace
