// vantrel demo: a guided tour of the energy surcharge. It creates a demo company in a fresh
// folder (settings file, company database, articles, ERP user and SQL login), then plays
// the ERP through `vantrel host` with every message box answered from a script.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "commands.h"
#include "data_folder.h"
#include "erp/company_database.h"
#include "platform/posix/profile_engine.h"

namespace vantrel::app {

namespace {

using automation::fromUtf8;
using automation::T;
using automation::Text;

const char kDemoUsage[] =
    "usage: vantrel demo [--data DIR] [--json] [--keep]\n"
    "\n"
    "Creates a demo company DEMO (settings file, company database, articles, an ERP user)\n"
    "in a fresh temporary folder, or in DIR, and walks through the add-in as the ERP would\n"
    "drive it: entering the company, saving a sales document that takes the energy\n"
    "surcharge, saving one that already holds it, an ERP insert that fails (the document is\n"
    "put back), switching the API connection off and on (operation 2010) and leaving.\n"
    "Every message box is answered from the script. A temporary folder is removed at the\n"
    "end unless --keep is given.\n";

// The demo company: its settings, database and articles.
constexpr char kCompany[] = "DEMO";
constexpr char16_t kCatalog[] = u"DEMODB";
constexpr char16_t kSurchargeArticle[] = u"TXENERG";

std::string windowsStyle(const std::string& path) {
    std::string p = path;
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

void writeSetting(platform::posix::ProfileEngine& ini, const std::string& file, const char* section,
                  const char* key, const std::string& value) {
    std::string s = automation::toCp1252(T(section));
    std::string v = automation::toCp1252(T(value));
    if (ini.writeString(s.c_str(), key, v.c_str(), file.c_str()) == 0) {
        throw std::runtime_error("cannot write the settings file " + file);
    }
}

void createCompany(const std::string& base) {
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(base) / "talmek");
    fs::create_directories(fs::path(base) / "logs");
    substitutes::setDataFolder(fromUtf8(windowsStyle(base)));

    platform::posix::ProfileEngine ini;
    std::string file = windowsStyle(base + "/talmek/VANTREL." + kCompany);
    writeSetting(ini, file, "Api Next", "Login", "api");
    writeSetting(ini, file, "Api Next", "password", "demo");
    writeSetting(ini, file, "Api Next", "Empresa", kCompany);
    writeSetting(ini, file, "Api Next", "perclog", windowsStyle(base + "/logs"));
    writeSetting(ini, file, "Api Next", "PercWindows", "C:\\Windows");
    writeSetting(ini, file, "Ligação", "Servidor", "localhost");
    writeSetting(ini, file, "Ligação", "Empresa", automation::toUtf8(kCatalog));
    writeSetting(ini, file, "Ligação", "Username", "vantrel");
    writeSetting(ini, file, "Ligação", "PassWord", "demo");
    // The save hook acts only on series that read as the number 0.
    writeSetting(ini, file, "Documentos com taxa", "Documentos", "FT,0;FR,0");
    writeSetting(ini, file, "Documentos com taxa", "Taxa", "1,5");
    writeSetting(ini, file, "Documentos com taxa", "Pergunta", "Sim");
    writeSetting(ini, file, "Documentos com taxa", "Artigo", automation::toUtf8(kSurchargeArticle));

    using substitutes::erp::Article;
    substitutes::erp::createCompanyDatabase(kCatalog, true);
    substitutes::erp::addSqlLogin(kCatalog, u"vantrel", u"demo");
    substitutes::erp::addErpUser(kCatalog, u"api", u"demo");
    substitutes::erp::addArticle(
        kCatalog, Article{u"CABO3G", T("Cabo eléctrico 3G2,5 (metro)"), u"M", 23, 10});
    substitutes::erp::addArticle(kCatalog, Article{u"LAMPLED", T("Lâmpada LED 9W"), u"UN", 13, 5});
    substitutes::erp::addArticle(kCatalog,
                                 Article{kSurchargeArticle, T("Taxa Energética"), u"UN", 23, 0});
}

// The tour, as commands of `vantrel host`, and the answers to its message boxes in order.
std::string script(int year) {
    std::string y = std::to_string(year);
    return "echo == 1. O ERP abre a empresa DEMO: o add-in lê VANTREL.DEMO, liga-se à base de "
           "dados e à API\n"
           "enter DEMO ana\n"
           "echo\n"
           "echo == 2. Dois documentos de venda da série 0 (a série que a regra aceita)\n"
           "new-document FT 0 " +
           y +
           " CABO3G:10:10 LAMPLED:10:5\n"
           "new-document FT 0 " +
           y +
           " CABO3G:2:10 TXENERG:1:0.3\n"
           "show FT 0 1 " +
           y +
           "\n"
           "echo\n"
           "echo == 3. Gravar FT-0-1-" +
           y +
           ": bases 100 + 50, taxa 1,5% -> linha de 2,25\n"
           "save FT 0 1 " +
           y +
           "\n"
           "echo O documento foi reescrito com a linha de Taxa Energética no fim:\n"
           "show FT 0 3 " +
           y +
           "\n"
           "echo\n"
           "echo == 4. Gravar FT-0-2-" +
           y +
           ", que já tem a linha de Taxa Energética: recusado\n"
           "save FT 0 2 " +
           y +
           "\n"
           "show FT 0 2 " +
           y +
           "\n"
           "echo\n"
           "echo == 5. O ERP recusa o novo documento: o original é reposto, nada se perde\n"
           "new-document FR 0 " +
           y +
           " LAMPLED:4:5\n"
           "fail Inserir Base de dados ocupada\n"
           "save FR 0 1 " +
           y +
           "\n"
           "show FR 0 1 " +
           y +
           "\n"
           "echo\n"
           "echo == 6. Operação 2010: desligar e voltar a ligar a API (resposta Sim)\n"
           "operation 2010\n"
           "operation 2010\n"
           "echo\n"
           "echo == 7. O ERP fecha a empresa\n"
           "leave\n";
}

const std::vector<std::string> kAnswers = {
    "yes", "ok",  // 3: add the surcharge? -> done
    "yes", "ok",  // 4: add the surcharge? -> refused
    "yes", "ok",  // 5: add the surcharge? -> insert failed, document put back
    "yes", "ok",  // 6: switch off? -> off
    "yes", "ok",  //    switch on? -> on
};

}  // namespace

int runDemo(const Arguments& args) {
    std::optional<std::string> data;
    bool json = false, keep = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kDemoUsage, stdout);
            return 0;
        }
        if (args[i] == "--data" && i + 1 < args.size()) {
            data = args[++i];
        } else if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--keep") {
            keep = true;
        } else {
            std::fprintf(stderr, "vantrel demo: unknown argument '%s'\n\n%s", args[i].c_str(),
                         kDemoUsage);
            return 2;
        }
    }

    auto started = std::chrono::steady_clock::now();
    bool temporary = !data;
    std::string base;
    if (data) {
        base = std::filesystem::absolute(*data).string();
    } else {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantrel-demo-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data())) {
            std::perror("vantrel demo: mkdtemp");
            return 1;
        }
        base = buf.data();
    }

    int code = 1;
    try {
        createCompany(base);
        if (!json) {
            std::printf(
                "Empresa de demonstração criada em %s\n"
                "  talmek/VANTREL.DEMO  (Api Next, Ligação, Documentos com taxa: FT,0;FR,0, "
                "taxa 1,5%%, artigo TXENERG, pergunta Sim)\n"
                "  databases/DEMODB.sqlite  (artigos CABO3G, LAMPLED, TXENERG; utilizador api)\n",
                base.c_str());
        }
        int year = automation::splitDate(automation::SystemClock().now()).year;
        std::string scriptFile = base + "/demo-commands.txt";
        {
            std::ofstream f(scriptFile);
            f << script(year);
        }
        Arguments host = {"--data", base};
        for (const std::string& a : kAnswers) {
            host.push_back("--answer");
            host.push_back(a);
        }
        if (json) host.push_back("--json");
        host.push_back(scriptFile);
        std::fflush(stdout);
        code = runHost(host);
        if (!json) {
            double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::printf("\nDemonstração %s em %.2f s. Registo do add-in: %s/logs\n",
                        code == 0 ? "concluída" : "terminada com erros", seconds, base.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrel demo: %s\n", e.what());
        code = 1;
    }
    if (temporary && !keep) {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    } else if (!json) {
        std::printf("Dados mantidos em %s\n", base.c_str());
    }
    return code;
}

}  // namespace vantrel::app
