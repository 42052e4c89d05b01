// vantrel report open, run as a program on the example report with its answers piped in:
// the rows in order, then a PDF read back as text, or the screen's table.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "reports/report_test_support.h"

namespace vantrel::app {
namespace {

using reports::testing::TempFolder;

const std::string kExample = VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt";

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    ::pclose(pipe);
    return out;
}

// The example's two company databases, from their SQL scripts.
void exampleDatabases(const std::filesystem::path& data) {
    std::filesystem::create_directories(data / "databases");
    for (const char* name : {"RELSISTEMA", "RELEMPRESA"}) {
        sqlite3* db = nullptr;
        const auto file = data / "databases" / (std::string(name) + ".sqlite");
        ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
        const std::string sql =
            slurp(std::string(VANTREL_SOURCE_DIR "/examples/reports/db/") + name + ".sql");
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
}

// Where each of `wanted` appears, in order; the ones found in that order.
std::vector<std::string> inOrder(const std::string& text, const std::vector<std::string>& wanted) {
    std::vector<std::string> found;
    std::size_t from = 0;
    for (const auto& w : wanted) {
        const auto at = text.find(w, from);
        if (at == std::string::npos) break;
        found.push_back(w);
        from = at + w.size();
    }
    return found;
}

class ReportOpenTest : public ::testing::Test {
protected:
    void SetUp() override { exampleDatabases(data.path()); }
    std::string open(const std::string& answers, const std::string& extra = "") {
        return run("printf '" + answers + "' | " VANTREL_BINARY " report open " + kExample +
                   " --data " + data.path().string() +
                   " --servidor SRV --base RELSISTEMA --base-next RELEMPRESA --user sa"
                   " --password x " +
                   extra + " 2>&1");
    }
    TempFolder data;
};

TEST_F(ReportOpenTest, EmptyAnswersKeepTheStartValuesAndPdfWritesTheFile) {
    const std::string pdf = (data.path() / "o.pdf").string();
    const std::string out = open("\\n\\n\\n\\np\\n", "--ficheiro-pdf " + pdf);
    const std::vector<std::string> steps = {
        "Inicio criação da Janela de Pedidos",
        "== Vendas por artigo ==",
        " 1. Data inicial [data] 01-",
        " 2. Data final [data] ",
        " 3. Série [escolha] A  (1 A, 2 B)",
        " 4. Só totais [caixa] não",
        "[e] ecrã  [i] impressora  [p] PDF  [c] escolher destino  [s] sair: p",
        "Inicio da atribuição de parametros ao mapa",
        "output: PDF file: " + pdf,
    };
    EXPECT_EQ(inOrder(out, steps), steps) << out;
    EXPECT_EQ(out.find("Erro "), std::string::npos) << out;
    const std::string text = run("pdftotext -layout " + pdf + " - 2>&1");
    EXPECT_NE(text.find("Vendas por artigo"), std::string::npos) << text;
    EXPECT_NE(text.find("Série"), std::string::npos) << text;
}

TEST_F(ReportOpenTest, AnswersThenScreenShowTheRowsAsATable) {
    const std::string out = open("01-07-2026\\n31-07-2026\\n2\\ns\\ne\\ns\\n");
    const std::vector<std::string> steps = {
        " 3. Série [escolha] B  (1 A, 2 B)",
        " 4. Só totais [caixa] sim",
        "Inicio da visualização no ecran",
        "== Vendas por artigo ==",
        "  Série: B",
        "| Série | Documento | Data | Artigo",
        "| B     | Total     |",
        "|         52 | 15,80 |",  // 40 nuts at 0,05 and 12 bags of sugar at 1,15
        "1 row(s)",
        "fim de preparação do ecran",
    };
    EXPECT_EQ(inOrder(out, steps), steps) << out;
}

TEST_F(ReportOpenTest, ChooserTakesTheDestinationAndCopies) {
    const std::string xlsx = (data.path() / "o.xlsx").string();
    const std::string out =
        open("01-07-2026\\n31-07-2026\\n\\n\\nc\\n9\\n5\\n3\\n", "--guardar-como " + xlsx);
    const std::vector<std::string> steps = {
        "Inicio EscolheDestino",
        "Destino (1 ecrã, 2 impressora, 3 PDF, 4 e-mail, 5 Excel): 9",
        "Destino (1 ecrã",
        "Vias [1]: 3",
        "Retirar Janela",
        "Terminar",
        "output: Excel file: " + xlsx,
    };
    EXPECT_EQ(inOrder(out, steps), steps) << out;
    EXPECT_EQ(out.find("A espera de decisão"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantrel::app
