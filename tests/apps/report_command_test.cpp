// vantrel report: the command run in-process on the example report.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "apps/vantrel/commands.h"
#include "reports/report_test_support.h"

namespace vantrel::app {
namespace {

using reports::testing::makeCompanyDatabase;
using reports::testing::TempFolder;

const std::string kExample = VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt";

struct CommandRun {
    int code;
    std::string out;
};

CommandRun report(const Arguments& args) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    int code = runReport(args);
    std::fflush(stdout);
    CommandRun r{code, ::testing::internal::GetCapturedStdout()};
    r.out += ::testing::internal::GetCapturedStderr();
    return r;
}

// The lines of `text` that contain one of `wanted`, in their order of appearance.
std::vector<std::string> positions(const std::string& text,
                                   const std::vector<std::string>& wanted) {
    std::vector<std::string> found;
    std::size_t from = 0;
    for (const auto& w : wanted) {
        auto at = text.find(w, from);
        if (at == std::string::npos) break;
        found.push_back(w);
        from = at + w.size();
    }
    return found;
}

class ReportCommandTest : public ::testing::Test {
protected:
    void TearDown() override { substitutes::setDataFolder(saved); }
    TempFolder data;
    automation::Text saved = substitutes::dataFolder();
};

TEST_F(ReportCommandTest, RunsTheExampleReportFromCheckToEnd) {
    makeCompanyDatabase(data.path(), "RELSISTEMA", {"tlkEmpresa"});
    makeCompanyDatabase(data.path(), "RELEMPRESA", {"ARTIGO", "DOCGCLIN"});
    CommandRun r =
        report({"run", kExample, "--data", data.path().string(), "--servidor", "SRV", "--base",
                "RELSISTEMA", "--base-next", "RELEMPRESA", "--user", "sa", "--password", "x",
                "--pedidos", "|01-07-2026|31-07-2026|A|Falso", "--calls"});
    EXPECT_EQ(r.code, 0) << r.out;
    const std::vector<std::string> steps = {
        "] Verificar existência do mapa ->VendasPorArtigo.rpt",
        "] Mapa Existe",
        "] Instancia runtime crystal reports versão 10",
        "] Abrir Mapa",
        "] Ficheiro de parametros ->" VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.txt",
        "] Inicio de atribuição da base de dados ao mapa",
        "] Atribuir a base de dados aos subreports",
        "] Fim de atribuir a base de dados aos subreports",
        "result: ExecutaMapa returned False (the run went through)",
        "VendasPorArtigo.rpt:tlkEmpresa.ConnectionProperties(\"Initial Catalog\").Value = "
        "\"RELSISTEMA\"",
        "VendasPorArtigo.rpt:DOCGCLIN.ConnectionProperties(\"Initial Catalog\").Value = "
        "\"RELEMPRESA\"",
        "VendasPorArtigo.rpt/Empresa:tlkEmpresa.TestConnectivity -> True",
    };
    EXPECT_EQ(positions(r.out, steps), steps) << r.out;
    EXPECT_EQ(r.out.find("message box"), std::string::npos);
    EXPECT_EQ(r.out.find("+--"), std::string::npos) << r.out;  // no box at all
}

TEST_F(ReportCommandTest, PrintsEachBoxAsItHappens) {
    CommandRun r = report({"run", kExample, "--data", data.path().string(), "--versao", "1",
                           "--base", "NENHUMA", "--answer", "ok", "--answer", "ok", "--answer",
                           "ok", "--answer", "ok", "--answer", "ok"});
    EXPECT_EQ(r.code, 1) << "the run showed error boxes\n" << r.out;
    std::size_t boxes = 0;
    for (std::size_t at = r.out.find("| Erro na ligação a base de dados"); at != std::string::npos;
         at = r.out.find("| Erro na ligação a base de dados", at + 1)) {
        ++boxes;
    }
    EXPECT_EQ(boxes, 5u) << r.out;
    EXPECT_EQ(
        positions(r.out, {"versão 8.5", "Erro na ligação", "=> OK (--answer)", "Fim de atribuir"})
            .size(),
        4u)
        << r.out;
}

TEST_F(ReportCommandTest, MissingReportEndsWithItsBoxAndFailure) {
    CommandRun r = report(
        {"run", data.path().string() + "/Nada.rpt", "--nome", "Vendas mensais", "--answer", "ok"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(positions(r.out, {"] Verificar existência do mapa ->Vendas mensais", "[Erro crítico]",
                                "| A configuração indicada não existe!", "| Vendas mensais",
                                "] Mapa não existe", "result: ExecutaMapa returned True"})
                  .size(),
              6u)
        << r.out;
    EXPECT_EQ(r.out.find("Instancia runtime"), std::string::npos);
}

// The example's July sales of series A, as a PDF a person opens: the title, the values given
// and only the rows that match them.
TEST_F(ReportCommandTest, PdfOfTheExampleShowsTheValuesAndTheMatchingRows) {
    std::filesystem::create_directories(data.path() / "databases");
    for (const char* db : {"RELSISTEMA", "RELEMPRESA"}) {
        const std::string sql =
            VANTREL_SOURCE_DIR "/examples/reports/db/" + std::string(db) + ".sql";
        std::ifstream in(sql);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        sqlite3* handle = nullptr;
        ASSERT_EQ(sqlite3_open((data.path() / "databases" / (std::string(db) + ".sqlite")).c_str(),
                               &handle),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(handle, text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);
    }
    const std::string pdf = (data.path() / "Vendas julho.pdf").string();
    CommandRun r =
        report({"run",         kExample,     "--data",         data.path().string(),
                "--servidor",  "SRV",        "--base",         "RELSISTEMA",
                "--base-next", "RELEMPRESA", "--user",         "sa",
                "--password",  "segredo",    "--pedidos",      "|01-07-2026|31-07-2026|A|Falso",
                "--destino",   "3",          "--ficheiro-pdf", pdf,
                "--calls"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_NE(r.out.find("output: PDF file: " + pdf), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("segredo"), std::string::npos) << "the password is masked\n" << r.out;
    FILE* pipe = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    pclose(pipe);
    // Dates and amounts in the company's conventions, every amount with its cents.
    for (const char* shown : {"Vendas por artigo", "Data inicial: 01-07-2026", "Série: A",
                              "Parafuso", "Água mineral 1,5 L", "Pão de forma", "Açúcar 1 kg",
                              "02-07-2026", "31-07-2026", "10,00", "10,80", "9,60", "3,45"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    for (const char* hidden : {"Porca", "FA 9", "FA 10", "2026-07-02", "10.8", "3.45"})
        EXPECT_EQ(text.find(hidden), std::string::npos) << hidden << "\n" << text;
}

// A report that once showed 270,000 boxes, one per table, ends in one.
TEST_F(ReportCommandTest, OversizedReportEndsInOneBox) {
    std::ofstream file(data.path() / "Largo.rpt");
    file << "vantrel-report 1\n";
    for (int i = 0; i < 270000; ++i) file << "table: T\n";
    file.close();
    CommandRun r =
        report({"run", (data.path() / "Largo.rpt").string(), "--data", data.path().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Largo.rpt: more than 1048576 bytes, too big for a report file"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("\n=> "), r.out.rfind("\n=> ")) << "one box, one answer\n" << r.out;
}

TEST_F(ReportCommandTest, WrongCallsAreRefused) {
    struct Case {
        Arguments args;
        int code;
        const char* says;
    };
    const std::vector<Case> cases = {
        {{}, 2, "usage: vantrel report run REPORT"},
        {{"--help"}, 0, "--base-next B2"},
        {{"run", "--help"}, 0, "--destino N"},
        {{"print", "x.rpt"}, 2, "unknown subcommand 'print'"},
        {{"run"}, 2, "which report?"},
        {{"run", "a.rpt", "b.rpt"}, 2, "only one report"},
        {{"run", "a.rpt", "--destino", "tres"}, 2, "--destino needs a whole number"},
        {{"run", "a.rpt", "--versao"}, 2, "--versao needs a value"},
        {{"run", "a.rpt", "--answer", "talvez"}, 2, "--answer takes"},
        {{"run", "a.rpt", "--cor", "azul"}, 2, "unknown option --cor"},
        {{"run", "a.rpt", "--destino", "6"}, 2, "--destino needs a whole number from 0 to 5"},
        {{"run", "a.rpt", "--versao", "2"}, 2, "--versao needs a whole number from 0 to 1"},
        {{"run", "a.rpt", "--vias", "duas"}, 2, "--vias needs a whole number"},
        {{"run", "a.rpt", "--vias", "99999"}, 2, "--vias needs a whole number"},
    };
    for (const auto& c : cases) {
        CommandRun r = report(c.args);
        EXPECT_EQ(r.code, c.code) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    }
}

}  // namespace
}  // namespace vantrel::app
