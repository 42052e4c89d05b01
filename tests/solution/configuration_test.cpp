// Reading the company's settings file on entry.
#include <gtest/gtest.h>

#include "solution/solution_world.h"

using namespace vantrel::testing;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;

namespace {

struct ConfigurationTest : ::testing::Test {
    SolutionWorld world;
    std::unique_ptr<vantrel::solution::Solucao> s;
    void SetUp() override {
        world.openAnswer = false;  // stop after the settings; only they matter here
        s = world.make();
    }
    void enter(const Text& company) {
        Variant c(company), u(Text(u"ana")), h(std::int32_t{0}), e;
        s->App_OnEntrar(c, u, h, e);
    }
};

TEST_F(ConfigurationTest, ReadsEveryKeyOfTheThreeSections) {
    struct Key {
        const char* section;
        const char16_t* key;
        const char16_t* value;
    } keys[] = {
        {"Api Next", u"password", u"apw"},
        {"Api Next", u"Login", u"alogin"},
        {"Api Next", u"Empresa", u"EMP01"},
        {"Api Next", u"perclog", u"C:\\Logs\\"},
        {"Api Next", u"PercWindows", u"C:\\Win"},
        {"Ligação", u"Servidor", u"SRV"},
        {"Ligação", u"Empresa", u"BD01"},
        {"Ligação", u"Username", u"user"},
        {"Ligação", u"PassWord", u"dbpw"},
        {"Documentos com taxa", u"Documentos", u"FT,0;FR,0"},
        {"Documentos com taxa", u"Taxa", u"1,5"},
        {"Documentos com taxa", u"Pergunta", u"Sim"},
        {"Documentos com taxa", u"Artigo", u"TXENERG"},
    };
    for (const Key& k : keys) world.setting(u"EMP01", T(k.section), k.key, k.value);
    enter(u"EMP01");
    const auto& f = s->fields();
    EXPECT_EQ(f.mFicheiroConfig, u"C:\\Dados\\talmek\\VANTREL.EMP01");
    EXPECT_EQ(f.mApiPassword, u"apw");
    EXPECT_EQ(f.mApiLogin, u"alogin");
    EXPECT_EQ(f.mApiEmpresa, u"EMP01");
    EXPECT_EQ(f.mPercursoLog, u"C:\\Logs\\");
    EXPECT_EQ(f.mPercursoWindows, u"C:\\Win");
    EXPECT_EQ(f.mDocumentosTaxa, u"FT,0;FR,0");
    EXPECT_EQ(f.mTaxa, u"1,5");
    EXPECT_EQ(f.mPerguntaTaxa, u"Sim");
    EXPECT_EQ(f.mArtigoTaxa, u"TXENERG");
    // The database values were replaced by the connection settings' own.
    EXPECT_EQ(f.mServidor, world.server);
}

TEST_F(ConfigurationTest, WithoutTalmekFolderTheModuleFolderIsUsed) {
    world.talmekExists = false;
    world.fake.profile.set(u"C:\\Programas\\QuorilVantrel\\VANTREL.EMP01", u"Api Next", u"Login",
                           u"daqui");
    enter(u"EMP01");
    EXPECT_EQ(s->fields().mFicheiroConfig, u"C:\\Programas\\QuorilVantrel\\VANTREL.EMP01");
    EXPECT_EQ(s->fields().mApiLogin, u"daqui");
}

TEST_F(ConfigurationTest, MissingFileGivesEmptyFieldsAndKeepsThePath) {
    enter(u"NADA");
    const auto& f = s->fields();
    EXPECT_EQ(f.mFicheiroConfig, u"C:\\Dados\\talmek\\VANTREL.NADA");
    for (const Text* field : {&f.mApiPassword, &f.mApiLogin, &f.mApiEmpresa, &f.mPercursoWindows,
                              &f.mDocumentosTaxa, &f.mTaxa, &f.mPerguntaTaxa, &f.mArtigoTaxa}) {
        EXPECT_TRUE(field->empty());
    }
    EXPECT_EQ(f.mPercursoLog, u"\\");
}

TEST_F(ConfigurationTest, OnlyTheLigacaoSectionFillsOnlyDatabaseFields) {
    world.setting(u"EMP01", T("Ligação"), u"Empresa", u"BD01");
    world.setting(u"EMP01", T("Ligação"), u"Servidor", u"SRV");
    world.setting(u"EMP01", T("Ligação"), u"Username", u"u");
    world.setting(u"EMP01", T("Ligação"), u"PassWord", u"p");
    world.setting(u"EMP01", u"Api Next", u"Empresa", u"EMP01");
    enter(u"EMP01");
    EXPECT_TRUE(s->fields().mDocumentosTaxa.empty());
    EXPECT_TRUE(s->fields().mApiLogin.empty());
    EXPECT_TRUE(world.logged("ConnectionSettings.Load"));  // the company check passed
}

TEST_F(ConfigurationTest, ASecondCompanyKeepsNothingOfTheFirst) {
    world.setting(u"EMP01", u"Documentos com taxa", u"Taxa", u"2");
    world.setting(u"EMP01", u"Api Next", u"Login", u"um");
    world.setting(u"EMP02", u"Api Next", u"Login", u"dois");
    enter(u"EMP01");
    EXPECT_EQ(s->fields().mTaxa, u"2");
    enter(u"EMP02");
    EXPECT_TRUE(s->fields().mTaxa.empty());
    EXPECT_EQ(s->fields().mApiLogin, u"dois");
}

TEST_F(ConfigurationTest, ApostrophesAndSemicolonsStayAsWritten) {
    world.setting(u"EMP01", u"Api Next", u"Empresa", u"EMP01");
    world.setting(u"EMP01", T("Ligação"), u"Empresa", u"BD01");
    world.setting(u"EMP01", u"Documentos com taxa", u"Artigo", u"TX'1;2");
    enter(u"EMP01");
    EXPECT_EQ(s->fields().mArtigoTaxa, u"TX'1;2");
}

}  // namespace
