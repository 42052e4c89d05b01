// vantrel host and vantrel demo, run as a person runs them: the program itself, its output
// and its exit code.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::vector<std::string> lines() const {
        std::vector<std::string> v;
        std::size_t pos = 0;
        while (pos < out.size()) {
            auto nl = out.find('\n', pos);
            v.push_back(out.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos));
            if (nl == std::string::npos) break;
            pos = nl + 1;
        }
        return v;
    }
    bool has(const std::string& s) const { return out.find(s) != std::string::npos; }
};

// Runs `program` (vantrel unless told) with the arguments (a shell line), standard input from
// `input`.
Outcome vantrel(const std::string& args, const std::string& input = "",
                const std::string& program = VANTREL_BINARY) {
    fs::path in =
        fs::temp_directory_path() / ("vantrel-host-test-in-" + std::to_string(::getpid()));
    std::ofstream(in) << input;
    std::string cmd =
        "env -u QUORILVANTREL_DATA " + program + " " + args + " < " + in.string() + " 2>&1";
    Outcome r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    fs::remove(in);
    return r;
}

struct HostCommand : ::testing::Test {
    fs::path data;
    void SetUp() override {
        data = fs::temp_directory_path() /
               ("vantrel-host-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(data);
    }
    void TearDown() override { fs::remove_all(data); }
    // The demo company, left in `data`.
    void demoCompany() {
        Outcome r = vantrel("demo --keep --data " + data.string());
        ASSERT_EQ(r.exitCode, 0) << r.out;
    }
};

TEST_F(HostCommand, WrongCalls) {
    struct Case {
        std::string args;
        int exitCode;
        std::string says;
    } cases[] = {
        {"host --help", 0, "usage: vantrel host"},
        {"host --frobnicate", 2, "unknown option '--frobnicate'"},
        {"host", 2, "no data folder"},
        {"host --data /tmp --answer talvez", 2, "'talvez' is no answer"},
        {"host --data /tmp /nao/existe.txt", 2, "cannot read '/nao/existe.txt'"},
        {"demo --help", 0, "usage: vantrel demo"},
        {"demo --bogus", 2, "unknown argument '--bogus'"},
    };
    for (const Case& c : cases) {
        Outcome r = vantrel(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.out;
        EXPECT_TRUE(r.has(c.says)) << c.args << "\n" << r.out;
    }
}

TEST_F(HostCommand, DemoWalksThroughTheSurcharge) {
    Outcome r = vantrel("demo");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const char* expected[] = {
        "App_OnEntrar: bError = False",
        "Foi alterado e finalizado o documento FT-0-3-",
        "3. TXENERG  Taxa Energética  qtd 1 x 2,25  IVA 23%",
        "| Documento já inclui linha de Taxa Energética.\n| Documento não foi alterado!",
        "| Base de dados ocupada\n| O documento original foi reposto como FR-0-1-",
        "A API Sage100C encontra-se agora, desligada.",
        "A API Sage100C encontra-se agora, ligada.",
        "App_OnSair: bError = False",
        "Demonstração concluída",
    };
    std::size_t from = 0;
    for (const char* e : expected) {
        std::size_t at = r.out.find(e, from);
        EXPECT_NE(at, std::string::npos) << "missing, or out of order: " << e << "\n" << r.out;
        if (at != std::string::npos) from = at;
    }
    EXPECT_FALSE(r.has("erro:")) << r.out;
    EXPECT_FALSE(r.has("sem resposta dada")) << "every box has its scripted answer\n" << r.out;
}

TEST_F(HostCommand, DemoAsJsonIsOneObjectALine) {
    Outcome r = vantrel("demo --json");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    int boxes = 0, events = 0;
    for (const std::string& line : r.lines()) {
        if (line.empty()) continue;
        EXPECT_EQ(line.front(), '{') << line;
        EXPECT_EQ(line.back(), '}') << line;
        if (line.find("\"type\":\"box\"") != std::string::npos) ++boxes;
        if (line.find("\"type\":\"event\"") != std::string::npos) ++events;
    }
    EXPECT_EQ(boxes, 10);
    EXPECT_TRUE(
        r.has("{\"type\":\"box\",\"title\":\"Taxa Energética\",\"text\":\"Pretende adicionar "
              "Taxa Energética?\",\"style\":292,\"answer\":\"Sim\"}"))
        << r.out;
    EXPECT_TRUE(
        r.has("{\"type\":\"event\",\"name\":\"App_OnEntrar\",\"args\":{\"sEmpresa\":\"DEMO\","
              "\"sUtilizador\":\"ana\",\"HandleJanela\":0},\"out\":{\"bError\":false}}"))
        << r.out;
    EXPECT_EQ(events, 9);  // two to enter, three saves, two operations, two to leave
}

TEST_F(HostCommand, SessionOnTheDemoCompany) {
    demoCompany();
    std::string commands =
        "# a comment\n"
        "enter DEMO rui\n"
        "new-document FT 0 2030 CABO3G:1:200 LAMPLED:2:10:cancelled\n"
        "save FT 0 1 2030\n"
        "show FT 0 2 2030\n"
        "operation 2011\n"
        "operation -2147483648\n"
        "fail inserir\n"
        "leave\n";
    Outcome r =
        vantrel("host --json --data " + data.string() + " --answer yes --answer ok", commands);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(
        r.has("{\"type\":\"result\",\"command\":\"new-document\",\"document\":\"FT-0-1-2030\","
              "\"number\":1}"))
        << r.out;
    EXPECT_TRUE(
        r.has("\"text\":\"Foi alterado e finalizado o documento FT-0-2-2030\",\"style\":64"))
        << r.out;
    // 1.5% of the base 200: the cancelled line is not carried over.
    EXPECT_TRUE(r.has("\"lines\":[{\"article\":\"CABO3G\""));
    EXPECT_TRUE(
        r.has("{\"article\":\"TXENERG\",\"description\":\"Taxa Energética\",\"quantity\":1,"
              "\"price\":3,\"vat\":23,\"cancelled\":false}]"))
        << r.out;
    EXPECT_FALSE(
        r.has("LAMPLED\",\"description\":\"Lâmpada LED 9W\",\"quantity\":2,\"price\":10,"
              "\"vat\":13,\"cancelled\":false"))
        << r.out;
    EXPECT_TRUE(
        r.has("{\"type\":\"event\",\"name\":\"App_OnOperacao\",\"args\":{\"Api\":\"<object>\","
              "\"Operacao\":2011},\"out\":{}}"))
        << r.out;
    EXPECT_TRUE(r.has("\"Operacao\":-2147483648}")) << r.out;
    EXPECT_TRUE(r.has("{\"type\":\"result\",\"command\":\"fail\",\"operation\":\"Inserir\"}"))
        << r.out;
}

TEST_F(HostCommand, BadCommandsAreReportedAndTheSessionGoesOn) {
    demoCompany();
    std::string commands =
        "enter DEMO\n"
        "frobnicate\n"
        "save FT 0 99 2030\n"
        "show FT 0 x 2030\n"
        "new-document FT 0 2030 CABO3G\n"
        "new-document FT 0 2030 NAOEXISTE:1:1\n"
        "operation doze\n"
        "operation 4294969306\n"
        "fail Inzerir\n"
        "fail Inserir\n"
        "new-document FR 0 2030 CABO3G:1:1\n"
        "fail AdicionaLinha Recusada\n"
        "new-document FR 0 2030 CABO3G:1:1 LAMPLED:1:1\n"
        "show FR 0 1 2030\n";
    Outcome r = vantrel("host --data " + data.string(), commands);
    EXPECT_EQ(r.exitCode, 2) << "commands were refused as written\n" << r.out;
    for (const char* e :
         {"erro: comando desconhecido", "erro: o documento FT-0-99-2030 não existe",
          "erro: número e ano têm de ser números inteiros", "erro: linha inválida",
          "| Erro Type mismatch",
          "erro: o código 4294969306 não cabe em 32 bits (de -2147483648 a 2147483647)",
          "erro: operação desconhecida: Inzerir (use AdicionaLinha, Validar, Inserir, Finalizar ou "
          "Remover)"}) {
        EXPECT_TRUE(r.has(e)) << e << "\n" << r.out;
    }
    // The unknown article and the injected failure come back from the ERP as errors.
    EXPECT_TRUE(r.has("erro: Linha 1: o artigo NAOEXISTE não existe.")) << r.out;
    EXPECT_TRUE(r.has("erro: Falha simulada em Inserir.")) << r.out;
    // A refused line stores no document that lacks it.
    EXPECT_TRUE(r.has("erro: Recusada")) << r.out;
    EXPECT_TRUE(r.has("erro: o documento FR-0-1-2030 não existe")) << r.out;
    EXPECT_TRUE(r.has("App_OnSair: bError = False")) << "left the company at the end\n" << r.out;
    EXPECT_FALSE(r.has("Operacao=2010") || r.has("operação Inzerir")) << "refused, not run\n"
                                                                      << r.out;
}

TEST_F(HostCommand, AnAnswerThatIsNoButtonOfItsBoxEndsTheSession) {
    demoCompany();
    Outcome r = vantrel("host --data " + data.string() + " --answer ok --answer ok",
                        "enter DEMO\noperation 2010\necho depois\n");
    EXPECT_EQ(r.exitCode, 2) << r.out;
    EXPECT_TRUE(
        r.has("=> Não (a resposta que nada decide)\n  erro: a resposta OK não é um botão "
              "da caixa \"Ligação SageNext API\" (Sim, Não): a caixa ficou com Não e a "
              "sessão termina"))
        << r.out;
    EXPECT_FALSE(r.has("depois")) << r.out;
    EXPECT_TRUE(r.has("App_OnSair: bError = False")) << r.out;
}

// A person typing at a terminal gets a prompt and answers each box at the same keyboard.
TEST_F(HostCommand, AtATerminalTheKeyboardAnswersTheBoxes) {
    if (std::system("script --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
    demoCompany();
    // The second 2010 takes its default (Sim) from an empty line, and so does its OK box.
    Outcome r = vantrel("-c 'script -qec \"" + std::string(VANTREL_BINARY) + " host --data " +
                            data.string() + "\" /dev/null'",
                        "enter DEMO ana\noperation 2010\nnão\noperation 2010\n\n\nquit\n", "sh");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    // The typed lines come back as the terminal echoes them, interleaved with the output.
    EXPECT_TRUE(r.has("vantrel> ")) << r.out;
    EXPECT_TRUE(r.has("Resposta (Sim/Não, Enter = Sim): ")) << r.out;
    EXPECT_FALSE(r.has("sem resposta dada")) << r.out;
    const auto off = r.out.find("agora, desligada");
    EXPECT_NE(off, std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("agora, desligada", off + 1), std::string::npos) << r.out;
}

TEST_F(HostCommand, JsonStaysUtf8WhateverIsTyped) {
    Outcome r = vantrel("host --json --data /tmp", "echo ol\xE1 mundo\nfr\xFFob\n");
    EXPECT_TRUE(r.has("{\"type\":\"echo\",\"text\":\"ol\uFFFD mundo\"}\n")) << r.out;
    EXPECT_TRUE(r.has("{\"type\":\"error\",\"command\":\"fr\uFFFDob\",")) << r.out;
}

TEST_F(HostCommand, CompanyWithoutSettingsFailsTheEntry) {
    demoCompany();
    Outcome r = vantrel("host --data " + data.string(), "enter NADA\nleave\n");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_TRUE(r.has("App_OnEntrar: bError = True")) << r.out;
    EXPECT_TRUE(r.has("erro: o ERP não abriu a empresa NADA")) << r.out;
}

}  // namespace
