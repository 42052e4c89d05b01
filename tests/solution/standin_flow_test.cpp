// The add-in driven as the ERP drives it, over the stand-ins: the SQLite company database,
// the maker's components and the ERP's document objects.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "data_folder.h"
#include "erp/company_database.h"
#include "erp/sqlite_database.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine.h"
#include "registry.h"
#include "solution/fakes.h"
#include "solution/solucao.h"

using namespace vantrel::testing;
using vantrel::automation::ObjectRef;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;
namespace erp = vantrel::substitutes::erp;
namespace msgbox = vantrel::interfaces::msgbox;
namespace fs = std::filesystem;

namespace {

std::string windowsStyle(std::string p) {
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

struct StandInFlow : ::testing::Test {
    std::string base;
    vantrel::platform::posix::PosixPlatform platform;
    vantrel::platform::posix::ProfileEngine profile;
    RecordingDialogs dialogs;
    vantrel::platform::posix::PosixCatalog catalog;
    vantrel::substitutes::StandInRegistry registry{
        vantrel::substitutes::StandInContext{&profile, &dialogs, &platform}};
    std::unique_ptr<vantrel::solution::Solucao> s;
    ObjectRef host;
    std::int16_t year = 2024;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        base = (fs::temp_directory_path() /
                ("vantrel-flow-" + std::to_string(::getpid()) + "-" + info->name()))
                   .string();
        fs::remove_all(base);
        fs::create_directories(base + "/talmek");
        vantrel::substitutes::setDataFolder(vantrel::automation::fromUtf8(windowsStyle(base)));
        setting("Api Next", "Login", "api");
        setting("Api Next", "password", "pw");
        setting("Api Next", "Empresa", "EMP");
        setting("Ligação", "Servidor", "localhost");
        setting("Ligação", "Empresa", "EMPDB");
        setting("Ligação", "Username", "sa");
        setting("Ligação", "PassWord", "sqlpw");
        setting("Documentos com taxa", "Documentos", "FT,0;FR,0");
        setting("Documentos com taxa", "Taxa", "1,5");
        setting("Documentos com taxa", "Artigo", "TXE");
        erp::createCompanyDatabase(u"EMPDB", true);
        erp::addSqlLogin(u"EMPDB", u"sa", u"sqlpw");
        erp::addErpUser(u"EMPDB", u"api", u"pw");
        erp::addArticle(u"EMPDB", {u"A1", u"Artigo um", u"UN", 23, 10});
        erp::addArticle(u"EMPDB", {u"B2", u"Artigo dois", u"UN", 13, 5});
        erp::addArticle(u"EMPDB", {u"TXE", T("Taxa Energética"), u"UN", 23, 0});
        s = std::make_unique<vantrel::solution::Solucao>(
            vantrel::interfaces::Services{&registry, &catalog, &dialogs, &profile, &platform});
    }
    void TearDown() override {
        host.reset();
        s.reset();
        fs::remove_all(base);
    }

    std::string settingsFile() const { return windowsStyle(base + "/talmek/VANTREL.EMP"); }
    void setting(const char* section, const char* key, const std::string& value) {
        std::string sec = vantrel::automation::toCp1252(T(section));
        std::string val = vantrel::automation::toCp1252(T(value));
        ASSERT_NE(profile.writeString(sec.c_str(), key, val.c_str(), settingsFile().c_str()), 0);
    }
    std::string databaseFile() const { return base + "/databases/EMPDB.sqlite"; }

    bool enter(const char16_t* company = u"EMP") {
        Variant c{Text(company)}, u{Text(u"ana")}, h{std::int32_t{0}}, e{Text(u"x")};
        s->App_OnEntrar(c, u, h, e);
        EXPECT_EQ(e.type(), vantrel::automation::VarType::Boolean);
        return !e.toBool();
    }
    bool leave() {
        Variant e{Text(u"x")};
        s->App_OnSair(e);
        return !e.toBool();
    }
    void connectHost() {
        host = registry.create(vantrel::substitutes::progid::NextApiConnection);
        Variant product(Text(u"1GCO2022_40"));
        host.call(u"SetProduct", vantrel::automation::byRef(product));
        ASSERT_TRUE(host.call(u"Connect", vantrel::automation::fromUtf8(settingsFile())).toBool());
    }
    std::int32_t store(const Text& type, const Text& series, std::vector<erp::LineDraft> lines) {
        erp::DocumentDraft d;
        d.type = type;
        d.series = series;
        d.year = year;
        d.customer = u"C1";
        d.lines = std::move(lines);
        return erp::insertDocument(host, d);
    }
    ObjectRef load(const Text& type, const Text& series, std::int32_t number) {
        ObjectRef doc = host.object(u"NewSalesDocument");
        Variant t(type), n(number), se(series), y(year);
        bool found = doc.call(u"Ler", vantrel::automation::byRef(t), vantrel::automation::byRef(n),
                              vantrel::automation::byRef(se), vantrel::automation::byRef(y))
                         .toBool();
        return found ? doc : ObjectRef();
    }
    void save(const Text& type, const Text& series, std::int32_t number) {
        ObjectRef doc = load(type, series, number);
        ASSERT_FALSE(doc.isNothing());
        s->Vendas_OnGravar(doc);
    }
    std::vector<Text> articles(const ObjectRef& doc) {
        std::vector<Text> out;
        ObjectRef lines = doc.object(u"Linhas");
        for (std::int32_t i = 1; i <= lines.get(u"Count").toLong(); ++i) {
            out.push_back(
                doc.object(u"Linhas", static_cast<std::int16_t>(i)).get(u"Artigo").toText());
        }
        return out;
    }
};

TEST_F(StandInFlow, EntryAndLeaving) {
    EXPECT_TRUE(enter());
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(s->fields().mApiLigada);
    EXPECT_EQ(s->fields().mDados.get(u"State").toLong(), 1);
    EXPECT_TRUE(leave());
    EXPECT_TRUE(leave());  // twice is harmless
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(s->fields().mApiLigada);
}

TEST_F(StandInFlow, RefusedCompanyIsSilent) {
    setting("Api Next", "Empresa", "OUTRA");
    EXPECT_FALSE(enter());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(StandInFlow, DatabaseThatDoesNotOpen) {
    struct Case {
        const char* name;
        std::function<void(StandInFlow&)> spoil;
    } cases[] = {
        {"missing", [](StandInFlow& t) { fs::remove(t.databaseFile()); }},
        {"not a database",
         [](StandInFlow& t) {
             std::ofstream(t.databaseFile(), std::ios::trunc) << "not a database at all";
         }},
        {"wrong password", [](StandInFlow& t) { t.setting("Ligação", "PassWord", "errada"); }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.spoil(*this);
        EXPECT_FALSE(enter()) << c.name;
        EXPECT_TRUE(dialogs.boxes.empty()) << c.name;
        EXPECT_FALSE(s->fields().mApiLigada) << c.name;
    }
}

TEST_F(StandInFlow, LockedDatabaseDoesNotHangTheEntry) {
    vantrel::substitutes::erp::setLockTimeout(50);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(databaseFile().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    bool entered = enter();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    vantrel::substitutes::erp::setLockTimeout(2000);
    EXPECT_FALSE(entered);
    // Either no word (the database did not open) or one framed message; never a crash.
    EXPECT_LE(dialogs.boxes.size(), 1u);
}

TEST_F(StandInFlow, LoginRefused) {
    setting("Api Next", "password", "errada");
    EXPECT_FALSE(enter());
    EXPECT_EQ(dialogs.summary(),
              std::vector<std::string>{
                  "Ligação ao Servidor/Sage Next|48|Erro. Não foi possivel ligar ao Sage Next"});
    EXPECT_TRUE(s->fields().mDados.isNothing());
}

TEST_F(StandInFlow, Operation2010YesAndNo) {
    ASSERT_TRUE(enter());
    ObjectRef api;
    Variant op(std::int32_t{2010});
    dialogs.answers = {msgbox::AnswerNo};
    s->App_OnOperacao(api, op);
    EXPECT_TRUE(s->fields().mApiLigada);
    dialogs.answers = {msgbox::AnswerYes, msgbox::AnswerOk, msgbox::AnswerYes, msgbox::AnswerOk};
    s->App_OnOperacao(api, op);
    EXPECT_FALSE(s->fields().mApiLigada);
    s->App_OnOperacao(api, op);
    EXPECT_TRUE(s->fields().mApiLigada);
    EXPECT_EQ(dialogs.summary().back(),
              "Ligação Sage100C API|64|A API Sage100C encontra-se agora, ligada.");
}

TEST_F(StandInFlow, WorkedFigureEndToEnd) {
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t n = store(u"FT", u"0", {{u"A1", 10, 10.0}, {u"B2", 10, 5.0}});
    save(u"FT", u"0", n);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, 64) << utf8(dialogs.boxes[0].text);
    EXPECT_EQ(dialogs.boxes[0].title, T("Taxa Energética"));
    EXPECT_EQ(dialogs.boxes[0].text, T("Foi alterado e finalizado o documento FT-0-2-2024"));
    EXPECT_TRUE(load(u"FT", u"0", n).isNothing());
    ObjectRef novo = load(u"FT", u"0", 2);
    ASSERT_FALSE(novo.isNothing());
    EXPECT_EQ(articles(novo), (std::vector<Text>{u"A1", u"B2", u"TXE"}));
    ObjectRef last = novo.object(u"Linhas", std::int16_t{3});
    EXPECT_DOUBLE_EQ(last.get(u"PrecoUnitario").toDouble(), 2.25);
    EXPECT_DOUBLE_EQ(last.get(u"Quantidade").toDouble(), 1.0);
    EXPECT_TRUE(novo.object(u"Cab").get(u"Finalizado").toBool());
    EXPECT_EQ(s->fields().mTaxa, u"1.5");
}

TEST_F(StandInFlow, RefusalsAndSkippedRows) {
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t with = store(u"FT", u"0", {{u"A1", 1, 10.0}, {u"txe", 1, 1.0}});
    save(u"FT", u"0", with);
    EXPECT_EQ(dialogs.summary().back(),
              "Taxa Energética|48|Documento já inclui linha de Taxa "
              "Energética.\r\nDocumento não foi alterado!");
    EXPECT_FALSE(load(u"FT", u"0", with).isNothing());

    erp::LineDraft cancelled{u"B2", 2, 5.0};
    cancelled.cancelled = true;
    std::int32_t n = store(u"FR", u"0", {{u"A1", 1, 1.0}, cancelled, {u"B2", 3, 2.0}});
    save(u"FR", u"0", n);
    ObjectRef novo = load(u"FR", u"0", n + 1);
    ASSERT_FALSE(novo.isNothing()) << utf8(dialogs.boxes.back().text);
    EXPECT_EQ(articles(novo), (std::vector<Text>{u"A1", u"B2", u"TXE"}));
    EXPECT_DOUBLE_EQ(novo.object(u"Linhas", std::int16_t{2}).get(u"Quantidade").toDouble(), 3.0);
}

TEST_F(StandInFlow, SeriesOtherThanZeroAndTypesOutsideTheListAreLeftAlone) {
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t a = store(u"FT", u"A", {{u"A1", 1, 10.0}});
    std::int32_t nc = store(u"NC", u"0", {{u"A1", 1, 10.0}});
    save(u"FT", u"A", a);
    save(u"NC", u"0", nc);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(articles(load(u"FT", u"A", a)), std::vector<Text>{u"A1"});
    EXPECT_EQ(articles(load(u"NC", u"0", nc)), std::vector<Text>{u"A1"});
}

TEST_F(StandInFlow, ApiClosedShowsTheNotice) {
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t n = store(u"NC", u"0", {{u"A1", 1, 10.0}});
    ObjectRef api;
    Variant op(std::int32_t{2010});
    dialogs.answers = {msgbox::AnswerYes, msgbox::AnswerOk};
    s->App_OnOperacao(api, op);
    dialogs.boxes.clear();
    save(u"NC", u"0", n);
    EXPECT_EQ(
        dialogs.summary(),
        std::vector<std::string>{"Ligação Sage100C API|64|A API Sage100C encontra-se "
                                 "desligada. A operação não vai actualizar dados no Sage Next."});
}

TEST_F(StandInFlow, FailedInsertKeepsTheDocument) {
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t n = store(u"FT", u"0", {{u"A1", 2, 10.0}, {u"B2", 1, 5.0}});
    erp::injectFailure(u"EMPDB", erp::operation::Inserir, u"Base de dados ocupada");
    save(u"FT", u"0", n);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, 48);
    Text text = dialogs.boxes[0].text;
    EXPECT_NE(text.find(u"Base de dados ocupada"), Text::npos) << utf8(text);
    EXPECT_NE(text.find(T("O documento original foi reposto como FT-0-")), Text::npos)
        << utf8(text);
    // The document is there again, with its lines and without the surcharge.
    ObjectRef back = load(u"FT", u"0", n);
    ASSERT_FALSE(back.isNothing()) << utf8(text);
    EXPECT_EQ(articles(back), (std::vector<Text>{u"A1", u"B2"}));
    EXPECT_DOUBLE_EQ(back.object(u"Cab").get(u"Base1").toDouble(), 20.0);
}

TEST_F(StandInFlow, RefusedRemovalOrLineNeverDuplicatesTheDocument) {
    ASSERT_TRUE(enter());
    connectHost();
    for (const char16_t* op : {erp::operation::Remover, erp::operation::AdicionaLinha}) {
        dialogs.boxes.clear();
        std::int32_t n = store(u"FT", u"0", {{u"A1", 2, 10.0}});
        erp::injectFailure(u"EMPDB", op, u"Recusado pelo ERP");
        save(u"FT", u"0", n);
        ASSERT_EQ(dialogs.boxes.size(), 1u) << utf8(op);
        EXPECT_NE(dialogs.boxes[0].text.find(u"Recusado pelo ERP"), Text::npos)
            << utf8(dialogs.boxes[0].text);
        EXPECT_FALSE(load(u"FT", u"0", n).isNothing()) << utf8(op);
        EXPECT_TRUE(load(u"FT", u"0", n + 1).isNothing()) << utf8(op);  // nothing inserted
    }
}

TEST_F(StandInFlow, FailedValidationRemovesNothing) {
    setting("Documentos com taxa", "Artigo", "NAOEXISTE");
    s = std::make_unique<vantrel::solution::Solucao>(
        vantrel::interfaces::Services{&registry, &catalog, &dialogs, &profile, &platform});
    ASSERT_TRUE(enter());
    connectHost();
    std::int32_t n = store(u"FT", u"0", {{u"A1", 1, 10.0}});
    save(u"FT", u"0", n);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, 48);
    EXPECT_NE(dialogs.boxes[0].text.find(T("Documento não foi alterado!")), Text::npos)
        << utf8(dialogs.boxes[0].text);
    EXPECT_FALSE(load(u"FT", u"0", n).isNothing());
}

TEST_F(StandInFlow, ApostrophesAndSemicolonsInTextValues) {
    // A series and a password that would break the SQL text and the connection string.
    setting("Ligação", "Username", "o'neil");
    setting("Ligação", "PassWord", "p;w'=x");
    erp::addSqlLogin(u"EMPDB", u"o'neil", u"p;w'=x");
    setting("Documentos com taxa", "Documentos", "FT,0'");
    ASSERT_TRUE(enter()) << (dialogs.boxes.empty() ? "" : utf8(dialogs.boxes[0].text));
    connectHost();
    std::int32_t n = store(u"FT", u"0'", {{u"A1", 1, 10.0}});
    // The series does not read as 0, so the save hook leaves it; the data-access command
    // itself must still cope with it.
    auto rows = s->dalComandos().HlpDb_DocGcLin(u"FT", n, u"0'", year);
    EXPECT_FALSE(rows.Eof());
    EXPECT_EQ(rows.field(u"ARTIGO").toText(), u"A1");
}

}  // namespace
