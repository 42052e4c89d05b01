// vantrel ini, run as a program: arguments passed as they are (no shell), output and exit
// code checked, the file's bytes checked.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

std::string drain(int fd) {
    std::string s;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<std::size_t>(n));
    return s;
}

// `fileSizeLimit` (bytes, 0 for none) is the child's, as `ulimit -f` sets it.
Outcome ini(std::vector<std::string> args, rlim_t fileSizeLimit = 0) {
    args.insert(args.begin(), {VANTREL_BINARY, "ini"});
    int out[2], err[2];
    Outcome r;
    if (::pipe(out) != 0 || ::pipe(err) != 0) return r;
    pid_t pid = ::fork();
    if (pid == 0) {
        rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit) ::setrlimit(RLIMIT_FSIZE, &limit);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(out[0]);
        ::close(err[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    r.out = drain(out[0]);  // the outputs here are small: reading one then the other is safe
    r.err = drain(err[0]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class IniCommand : public ::testing::Test {
protected:
    IniCommand() {
        dir = fs::path(::testing::TempDir()) /
              ("vantrel_ini_command_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / "VANTREL.DEMO").string();
    }
    ~IniCommand() override { fs::remove_all(dir); }
    void put(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
    std::string bytes() {
        std::ifstream in(file, std::ios::binary);
        if (!in) return "<absent>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir;
    std::string file;
};

TEST_F(IniCommand, GetPrintsTheValueInUtf8) {
    put("[Liga\xE7\xE3o]\r\nEmpresa=A\xE7ores\r\n");
    Outcome r = ini({"get", file, "Ligação", "empresa"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Açores\n");
    r = ini({"get", file, "Ligação", "Servidor", "nenhum"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "nenhum\n");
    r = ini({"get", (dir / "missing.ini").string(), "s", "k"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n");
}

TEST_F(IniCommand, KeysAndSectionsOneALine) {
    put("[Api Next]\r\nLogin=a\r\npassword=b\r\n;note=c\r\n[Documentos com taxa]\r\nTaxa=2\r\n");
    Outcome r = ini({"keys", file, "Api Next"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Login\npassword\n");
    r = ini({"sections", file});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Api Next\nDocumentos com taxa\n");
    r = ini({"keys", file, "nothing"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(IniCommand, SetDeleteKeyDeleteSection) {
    EXPECT_EQ(ini({"set", file, "Documentos com taxa", "Taxa", "2,5"}).exitCode, 0);
    EXPECT_EQ(ini({"set", file, "Ligação", "Servidor", "SRV01\\SAGE"}).exitCode, 0);
    EXPECT_EQ(bytes(),
              "[Documentos com taxa]\r\nTaxa=2,5\r\n[Liga\xE7\xE3o]\r\nServidor=SRV01\\SAGE\r\n");
    EXPECT_EQ(ini({"delete-key", file, "Documentos com taxa", "Taxa"}).exitCode, 0);
    EXPECT_EQ(ini({"delete-section", file, "Ligação"}).exitCode, 0);
    EXPECT_EQ(bytes(), "[Documentos com taxa]\r\n");
}

TEST_F(IniCommand, FailedWritesExitOne) {
    std::string nowhere = (dir / "no" / "folder.ini").string();
    Outcome r = ini({"set", nowhere, "s", "k", "v"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("was not changed"), std::string::npos);
    EXPECT_EQ(ini({"delete-key", nowhere, "s", "k"}).exitCode, 1);
    EXPECT_EQ(ini({"delete-section", dir.string(), "s"}).exitCode, 1);
    put("[s]\r\nk=1\r\nlast=2\r\n");
    EXPECT_EQ(ini({"set", file, "s", "k", "1\r\nlast=9"}).exitCode, 1);
    EXPECT_EQ(ini({"set", file, "s", "[t]", "9"}).exitCode, 1);
    EXPECT_EQ(bytes(), "[s]\r\nk=1\r\nlast=2\r\n");

    std::string large = "[s]\r\n";
    for (int k = 0; k < 6000; ++k) large += "key" + std::to_string(10000 + k) + "=value\r\n";
    put(large);
    r = ini({"set", file, "s", "long", std::string(20000, 'v')}, large.size() + 1000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("was not changed: File too large"), std::string::npos) << r.err;
    EXPECT_EQ(bytes(), large);
}

// The add-in reads lists into 8,192 characters; the command reads them whole.
TEST_F(IniCommand, KeysAndSectionsOfAnyLength) {
    std::string content, names;
    for (int s = 0; s < 1000; ++s) {
        std::string name = "section" + std::to_string(1000 + s);
        content += "[" + name + "]\r\n";
        names += name + "\n";
    }
    content += "[keys]\r\n";
    for (int k = 0; k < 1000; ++k) content += "key" + std::to_string(1000 + k) + "=v\r\n";
    put(content);
    EXPECT_EQ(ini({"sections", file}).out, names + "keys\n");
    Outcome keys = ini({"keys", file, "keys"});
    EXPECT_EQ(std::count(keys.out.begin(), keys.out.end(), '\n'), 1000);
    EXPECT_EQ(keys.out.substr(keys.out.size() - 8), "key1999\n");
}

TEST_F(IniCommand, NamesWithBracketsAndSemicolonsAreTheirOwn) {
    EXPECT_EQ(ini({"set", file, "a]b", "k;", "x=y"}).exitCode, 0);
    EXPECT_EQ(ini({"get", file, "a]b", "k;"}).out, "x=y\n");
    EXPECT_EQ(ini({"sections", file}).out, "a]b\n");
    EXPECT_EQ(ini({"set", file, " spaced ", " key ", "  v  "}).exitCode, 0);
    EXPECT_EQ(ini({"get", file, "spaced", "key"}).out, "v\n");
}

TEST_F(IniCommand, BadInputFilesNeverFail) {
    put(std::string("\x00\xFF\xFE[\x01]\r\n=\r\n[", 11));
    EXPECT_EQ(ini({"get", file, "s", "k", "d"}).exitCode, 0);
    EXPECT_EQ(ini({"sections", file}).exitCode, 0);
    EXPECT_EQ(ini({"keys", file, ""}).exitCode, 0);
    EXPECT_EQ(ini({"get", "/dev/null", "s", "k", "d"}).out, "d\n");
    EXPECT_EQ(ini({"get", dir.string(), "s", "k", "d"}).out, "d\n");
}

struct WrongCall {
    const char* what;
    std::vector<std::string> args;
    const char* message;
};

class IniCommandWrongCall : public ::testing::TestWithParam<WrongCall> {};

TEST_P(IniCommandWrongCall, ExitsTwoWithAUsageError) {
    Outcome r = ini(GetParam().args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: vantrel ini get"), std::string::npos);
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, IniCommandWrongCall,
    ::testing::Values(
        WrongCall{"nothing", {}, "missing the action"},
        WrongCall{"unknown_action", {"read", "f", "s", "k"}, "unknown action 'read'"},
        WrongCall{"get_too_few", {"get", "f", "s"}, "wrong number of arguments"},
        WrongCall{"get_too_many", {"get", "f", "s", "k", "d", "e"}, "wrong number"},
        WrongCall{"set_without_value", {"set", "f", "s", "k"}, "wrong number"},
        WrongCall{"sections_extra", {"sections", "f", "s"}, "wrong number"},
        WrongCall{"key_with_equals", {"set", "f", "s", "k=1", "v"}, "KEY \"k=1\" holds '='"},
        WrongCall{"empty_file", {"get", "", "s", "k"}, "FILE is empty"},
        WrongCall{"not_windows_1252",
                  {"set", "f", "s", "k", "中文"},
                  "VALUE \"中文\" has characters that Windows-1252 cannot hold"},
        WrongCall{"bad_utf8", {"get", "f", "s\xFF", "k"}, "SECTION"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(IniCommandHelp, ExplainsItself) {
    Outcome r = ini({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("vantrel ini set FILE SECTION KEY VALUE"), std::string::npos);
    EXPECT_NE(r.out.find("exit status"), std::string::npos);
}

}  // namespace
