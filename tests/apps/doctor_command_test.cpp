// vantrel doctor, run as a person runs it: the demo company as `vantrel demo` leaves it, then
// one broken setting at a time; each must be named by its own failing check, with a mend,
// and nothing else may fail.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "automation/text.h"
#include "platform/posix/profile_engine.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
};

Outcome vantrel(const std::string& args) {
    Outcome r;
    FILE* p =
        ::popen(("env -u QUORILVANTREL_DATA " VANTREL_BINARY " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string windowsStyle(std::string p) {
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

struct DoctorCommand : ::testing::Test {
    static inline fs::path demo;
    static void SetUpTestSuite() {
        demo = fs::temp_directory_path() / ("vantrel-doctor-demo-" + std::to_string(::getpid()));
        fs::remove_all(demo);
        Outcome r = vantrel("demo --keep --data " + demo.string());
        ASSERT_EQ(r.exitCode, 0) << r.out;
    }
    static void TearDownTestSuite() { fs::remove_all(demo); }
};

// What breaks the company: a key set to a value, a key removed (value null), or with no
// section the file itself ("remove", "folder").
struct Case {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::set<std::string> failing;
    const char* company = "DEMO";
};

const char kUnwritable[] = "<unwritable>";

// The four fields of one JSON line, {"check":...,"state":...,"found":...,"mend":...}, in
// that order and nothing else (their texts still escaped); none when the line is not that.
std::vector<std::string> checkFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (const char* name : {"check", "state", "found", "mend"}) {
        const std::string key = std::string(fields.empty() ? "{" : ",") + "\"" + name + "\":\"";
        if (line.compare(at, key.size(), key) != 0) return {};
        at += key.size();
        std::string value;
        while (at < line.size() && line[at] != '"') {
            if (line[at] == '\\' && at + 1 < line.size()) value += line[at++];
            value += line[at++];
        }
        if (at == line.size()) return {};
        ++at;
        fields.push_back(value);
    }
    return line.substr(at) == "}" ? fields : std::vector<std::string>{};
}

TEST_F(DoctorCommand, NamesEachBrokenSettingAndNothingElse) {
    const std::string db = "Base de dados", api = "API do ERP", file = "Ficheiro de configuração";
    const Case cases[] = {
        {"works", "Api Next", "Login", "api", {}},
        {"no file", nullptr, "remove", nullptr, {file}},
        {"unreadable file", nullptr, "folder", nullptr, {file}},
        {"company code not UTF-8", "Api Next", "Login", "api", {file}, "\"$(printf 'D\\377MO')\""},
        {"no API password", "Api Next", "password", nullptr, {api}},
        {"no API login", "Api Next", "Login", nullptr, {api}},
        {"no API company", "Api Next", "Empresa", nullptr, {"[Api Next] Empresa"}},
        {"another company", "Api Next", "Empresa", "OUTRA", {"[Api Next] Empresa"}},
        {"no log folder", "Api Next", "perclog", nullptr, {}},
        {"log folder missing", "Api Next", "perclog", "C:\\nao\\existe", {"[Api Next] perclog"}},
        {"log folder unwritable", "Api Next", "perclog", kUnwritable, {"[Api Next] perclog"}},
        {"no PercWindows", "Api Next", "PercWindows", nullptr, {}},
        {"no server", "Ligação", "Servidor", nullptr, {}},
        {"no database", "Ligação", "Empresa", nullptr, {db, api}},
        {"no database user", "Ligação", "Username", nullptr, {db}},
        {"no database password", "Ligação", "PassWord", nullptr, {db}},
        {"wrong database password", "Ligação", "PassWord", "errada", {db}},
        {"unknown API user", "Api Next", "Login", "ninguem", {api}},
        {"no document list",
         "Documentos com taxa",
         "Documentos",
         nullptr,
         {"[Documentos com taxa] Documentos"}},
        {"document list unparsable",
         "Documentos com taxa",
         "Documentos",
         "FT;FR, 0",
         {"[Documentos com taxa] Documentos"}},
        {"no rate", "Documentos com taxa", "Taxa", nullptr, {"[Documentos com taxa] Taxa"}},
        {"rate not a number",
         "Documentos com taxa",
         "Taxa",
         "muita",
         {"[Documentos com taxa] Taxa"}},
        {"no question", "Documentos com taxa", "Pergunta", nullptr, {}},
        {"no article", "Documentos com taxa", "Artigo", nullptr, {"[Documentos com taxa] Artigo"}},
        {"article missing",
         "Documentos com taxa",
         "Artigo",
         "NAOHA",
         {"Artigo da taxa na base de dados"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path data = demo.string() + "-case";
        fs::remove_all(data);
        fs::copy(demo, data, fs::copy_options::recursive);
        std::string settings = (data / "talmek/VANTREL.DEMO").string();
        std::string unwritable = (data / "readonly").string();
        if (!c.section) {
            fs::remove(settings);
            if (std::string(c.key) == "folder") fs::create_directory(settings);
        } else {
            std::string value = c.value ? c.value : "";
            if (value == kUnwritable) {
                // Root writes where permissions say no: a folder of /proc refuses even root.
                fs::create_directory(unwritable);
                fs::permissions(unwritable, fs::perms::owner_read | fs::perms::owner_exec);
                value = ::geteuid() == 0 ? "\\proc\\1" : windowsStyle(unwritable);
            }
            std::string section = vantrel::automation::toCp1252(vantrel::automation::T(c.section));
            vantrel::platform::posix::ProfileEngine ini;
            ASSERT_NE(ini.writeString(section.c_str(), c.key, c.value ? value.c_str() : nullptr,
                                      windowsStyle(settings).c_str()),
                      0);
        }

        Outcome r = vantrel(std::string("doctor ") + c.company + " --json --data " + data.string());
        EXPECT_EQ(r.exitCode, c.failing.empty() ? 0 : 1) << r.out;
        EXPECT_EQ(vantrel::automation::toUtf8(vantrel::automation::fromUtf8(r.out)), r.out)
            << "not UTF-8";
        std::set<std::string> failing;
        std::size_t checks = 0, pos = 0;
        while (pos < r.out.size()) {
            std::size_t end = r.out.find('\n', pos);
            std::string text = r.out.substr(pos, end - pos);
            pos = end == std::string::npos ? r.out.size() : end + 1;
            std::vector<std::string> m = checkFields(text);
            ASSERT_EQ(m.size(), 4u) << text;
            ++checks;
            EXPECT_TRUE(m[1] == "ok" || m[1] == "warning" || m[1] == "fails") << text;
            if (m[1] == "fails") {
                failing.insert(m[0]);
                EXPECT_FALSE(m[3].empty()) << text;
            }
        }
        EXPECT_GE(checks, 8u);
        EXPECT_EQ(failing, c.failing) << r.out;
        std::error_code ignored;
        fs::permissions(unwritable, fs::perms::owner_all, fs::perm_options::replace, ignored);
        fs::remove_all(data);
    }
}

TEST_F(DoctorCommand, ReportForAPersonAndWrongCalls) {
    Outcome r = vantrel("doctor DEMO --data " + demo.string());
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("ok     API do ERP: o login de \"api\" foi aceite"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Resumo: 27 ok, 0 avisos, 0 falhas."), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Password=demo"), std::string::npos) << "password shown: " << r.out;
    EXPECT_EQ(vantrel("doctor").exitCode, 2);
    EXPECT_EQ(vantrel("doctor DEMO --frobnicate").exitCode, 2);
    EXPECT_EQ(vantrel("doctor DEMO OTHER").exitCode, 2);
}

}  // namespace
