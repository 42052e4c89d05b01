// Reading a company's settings as the solution does: 13 Value reads through cInifile, each
// of which reads and parses the whole file again, as kernel32 does. Measured on the real
// settings file (16 lines) and on a 10,000-line file whose three sections come last, and
// compared with one plain read of the same file's bytes ("plain_read_ratio": how many plain
// reads one Value read costs). BM_HugeFile reads and writes a 100 MB file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/profile_engine.h"
#include "settings/cinifile.h"

namespace {

namespace fs = std::filesystem;
using vantrel::automation::T;
using vantrel::automation::Text;

const char kSettings[] =
    "[Api Next]\r\npassword=segredo\r\nLogin=admin\r\nEmpresa=DEMO\r\n"
    "perclog=C:\\Talmek\\Log\r\nPercWindows=C:\\Windows\r\n\r\n"
    "[Liga\xE7\xE3o]\r\nServidor=SRV01\\SAGE\r\nEmpresa=DEMO\r\nUsername=sa\r\nPassWord=x\r\n\r\n"
    "[Documentos com taxa]\r\nDocumentos=FA;FR\r\nTaxa=2,5\r\nPergunta=Sim\r\nArtigo=TAXA\r\n";

struct Read {
    const char* section;  // UTF-8
    const char16_t* key;
};
const Read kReads[13] = {{"Api Next", u"password"},         {"Api Next", u"Login"},
                         {"Api Next", u"Empresa"},          {"Api Next", u"perclog"},
                         {"Api Next", u"PercWindows"},      {"Ligação", u"Servidor"},
                         {"Ligação", u"Empresa"},           {"Ligação", u"Username"},
                         {"Ligação", u"PassWord"},          {"Documentos com taxa", u"Documentos"},
                         {"Documentos com taxa", u"Taxa"},  {"Documentos com taxa", u"Pergunta"},
                         {"Documentos com taxa", u"Artigo"}};

std::string makeFile(int lines) {
    std::string path =
        (fs::temp_directory_path() / ("vantrel_bench_" + std::to_string(lines) + ".ini")).string();
    std::ofstream out(path, std::ios::binary);
    int filler = lines - 16;  // the settings file itself has 16 lines
    for (int i = 0; filler > 0; ++i) {
        out << "[Other " << i << "]\r\n";
        --filler;
        for (int k = 0; k < 99 && filler > 0; ++k, --filler)
            out << "Key" << k << "=some value " << k << "\r\n";
    }
    out << kSettings;
    return path;
}

// One plain read of the file's bytes into a buffer kept between reads: the floor any reader
// of the file pays.
std::size_t plainRead(const std::string& path) {
    static std::string bytes(1 << 20, '\0');
    int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t total = 0;
    ssize_t n;
    while ((n = ::read(fd, bytes.data() + total % (bytes.size() - 65536), 65536)) > 0)
        total += static_cast<std::size_t>(n);
    ::close(fd);
    return total;
}

double secondsPerPlainRead(const std::string& path) {
    const int rounds = 2000;
    auto start = std::chrono::steady_clock::now();
    std::size_t total = 0;
    for (int i = 0; i < rounds; ++i) total += plainRead(path);
    benchmark::DoNotOptimize(total);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_PlainRead(benchmark::State& state) {
    std::string path = makeFile(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(plainRead(path));
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}

// One iteration is the 13 reads; the time per read is the reported time / 13.
void BM_SettingsReads(benchmark::State& state) {
    std::string path = makeFile(static_cast<int>(state.range(0)));
    vantrel::platform::posix::ProfileEngine engine;
    vantrel::settings::cInifile ini(engine);
    std::string windows = "Z:" + path;
    for (auto& c : windows) {
        if (c == '/') c = '\\';
    }
    ini.setPath(vantrel::automation::fromUtf8(windows));
    Text sections[13];
    for (int i = 0; i < 13; ++i) sections[i] = T(kReads[i].section);
    std::size_t total = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < 13; ++i) {
            ini.setSection(sections[i]);
            ini.setKey(kReads[i].key);
            total += ini.Value().size();
        }
    }
    double perRead =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        (static_cast<double>(state.iterations()) * 13);
    if (total == 0) state.SkipWithError("the settings were not found");
    state.SetItemsProcessed(state.iterations() * 13);
    double plain = secondsPerPlainRead(path);
    state.counters["value_read_us"] = perRead * 1e6;
    state.counters["plain_read_us"] = plain * 1e6;
    state.counters["plain_read_ratio"] = perRead / plain;
}

// A 100 MB file (2.5 million lines): reading its last key and adding a key at its end.
// The file is made before and deleted after.
void BM_HugeFile(benchmark::State& state) {
    std::string path = (fs::temp_directory_path() / "vantrel_bench_huge.ini").string();
    {
        std::string lines;
        char line[64];
        for (int k = 0; k < 100000; ++k) {
            std::snprintf(line, sizeof line, "key%07d=a value of forty bytes.....\r\n", k);
            lines += line;
        }
        std::ofstream out(path, std::ios::binary);
        for (int s = 0; s < 25; ++s) out << "[section" << s << "]\r\n" << lines;
        out << "[last]\r\nfound=yes\r\n";
    }
    vantrel::platform::posix::ProfileEngine engine =
        vantrel::platform::posix::ProfileEngine::forFile(path);
    const bool write = state.range(0) == 1;
    char buffer[255];
    int round = 0;
    for (auto _ : state) {
        if (write) {
            std::string value = std::to_string(++round);
            if (engine.writeString("last", "added", value.c_str(), "") != 1)
                state.SkipWithError("write failed");
        } else if (engine.getString("last", "found", "", buffer, sizeof buffer, "") != 3) {
            state.SkipWithError("the last key was not found");
        }
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    fs::remove(path);
}

BENCHMARK(BM_HugeFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainRead)->Arg(16)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SettingsReads)->Arg(16)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
