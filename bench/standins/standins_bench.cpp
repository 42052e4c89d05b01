// What the stand-in ERP costs per document of 10, 100 and 1,000 lines: storing it (Inserir),
// loading it (Ler), reading its rows (OpenRecordset and a walk over every field the add-in
// reads), and the SQLite floor of the same insert done directly.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include <unistd.h>

#include "data_folder.h"
#include "erp/company_database.h"
#include "erp/sqlite_database.h"
#include "registry.h"

using namespace vantrel;
using namespace vantrel::substitutes;
using automation::ObjectRef;
using automation::Text;
using automation::Variant;

namespace {

// The one INI file the benchmark needs, served from memory.
class Settings : public interfaces::ProfileFunctions {
public:
    std::uint32_t getString(const char* section, const char* key, const char*, char* buffer,
                            std::uint32_t size, const char*) override {
        std::string value;
        std::string s = section ? section : "", k = key ? key : "";
        if (k == "Login") value = "api";
        if (k == "password") value = "x";
        if (s == "Liga\xE7\xE3o" && k == "Empresa") value = "BENCH";
        std::size_t n = std::min<std::size_t>(value.size(), size - 1);
        std::memcpy(buffer, value.data(), n);
        buffer[n] = 0;
        return static_cast<std::uint32_t>(n);
    }
    std::int32_t writeString(const char*, const char*, const char*, const char*) override {
        return 0;
    }
};

struct World {
    World() {
        folder = std::filesystem::temp_directory_path() /
                 ("vantrel-bench-standins-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        setDataFolder(automation::fromUtf8(folder.string()));
        erp::createCompanyDatabase(u"BENCH");
        erp::addArticle(u"BENCH", {u"A001", u"Parafuso", u"UN", 23, 10, u"A1"});
        erp::addErpUser(u"BENCH", u"api", u"x");
        registry.setContext(StandInContext{&settings, nullptr, nullptr});
        api = registry.create(progid::NextApiConnection);
        api.call(u"SetProduct", u"bench");
        if (!api.call(u"Connect", u"C:\\VANTREL.BENCH").toBool())
            throw std::runtime_error("login refused");
        data = registry.create(progid::CoreDataAccess);
        data.call(u"Open", u"Initial Catalog=BENCH;Integrated Security=SSPI");
    }
    ~World() {
        api.reset();
        data.reset();
        std::filesystem::remove_all(folder);
    }
    std::int32_t store(int lines) {
        erp::DocumentDraft draft{u"FT", u"A", 2024, 0, u"C", std::nullopt, {}};
        for (int i = 0; i < lines; ++i) draft.lines.push_back({u"A001", 1.0 + i});
        return erp::insertDocument(api, draft);
    }
    std::filesystem::path folder;
    Settings settings;
    StandInRegistry registry;
    ObjectRef api, data;
    std::map<int, std::int32_t> stored;  // lines -> number of a stored document
};

World& world() {
    static World w;
    return w;
}

std::int32_t storedDocument(int lines) {
    auto& w = world();
    auto it = w.stored.find(lines);
    if (it == w.stored.end()) it = w.stored.emplace(lines, w.store(lines)).first;
    return it->second;
}

// A document built line by line as a script does (NewDocumentLine, SugereValoresLin,
// AdicionaLinha), then stored.
void BuildAndInserir(benchmark::State& state) {
    int lines = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(world().store(lines));
    state.SetItemsProcessed(state.iterations() * lines);
}

// Inserir alone: the same built document stored again and again under new numbers.
void Inserir(benchmark::State& state) {
    int lines = static_cast<int>(state.range(0));
    ObjectRef doc = world().api.object(u"NewSalesDocument");
    doc.call(u"Ler", u"FT", storedDocument(lines), u"A", std::int16_t{2024});
    ObjectRef cab = doc.object(u"Cab");
    for (auto _ : state) {
        cab.put(u"NossoNoDocumento", std::int32_t{0});
        if (doc.call(u"Inserir").toLong() != 0) state.SkipWithError("Inserir failed");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

void Ler(benchmark::State& state) {
    std::int32_t number = storedDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ObjectRef doc = world().api.object(u"NewSalesDocument");
        doc.call(u"Ler", u"FT", number, u"A", std::int16_t{2024});
        benchmark::DoNotOptimize(doc.object(u"Linhas").get(u"Count").toLong());
    }
}

void OpenRecordsetAndWalk(benchmark::State& state) {
    std::int32_t number = storedDocument(static_cast<int>(state.range(0)));
    Text sql = u"SELECT     * \r\nFROM       [DOCGCLIN] \r\nWHERE      TPDOCUM='FT' AND NNUMDOC=" +
               automation::fromUtf8(std::to_string(number)) +
               u" AND SERIE ='A' AND ANO =2024  \r\nORDER BY   ORDENACA \r\n";
    static const char16_t* columns[] = {u"TPLINHA", u"ARTIGO", u"ARMAZEM",  u"DESCR",    u"QUANT",
                                        u"PRUNIT",  u"IVA",    u"DESCONTO", u"TXDESC",   u"DATA",
                                        u"UNIDADE", u"FACTOR", u"ORANO",    u"ORDOC",    u"ORSERIE",
                                        u"ORNUM",   u"ORLIN",  u"LINHAREL", u"ORDENACA", u"LINANU"};
    for (auto _ : state) {
        Variant cell;
        world().data.call(u"OpenRecordset", Text(), sql, automation::byRef(cell), true,
                          std::int32_t{0});
        ObjectRef rs = cell.toObject();
        rs.call(u"MoveFirst");
        while (!rs.get(u"EOF").toBool()) {
            for (const char16_t* c : columns) benchmark::DoNotOptimize(rs.get(u"", c).toText());
            rs.call(u"MoveNext");
        }
    }
}

// The floor: the same rows inserted with one prepared statement in one transaction.
void SqliteFloorInsert(benchmark::State& state) {
    int lines = static_cast<int>(state.range(0));
    auto db = erp::Database::open(databaseFile(u"BENCH"), erp::Database::Mode::ReadWrite);
    static std::int64_t number = 1000000;
    for (auto _ : state) {
        erp::Transaction t(*db, true);
        auto head = db->prepare(
            "INSERT INTO DOCGCCAB (TPDOCUM, SERIE, ANO, NNUMDOC) VALUES ('FL', 'A', 2024, ?1)");
        head.bind(1, ++number).run();
        auto row = db->prepare(
            "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, ANO, NNUMDOC, ORDENACA, ARTIGO, QUANT, PRUNIT, "
            "IVA, DESCR, DATA)"
            " VALUES ('FL', 'A', 2024, ?1, ?2, 'A001', ?3, 10, 23, 'Parafuso', '2024-01-01')");
        for (int i = 1; i <= lines; ++i) {
            row.reset();
            row.bind(1, number).bind(2, i).bind(3, 1.0 + i).run();
        }
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

BENCHMARK(BuildAndInserir)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Inserir)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteFloorInsert)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Ler)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenRecordsetAndWalk)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
